// The path check on any list entry, by the Windows and by the POSIX rules: a link
// it accepts, joined to the module folder as the download job joins it, names a
// file inside that folder. The check here is written from what the system does
// with a path: it splits at every separator it knows, and Windows drops the dots
// and blanks that end a name and opens device names as devices.
//
// Input: a control byte (bit 0: Windows rules), the list's "path" as a 0xFF-ended
// field, then its "name".
#include "updater/ModulePathCheck.h"

#include "tests/fuzz/FuzzInput.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::u16string_view> split(std::u16string_view text, std::u16string_view separators) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find_first_of(separators, start);
        parts.push_back(text.substr(start, end == std::u16string_view::npos ? end : end - start));
        if (end == std::u16string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::u16string upperAscii(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 32);
    }
    return out;
}

bool opensADevice(std::u16string_view name) {
    std::u16string stem = upperAscii(name.substr(0, name.find(u'.')));
    while (!stem.empty() && stem.back() == u' ')
        stem.pop_back();
    if (stem == u"CON" || stem == u"PRN" || stem == u"AUX" || stem == u"NUL" || stem == u"CONIN$" ||
        stem == u"CONOUT$")
        return true;
    if (stem.size() != 4 || (stem.compare(0, 3, u"COM") != 0 && stem.compare(0, 3, u"LPT") != 0))
        return false;
    return std::u16string_view(u"0123456789\u00B9\u00B2\u00B3").find(stem[3]) != std::u16string_view::npos;
}

// The name reaches the file system as a plain name of the folder it is in.
bool staysAName(std::u16string_view segment, bool windows) {
    if (segment.empty() || segment == u"." || segment == u".." ||
        segment.find(u'\0') != std::u16string_view::npos)
        return false;
    if (!windows)
        return true;
    const std::size_t kept = segment.find_last_not_of(u". ");
    return kept == segment.size() - 1 && segment.find(u':') == std::u16string_view::npos &&
           !opensADevice(segment);
}

std::u16string replaced(std::u16string_view text, char16_t from, char16_t to) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c == from)
            c = to;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rg_quelt_app;
    FuzzFields input(data, size);
    const bool windows = input.byte() & 1;
    const PathRules rules = windows ? PathRules::windows() : PathRules::posix();
    const CWString path = input.text();
    const CWString name = input.text();

    // As the rows and the download job build it.
    const std::u16string folder = windows ? u"C:\\mods" : u"/mods";
    const std::u16string row = replaced(path.view(), u'/', rules.separator);
    rg_LianJieYuSuoYinLei link;
    link.localFile = CWString(folder + rules.separator + row);
    const std::u16string slashed = replaced(row, u'\\', u'/');
    const std::size_t last = slashed.find_last_of(u'/');
    link.remoteFolder = CWString(last == std::u16string::npos ? std::u16string() : slashed.substr(0, last));
    link.fileName = name;
    if (!isSafeLink(link, rules))
        return 0;

    // Every part of the path below the folder is a plain name, so the file is
    // inside. An empty part (a doubled separator, which the system reads as one)
    // adds no level; the check lets one through only at the start, where the module
    // folder's own trailing separator gives the same path.
    std::vector<std::u16string_view> parts = split(row, windows ? u"\\/" : u"/");
    if (parts.size() > 1 && parts.front().empty())
        parts.erase(parts.begin());
    for (const std::u16string_view part : parts)
        FUZZ_CHECK(staysAName(part, windows));
    // Where '\' separates, what the check saw is what gets written: the same
    // parts, in order. (On POSIX a '\' stays inside a name and joins parts that
    // the check saw one by one.)
    if (windows) {
        std::vector<std::u16string_view> seen = link.remoteFolder.isEmpty()
                                                    ? std::vector<std::u16string_view>()
                                                    : split(link.remoteFolder.view(), u"/");
        seen.push_back(std::u16string_view(slashed).substr(last == std::u16string::npos ? 0 : last + 1));
        FUZZ_CHECK(seen == parts);
    }
    // The name sent to the server is a plain name as well.
    FUZZ_CHECK(staysAName(name.view(), windows));
    FUZZ_CHECK(name.view().find_first_of(u"/\\") == std::u16string_view::npos);
    return 0;
}
