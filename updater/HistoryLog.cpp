#include "updater/HistoryLog.h"

#include "runtime/platform/FileSystem.h"
#include "runtime/platform/LocalTime.h"
#include "updater/BackupRecord.h"
#include "updater/ConfigStore.h"

#include <cstdio>

namespace rg_quelt_app {
namespace {

// A field never holds the separators of the file.
std::string field(const CWString& text) {
    std::string out = text.toUtf8String();
    for (char& c : out) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return out;
}

// The kind as setup.ini's section names it: shorter than its tab's caption.
const char16_t* kindWords(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Windows:
        return kWindowsSection;
    case ModuleKind::Android:
        return kAndroidSection;
    case ModuleKind::Server:
        return kServerSection;
    }
    return kWindowsSection;
}

} // namespace

HistoryLog::HistoryLog(const CWString& path, ModuleKind kind) : path_(path), kind_(kind) {}

std::string HistoryLog::timeText(std::int64_t fileTime) {
    platform::LocalTimeParts parts{};
    if (fileTime == 0 || !platform::fileTimeToLocal(fileTime, parts))
        return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.year, parts.month, parts.day,
                  parts.hour, parts.minute, parts.second);
    return text;
}

CWString HistoryLog::rotatedPath(const CWString& path) {
    const std::u16string_view text = path.view();
    constexpr std::u16string_view kExtension = u".log";
    if (text.ends_with(kExtension))
        return CWString(text.substr(0, text.size() - kExtension.size())) + u".1.log";
    return path + u".1";
}

void HistoryLog::add(std::u16string_view outcome, const CWString& path, std::int64_t oldSize,
                     std::int64_t oldTime, std::int64_t newSize, std::int64_t newTime,
                     const CWString& reason) {
    if (path_.isEmpty())
        return;
    const auto size = [](std::int64_t value) { return value < 0 ? std::string() : std::to_string(value); };
    text_ += timeText(currentFileTime()) + '\t' + field(CWString(kindWords(kind_))) + '\t' +
             field(CWString(outcome)) + '\t' + field(path) + '\t' + size(oldSize) + '\t' + timeText(oldTime) +
             '\t' + size(newSize) + '\t' + timeText(newTime) + '\t' + field(reason) + "\r\n";
}

bool HistoryLog::write() {
    if (path_.isEmpty() || text_.empty())
        return true;
    std::int64_t size = 0;
    std::int64_t time = 0;
    bool fresh = !platform::fileSizeAndTime(path_.view(), size, time) || size == 0;
    if (!fresh && size + static_cast<std::int64_t>(text_.size()) > kRotateBytes) {
        const CWString older = rotatedPath(path_);
        platform::removeFile(older.view());
        // A log that cannot be moved aside keeps growing rather than losing lines.
        fresh = platform::renameOver(path_.view(), older.view());
    }
    std::string bytes = fresh ? std::string("\xEF\xBB\xBF") + text_ : text_;
    const bool written = platform::appendToFile(path_.view(), bytes.data(), bytes.size());
    text_.clear();
    return written;
}

} // namespace rg_quelt_app
