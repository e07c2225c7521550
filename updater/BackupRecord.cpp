#include "updater/BackupRecord.h"

#include "runtime/core/Paths.h"
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/LocalTime.h"
#include "updater/ModulePathCheck.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace rg_quelt_app {
namespace {

constexpr char16_t kSeparator = PathRules::native().separator;
constexpr std::string_view kRecordHead = "mireth backup record 1";
constexpr char16_t kRecordSuffix[] = u".job";
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

CWString joined(const CWString& folder, std::u16string_view name) {
    CWString path = folder;
    if (!path.isEmpty() && path.view().back() != kSeparator && path.view().back() != u'/')
        path += kSeparator;
    path += name;
    return path;
}

// Whether a recorded path names a file inside its module folder by the rules a
// listed name is held to, so that a record changed by hand cannot make a rollback
// remove or overwrite anything outside it.
bool staysInside(std::u16string_view path) {
    bool named = false;
    while (!path.empty()) {
        const std::size_t end = path.find(kSeparator);
        const std::u16string_view part = path.substr(0, end);
        if (!part.empty() && !isSafeName(part))
            return false;
        named = named || !part.empty();
        path.remove_prefix(end == std::u16string_view::npos ? path.size() : end + 1);
    }
    return named;
}

// A path in a line of the record: '%', tab and line breaks as %XX, so that any
// listed name survives.
std::string escaped(const CWString& text) {
    std::string out;
    for (const char c : text.toUtf8String()) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

CWString unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const auto hex = [](char c) -> int {
                return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            };
            const int high = hex(text[i + 1]), low = hex(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return CWString::fromUtf8(out);
}

bool readNumber(std::string_view text, std::int64_t& value) {
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t tab = line.find('\t');
        parts.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            return parts;
        line.remove_prefix(tab + 1);
    }
}

// One entry as a line of the record.
std::string recordLine(const BackupEntry& entry) {
    const auto number = [](std::int64_t value) { return std::to_string(value); };
    std::string line = entry.replaced ? "replaced\t" : "added\t";
    line += escaped(entry.path) + '\t' + number(entry.oldSize) + '\t' + number(entry.oldTime) + '\t' +
            number(entry.newSize) + '\t' + number(entry.newTime) + '\n';
    return line;
}

} // namespace

CWString kindBackupFolder(const CWString& backupFolder, ModuleKind kind) {
    return joined(backupFolder, kindLetter(kind));
}

CWString backupJobFolder(const CWString& kindFolder, std::u16string_view time) {
    return joined(kindFolder, time);
}

CWString backupRecordPath(const CWString& kindFolder, std::u16string_view time) {
    return joined(kindFolder, CWString(time) + kRecordSuffix);
}

std::int64_t currentFileTime() {
    return (static_cast<std::int64_t>(std::time(nullptr)) + kSecondsFrom1601To1970) * 10000000;
}

CWString backupTimeName(std::int64_t fileTime) {
    platform::LocalTimeParts parts{};
    if (!platform::fileTimeToLocal(fileTime, parts))
        return CWString();
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", parts.year, parts.month, parts.day,
                  parts.hour, parts.minute, parts.second);
    return CWString::fromUtf8(text);
}

bool isBackupTimeName(std::u16string_view name) {
    if (name.size() != 15 || name[8] != u'-')
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (i != 8 && (name[i] < u'0' || name[i] > u'9'))
            return false;
    }
    return true;
}

std::vector<CWString> backupJobTimes(const CWString& kindFolder) {
    std::vector<std::u16string> names;
    std::vector<std::u16string> times;
    if (platform::listFolders(kindFolder.view(), names)) {
        for (const std::u16string& name : names) {
            if (isBackupTimeName(name))
                times.push_back(name);
        }
    }
    const std::u16string_view suffix(kRecordSuffix);
    if (platform::listFiles(kindFolder.view(), names)) {
        for (const std::u16string& name : names) {
            if (name.size() > suffix.size() && name.ends_with(suffix) &&
                isBackupTimeName(std::u16string_view(name).substr(0, name.size() - suffix.size())))
                times.push_back(name.substr(0, name.size() - suffix.size()));
        }
    }
    // The names sort as the times they are.
    std::sort(times.begin(), times.end(), std::greater<>());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    std::vector<CWString> result;
    result.reserve(times.size());
    for (const std::u16string& time : times)
        result.emplace_back(std::u16string_view(time));
    return result;
}

bool writeBackupRecord(const CWString& path, const std::vector<BackupEntry>& entries) {
    std::string text(kRecordHead);
    text += '\n';
    for (const BackupEntry& entry : entries)
        text += recordLine(entry);
    return platform::replaceFileContents(path.view(), text.data(), text.size());
}

bool beginBackupRecord(platform::OutputFile& file, const CWString& path) {
    const std::string head = std::string(kRecordHead) + '\n';
    return file.create(path.view()) && file.write(head.data(), head.size()) == head.size();
}

bool appendBackupRecord(platform::OutputFile& file, const BackupEntry& entry) {
    const std::string line = recordLine(entry);
    return file.isOpen() && file.write(line.data(), line.size()) == line.size();
}

bool readBackupRecord(const CWString& path, std::vector<BackupEntry>& entries) {
    entries.clear();
    std::string bytes;
    if (platform::readWholeFile(path.view(), bytes) != platform::ReadFileResult::ok)
        return false;
    std::string_view text(bytes);
    const std::size_t firstEnd = text.find('\n');
    if (text.substr(0, firstEnd) != kRecordHead)
        return false;
    text.remove_prefix(firstEnd == std::string_view::npos ? text.size() : firstEnd + 1);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::vector<std::string_view> parts = fields(line);
        BackupEntry entry;
        if (parts.size() != 6 || (parts[0] != "replaced" && parts[0] != "added") || parts[1].empty() ||
            !readNumber(parts[2], entry.oldSize) || !readNumber(parts[3], entry.oldTime) ||
            !readNumber(parts[4], entry.newSize) || !readNumber(parts[5], entry.newTime))
            continue;
        entry.replaced = parts[0] == "replaced";
        entry.path = unescaped(parts[1]);
        if (!staysInside(entry.path.view()))
            continue;
        entries.push_back(std::move(entry));
    }
    return true;
}

bool removeBackupJob(const CWString& kindFolder, std::u16string_view time) {
    const CWString record = backupRecordPath(kindFolder, time);
    // The record first: one left without its folder would promise files that are
    // gone, while a folder left without its record is only counted and removed later.
    const bool recordGone = platform::removeFile(record.view()) || !platform::pathExists(record.view());
    const bool folderGone = platform::removeFolderTree(backupJobFolder(kindFolder, time).view());
    return folderGone && recordGone;
}

std::size_t pruneBackupJobs(const CWString& kindFolder, int kept) {
    const std::vector<CWString> times = backupJobTimes(kindFolder);
    std::size_t removed = 0;
    for (std::size_t i = static_cast<std::size_t>(std::max(kept, 0)); i < times.size(); ++i) {
        if (removeBackupJob(kindFolder, times[i].view()))
            ++removed;
    }
    return removed;
}

} // namespace rg_quelt_app
