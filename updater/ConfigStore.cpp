#include "updater/ConfigStore.h"

#include "runtime/core/InitOrder.h"
#include "runtime/core/Paths.h"
#include "runtime/platform/FileWriteProblem.h"
#include "runtime/platform/PrivateProfile.h"
#include "runtime/platform/SystemProxy.h"
#include "updater/ModuleKind.h"

#include <algorithm>
#include <vector>

namespace rg_quelt_app {
namespace {

struct ProcessConfig {
    ProcessConfig() { noteStaticInit("config"); }
    rg_PeiZhiXinXiLei record;
};

QUELT_INIT_PRIORITY(QUELT_INIT_CONFIG) ProcessConfig processConfig;

struct Entry {
    const char16_t* section;
    const char16_t* key;
    CWString rg_PeiZhiXinXiLei::*field;
};

// The order in which the file is read and written.
constexpr Entry kEntries[] = {
    {kGlobalSection, kDomainKey, &rg_PeiZhiXinXiLei::domain},
    {kWindowsSection, kQqKey, &rg_PeiZhiXinXiLei::windowsQq},
    {kWindowsSection, kPasswordKey, &rg_PeiZhiXinXiLei::windowsPassword},
    {kWindowsSection, kFolderKey, &rg_PeiZhiXinXiLei::windowsFolder},
    {kAndroidSection, kQqKey, &rg_PeiZhiXinXiLei::androidQq},
    {kAndroidSection, kPasswordKey, &rg_PeiZhiXinXiLei::androidPassword},
    {kAndroidSection, kFolderKey, &rg_PeiZhiXinXiLei::androidFolder},
    {kServerSection, kQqKey, &rg_PeiZhiXinXiLei::serverQq},
    {kServerSection, kPasswordKey, &rg_PeiZhiXinXiLei::serverPassword},
    {kServerSection, kFolderKey, &rg_PeiZhiXinXiLei::serverFolder},
};

} // namespace

rg_PeiZhiXinXiLei& globalConfig = processConfig.record;

CWString configFilePath() {
    const CWString folder = programFolder();
    return folder + u"setup.ini";
}

CWString ReadIniText(const CWString& file, const CWString& section, const CWString& key,
                     const CWString& defaultValue) {
    if (file.isEmpty() || section.isEmpty() || key.isEmpty())
        return CWString();
    return CWString(platform::getPrivateProfileString(section.view(), key.view(), defaultValue.view(),
                                                      kIniReadBufferSize, file.view()));
}

rg_PeiZhiXinXiLei LoadConfig(const CWString& file) {
    rg_PeiZhiXinXiLei record;
    for (const Entry& entry : kEntries)
        record.*entry.field = ReadIniText(file, CWString(entry.section), CWString(entry.key), CWString());
    return record;
}

bool SaveConfig(const rg_PeiZhiXinXiLei& record, const CWString& file) {
    return SaveConfig(record, file, nullptr, 0);
}

bool SaveConfig(const rg_PeiZhiXinXiLei& record, const CWString& file, const ConfigExtra* extra,
                std::size_t extraCount) {
    // A file the system will not open for writing (read-only, in use, not ours) stays
    // as it is, also where its folder would let a new file take its place: that would
    // undo what its owner set.
    if (!platform::fileWriteProblem(file.view()).empty())
        return false;
    // One rewrite of the file for all ten keys rather than one per key: the same
    // contents, a tenth of the disk work while the window waits, and never a file
    // that holds some of the new values and not the others.
    constexpr std::size_t count = sizeof kEntries / sizeof kEntries[0];
    std::vector<platform::ProfileEntry> entries;
    entries.reserve(count + extraCount);
    for (std::size_t i = 0; i < count; ++i)
        entries.push_back({kEntries[i].section, kEntries[i].key, (record.*kEntries[i].field).view()});
    for (std::size_t i = 0; extra && i < extraCount; ++i)
        entries.push_back({extra[i].section, extra[i].key, extra[i].value});
    return platform::writePrivateProfileStrings(entries.data(), entries.size(), file.view());
}

CWString ReadGlobalSetting(const CWString& file, const char16_t* key) {
    return ReadIniText(file, CWString::borrowed(kGlobalSection), CWString::borrowed(key), CWString());
}

bool SaveGlobalSetting(const CWString& file, const char16_t* key, const CWString& value) {
    const platform::ProfileEntry entry{kGlobalSection, key, value.view()};
    return platform::writePrivateProfileStrings(&entry, 1, file.view());
}

namespace {

constexpr char16_t kPathSeparator = PathRules::native().separator;

// The path compared as the file system would: one separator form, without "." and
// ".." (a folder named through ".." is the folder it names) or a trailing separator,
// and on Windows without letter case.
std::u16string comparable(const CWString& path) {
    std::u16string text(path.view());
    for (char16_t& c : text) {
        if (platform::kWindowsPaths && c == u'/')
            c = u'\\';
        if (platform::kWindowsPaths && c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    // The leading separators (the root, or a share's two) stay as they are.
    const std::size_t rootEnd = std::min(text.find_first_not_of(kPathSeparator), text.size());
    std::vector<std::u16string_view> parts;
    for (std::u16string_view rest = std::u16string_view(text).substr(rootEnd); !rest.empty();) {
        const std::size_t end = std::min(rest.find(kPathSeparator), rest.size());
        const std::u16string_view part = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (part.empty() || part == u".")
            continue;
        if (part != u"..") {
            parts.push_back(part);
            continue;
        }
        // The root's and a drive's ("C:") parent is themselves; a relative path keeps
        // what climbs above its start.
        const bool atRoot = parts.empty() ? rootEnd > 0 : parts.back().back() == u':';
        if (!atRoot && (parts.empty() || parts.back() == u".."))
            parts.push_back(part);
        else if (!atRoot)
            parts.pop_back();
    }
    std::u16string result = text.substr(0, rootEnd);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += kPathSeparator;
        result += parts[i];
    }
    return result;
}

CWString backupFolderAt(const CWString& base, const CWString& given) {
    const CWString typed = given.trimmed();
    return typed.isEmpty() ? base + kDefaultBackupFolderName : resolvePath(base, typed);
}

} // namespace

bool isInsideFolder(const CWString& folder, const CWString& moduleFolder) {
    const std::u16string inner = comparable(folder);
    const std::u16string outer = comparable(moduleFolder);
    if (outer.empty() || !inner.starts_with(outer))
        return false;
    return inner.size() == outer.size() || inner[outer.size()] == kPathSeparator ||
           outer.back() == kPathSeparator;
}

CWString moduleFolderHolding(const CWString& file, const rg_PeiZhiXinXiLei& config, const CWString& given) {
    const CWString base = folderOfFile(file);
    const CWString folder = backupFolderAt(base, given);
    for (ModuleKind kind : kAllModuleKinds) {
        const CWString moduleFolder = kindFolder(config, kind).trimmed();
        if (moduleFolder.isEmpty())
            continue;
        const CWString resolved = resolvePath(base, moduleFolder);
        if (isInsideFolder(folder, resolved))
            return resolved;
    }
    return CWString();
}

TransferSettings LoadTransferSettings(const CWString& file) {
    TransferSettings settings;
    settings.parallelDownloads = settingNumber(ReadGlobalSetting(file, kParallelDownloadsKey).view(),
                                               TransferSettings::kMinParallel, TransferSettings::kMaxParallel)
                                     .value_or(TransferSettings::kDefaultParallel);
    settings.retries =
        settingNumber(ReadGlobalSetting(file, kRetriesKey).view(), 0, TransferSettings::kMaxRetries)
            .value_or(TransferSettings::kDefaultRetries);
    const CWString caFile = ReadGlobalSetting(file, kCaFileKey).trimmed();
    if (!caFile.isEmpty())
        settings.caFile = resolvePath(folderOfFile(file), caFile);
    settings.verifyCertificates =
        settingNumber(ReadGlobalSetting(file, kVerifyCertificatesKey).view(), 0, 1).value_or(1) != 0;
    settings.proxy = ReadGlobalSetting(file, kProxyKey).trimmed();
    if (!isProxySetting(settings.proxy.view()))
        settings.proxy = CWString();
    if (settings.proxy.isEmpty())
        settings.systemProxy = platform::systemProxySettings();
    // A folder set inside a module folder gives way to the default; where that lies
    // inside one too, replaced files fail rather than fill the folder the IDE reads.
    const rg_PeiZhiXinXiLei config = LoadConfig(file);
    CWString given = ReadGlobalSetting(file, kBackupFolderKey);
    if (!moduleFolderHolding(file, config, given).isEmpty())
        given = CWString();
    settings.backupFolder = backupFolderAt(folderOfFile(file), given);
    settings.backupFolderInModules = !moduleFolderHolding(file, config, given).isEmpty();
    settings.keptBackups =
        settingNumber(ReadGlobalSetting(file, kKeptBackupsKey).view(), 0, TransferSettings::kMaxKeptBackups)
            .value_or(TransferSettings::kDefaultKeptBackups);
    settings.historyLog = folderOfFile(file) + kHistoryLogName;
    return settings;
}

} // namespace rg_quelt_app
