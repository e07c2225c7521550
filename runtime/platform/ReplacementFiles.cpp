// The temporary files of replaceFileContents, the same on both platforms: how
// they are named and how those of an earlier run are found.
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/PathStyle.h"
#include "runtime/platform/SystemInfo.h"

#include <algorithm>

namespace platform {
namespace {

constexpr std::u16string_view kMark = u".~";
constexpr std::u16string_view kSuffix = u".tmp";
constexpr std::size_t kMostDigits = 16;

bool isLowerHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); }

// The position after the last separator of `path`: where its file name starts.
std::size_t nameStart(std::u16string_view path) {
    const std::size_t last = kWindowsPaths ? path.find_last_of(u"\\/") : path.rfind(u'/');
    return last == std::u16string_view::npos ? 0 : last + 1;
}

} // namespace

std::u16string replacementName(std::u16string_view path, std::uint64_t tag) {
    char16_t digits[kMostDigits];
    std::size_t first = kMostDigits;
    do {
        digits[--first] = u"0123456789abcdef"[tag & 15];
        tag >>= 4;
    } while (tag);
    std::u16string name(path);
    name += kMark;
    name.append(digits + first, kMostDigits - first);
    name += kSuffix;
    return name;
}

bool isReplacementName(std::u16string_view name, std::u16string_view fileName) {
    if (fileName.empty() || !name.starts_with(fileName))
        return false;
    std::u16string_view rest = name.substr(fileName.size());
    if (!rest.starts_with(kMark) || !rest.ends_with(kSuffix))
        return false;
    rest = rest.substr(kMark.size(), rest.size() - kMark.size() - kSuffix.size());
    return !rest.empty() && rest.size() <= kMostDigits &&
           std::all_of(rest.begin(), rest.end(), isLowerHexDigit);
}

std::size_t removeStaleReplacements(std::u16string_view path) {
    const std::size_t start = nameStart(path);
    const std::u16string_view fileName = path.substr(start);
    const std::u16string folder(start == 0 ? std::u16string_view(kWindowsPaths ? u".\\" : u"./")
                                           : path.substr(0, start));
    std::vector<std::u16string> names;
    if (fileName.empty() || !listFiles(folder, names))
        return 0;
    const std::int64_t started = processStartTime();
    std::size_t removed = 0;
    for (const std::u16string& name : names) {
        if (!isReplacementName(name, fileName))
            continue;
        // One written since this program started may be another running program's
        // save in progress.
        const std::u16string file = std::u16string(path.substr(0, start)) + name;
        std::int64_t written = 0;
        if (fileLastWriteTime(file, written) && written < started && removeFile(file))
            ++removed;
    }
    return removed;
}

} // namespace platform
