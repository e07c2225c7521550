#include "updater/ModulePathCheck.h"

#include "updater/ModuleListRules.h"

namespace rg_quelt_app {
namespace {

#if defined(_WIN32)
char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool sameLetters(std::u16string_view text, std::u16string_view word) {
    if (text.size() != word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (upper(text[i]) != word[i])
            return false;
    }
    return true;
}

// The system opens these as devices whatever the folder and extension.
bool isDeviceName(std::u16string_view name) {
    const std::u16string_view stem = name.substr(0, name.find(u'.'));
    for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
        if (sameLetters(stem, device))
            return true;
    }
    return stem.size() == 4 &&
           (sameLetters(stem.substr(0, 3), u"COM") || sameLetters(stem.substr(0, 3), u"LPT")) &&
           stem[3] >= u'1' && stem[3] <= u'9';
}
#endif

} // namespace

bool isSafeName(std::u16string_view name) {
    if (name.empty() || name == u"." || name == u"..")
        return false;
    for (const char16_t c : name) {
        if (c == 0 || c == u'/' || c == u'\\' || c == u':')
            return false;
    }
#if defined(_WIN32)
    const char16_t last = name.back();
    if (last == u'.' || last == u' ' || isDeviceName(name))
        return false;
    for (const char16_t c : name) {
        if (c < 0x20 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*')
            return false;
    }
#endif
    return true;
}

bool isSafeLink(const rg_LianJieYuSuoYinLei& link) {
    if (!isSafeName(link.fileName.view()))
        return false;
    // Every folder on the way, '/'-separated as the job carries it.
    const std::u16string_view folder = link.remoteFolder.view();
    std::size_t start = 0;
    while (!folder.empty() && start <= folder.size()) {
        const std::size_t end = folder.find(u'/', start);
        const std::u16string_view segment =
            folder.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
        if (!isSafeName(segment))
            return false;
        if (end == std::u16string_view::npos)
            break;
        start = end + 1;
    }
    // The file itself: the local path's last part, which came from the row's path.
    const std::u16string_view file = link.localFile.view();
    const std::size_t last = file.find_last_of(kPathSeparator);
    return last != std::u16string_view::npos && isSafeName(file.substr(last + 1));
}

} // namespace rg_quelt_app
