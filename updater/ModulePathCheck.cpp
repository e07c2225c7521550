#include "updater/ModulePathCheck.h"

namespace rg_quelt_app {
namespace {

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

// The digits the system accepts after COM and LPT: the superscripts are the
// Latin-1 ones, which the file system's own upper-case table maps to digits.
bool isPortDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'\u00B9' || c == u'\u00B2' || c == u'\u00B3';
}

bool isWindowsReserved(char16_t c) {
    return c < 0x20 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*';
}

} // namespace

bool isWindowsDeviceName(std::u16string_view name) {
    // The system looks at the part before the first dot, without the blanks that
    // end it: "nul..txt" and "aux .dll" are devices too.
    std::u16string_view stem = name.substr(0, name.find(u'.'));
    while (!stem.empty() && stem.back() == u' ')
        stem.remove_suffix(1);
    for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
        if (sameLetters(stem, device))
            return true;
    }
    return stem.size() == 4 &&
           (sameLetters(stem.substr(0, 3), u"COM") || sameLetters(stem.substr(0, 3), u"LPT")) &&
           isPortDigit(stem[3]);
}

bool isSafeName(std::u16string_view name, PathRules rules) {
    if (name.empty() || name == u"." || name == u"..")
        return false;
    // '\' and ':' are refused on every platform: the same list must mean the same
    // files wherever it is used.
    for (const char16_t c : name) {
        if (c == 0 || c == u'/' || c == u'\\' || c == u':')
            return false;
    }
    if (rules.separator != u'\\')
        return true;
    const char16_t last = name.back();
    if (last == u'.' || last == u' ' || isWindowsDeviceName(name))
        return false;
    for (const char16_t c : name) {
        if (isWindowsReserved(c))
            return false;
    }
    return true;
}

bool isSafeLink(const rg_LianJieYuSuoYinLei& link, PathRules rules) {
    if (!isSafeName(link.fileName.view(), rules))
        return false;
    // Every folder on the way, '/'-separated as the job carries it.
    const std::u16string_view folder = link.remoteFolder.view();
    std::size_t start = 0;
    while (!folder.empty() && start <= folder.size()) {
        const std::size_t end = folder.find(u'/', start);
        const std::u16string_view segment =
            folder.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
        if (!isSafeName(segment, rules))
            return false;
        if (end == std::u16string_view::npos)
            break;
        start = end + 1;
    }
    // The file itself: the local path's last part, which came from the row's path.
    const std::u16string_view file = link.localFile.view();
    const std::size_t last = file.find_last_of(rules.separator);
    return last != std::u16string_view::npos && isSafeName(file.substr(last + 1), rules);
}

} // namespace rg_quelt_app
