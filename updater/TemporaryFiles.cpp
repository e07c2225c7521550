#include "updater/TemporaryFiles.h"

#include "runtime/core/Paths.h"
#include "runtime/platform/CodePage.h"
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/PathStyle.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/ModulePathCheck.h"

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <vector>

namespace rg_quelt_app {
namespace {

constexpr std::u16string_view kMark = u".~";
constexpr std::u16string_view kSuffix = u".part";
constexpr std::size_t kRandomDigits = 16;
// What one name in a folder may hold: 255 UTF-16 units on Windows, 255 bytes
// (of UTF-8) on the file systems of other systems.
constexpr std::size_t kNameLimit = 255;

// The length of `name` in the measure of the running platform's limit.
std::size_t nameLength(std::u16string_view name) {
    if constexpr (platform::kWindowsPaths)
        return name.size();
    else
        return platform::utf16ToUtf8(name.data(), name.size(), nullptr, 0);
}

// The part of `name` that leaves room for `room` more within the limit; whole
// characters only, so a cut never splits a surrogate pair or a UTF-8 sequence.
std::u16string_view stemWithin(std::u16string_view name, std::size_t room) {
    if (nameLength(name) + room <= kNameLimit)
        return name;
    const std::size_t budget = room < kNameLimit ? kNameLimit - room : 0;
    std::size_t end = 0;
    std::size_t length = 0;
    while (end < name.size()) {
        const bool pair = end + 1 < name.size() && name[end] >= 0xD800 && name[end] <= 0xDBFF &&
                          name[end + 1] >= 0xDC00 && name[end + 1] <= 0xDFFF;
        const std::size_t units = pair ? 2 : 1;
        const std::size_t next = length + nameLength(name.substr(end, units));
        if (next > budget)
            break;
        length = next;
        end += units;
    }
    return name.substr(0, end);
}

std::uint64_t mixed(std::uint64_t value) {
    // splitmix64: every input bit reaches every output bit.
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

// Random per process, then a counter: two names of one run never meet, and names
// of two runs (or two programs at once) only by chance.
std::uint64_t nextTag() {
    static const std::uint64_t seed = [] {
        std::uint64_t bits = platform::tickCount() ^ (platform::currentThreadId() << 32);
        try {
            std::random_device device;
            bits ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
        } catch (...) {
            // No random source: the clock and the thread still differ between runs.
        }
        return bits;
    }();
    static std::atomic<std::uint64_t> counter{0};
    return mixed(seed ^ mixed(counter.fetch_add(1, std::memory_order_relaxed)));
}

bool allOf(std::u16string_view text, bool (*test)(char16_t)) {
    return !text.empty() && std::all_of(text.begin(), text.end(), test);
}

bool isHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

} // namespace

CWString temporaryNameFor(const CWString& target) {
    std::uint64_t tag = nextTag();
    char16_t digits[kRandomDigits];
    for (std::size_t i = kRandomDigits; i-- > 0; tag >>= 4)
        digits[i] = u"0123456789abcdef"[tag & 15];
    // A long file name gives up the end of its stem so that the name stays within
    // the limit; the form the sweep looks for is all in the part that is added.
    const std::u16string_view whole = target.view();
    const std::size_t leaf = whole.find_last_of(PathRules::native().separator) + 1;
    CWString name(whole.substr(0, leaf));
    name += stemWithin(whole.substr(leaf), kMark.size() + kRandomDigits + kSuffix.size());
    name += kMark;
    name += std::u16string_view(digits, kRandomDigits);
    name += kSuffix;
    return name;
}

bool isTemporaryName(std::u16string_view fileName) {
    if (fileName.size() <= kSuffix.size() || fileName.substr(fileName.size() - kSuffix.size()) != kSuffix)
        return false;
    const std::u16string_view stem = fileName.substr(0, fileName.size() - kSuffix.size());
    const std::size_t mark = stem.rfind(kMark);
    if (mark == std::u16string_view::npos || mark == 0)
        return false;
    const std::u16string_view tag = stem.substr(mark + kMark.size());
    if (tag.size() == kRandomDigits && allOf(tag, &isHexDigit))
        return true;
    const std::size_t dash = tag.find(u'-');
    return dash != std::u16string_view::npos && allOf(tag.substr(0, dash), &isDigit) &&
           allOf(tag.substr(dash + 1), &isDigit);
}

std::size_t removeLeftovers(const rg_XiaZaiShuJu& job) {
    std::vector<std::u16string> folders;
    folders.reserve(job.linkCount());
    for (std::size_t i = 0; i < job.linkCount(); ++i) {
        // Only a folder that the job may write into: a link that the path guard
        // refuses names a folder outside the module folder, which is not ours to tidy.
        if (!isSafeLink(job.link(i)))
            continue;
        const CWString folder = folderOfFile(job.link(i).localFile);
        if (!folder.isEmpty())
            folders.emplace_back(folder.view());
    }
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());

    std::size_t removed = 0;
    std::vector<std::u16string> names;
    for (const std::u16string& folder : folders) {
        if (!platform::listFiles(folder, names))
            continue;
        for (const std::u16string& name : names) {
            if (isTemporaryName(name) && platform::removeAbandonedFile(folder + name))
                ++removed;
        }
    }
    return removed;
}

} // namespace rg_quelt_app
