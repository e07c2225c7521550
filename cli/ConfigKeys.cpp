#include "cli/ConfigKeys.h"

#include "updater/ConfigStore.h"
#include "updater/ModuleKind.h"
#include "updater/TransferSettings.h"

#include <string>
#include <vector>

namespace rg_quelt_app::cli {
namespace {

constexpr ConfigKey kGlobalSettings[] = {
    {u"jobs", nullptr, kParallelDownloadsKey, false, TransferSettings::kMinParallel,
     TransferSettings::kMaxParallel},
    {u"retries", nullptr, kRetriesKey, false, 0, TransferSettings::kMaxRetries},
    {u"ca-file", nullptr, kCaFileKey, false},
    {u"verify-certificates", nullptr, kVerifyCertificatesKey, false, 0, 1},
    {u"proxy", nullptr, kProxyKey, false},
    {u"backup-folder", nullptr, kBackupFolderKey, false},
    {u"kept-backups", nullptr, kKeptBackupsKey, false, 0, TransferSettings::kMaxKeptBackups},
};

// Built once, on first use, and never changed: the keys' names point into
// kindKeyNames, which lives as long as the table.
struct KeyTable {
    static constexpr std::size_t kTextsPerKind = 3;
    std::u16string kindKeyNames[kTextsPerKind * kAllModuleKinds.size()];
    std::vector<ConfigKey> keys;

    KeyTable() {
        keys.push_back({u"domain", &rg_PeiZhiXinXiLei::domain, nullptr, false});
        std::u16string* name = kindKeyNames;
        for (ModuleKind kind : kAllModuleKinds) {
            const KindFields& fields = kindFields(kind);
            const struct {
                const char16_t* suffix;
                CWString rg_PeiZhiXinXiLei::*field;
                bool secret;
            } texts[kTextsPerKind] = {{u".qq", fields.qq, false},
                                      {u".password", fields.password, true},
                                      {u".folder", fields.folder, false}};
            for (const auto& text : texts) {
                *name = std::u16string(kindName(kind)) + text.suffix;
                keys.push_back({*name++, text.field, nullptr, text.secret});
            }
        }
        keys.insert(keys.end(), std::begin(kGlobalSettings), std::end(kGlobalSettings));
    }
    KeyTable(const KeyTable&) = delete;
    KeyTable& operator=(const KeyTable&) = delete;
};

const std::vector<ConfigKey>& allKeys() {
    static const KeyTable table;
    return table.keys;
}

constexpr char16_t kMask[] = u"********";

CWString decimal(int value) { return CWString::fromInteger(value); }

} // namespace

const ConfigKey* configKeys(std::size_t& count) {
    count = allKeys().size();
    return allKeys().data();
}

const ConfigKey* findConfigKey(std::u16string_view name) {
    for (const ConfigKey& key : allKeys()) {
        if (name == key.name)
            return &key;
    }
    return nullptr;
}

CWString storedValue(const ConfigKey& key, const rg_PeiZhiXinXiLei& config, const CWString& file) {
    return key.field ? config.*key.field : ReadGlobalSetting(file, key.globalKey);
}

CWString refusalOf(const ConfigKey& key, const CWString& value) {
    if (key.globalKey && key.globalKey == std::u16string_view(kProxyKey))
        return value.isEmpty() || isProxySetting(value.trimmed().view())
                   ? CWString()
                   : CWString(u"proxy takes a proxy URL (http://[user:password@]host:port, "
                              u"socks5h://host:port) or 直连 (or nothing, for the system's)");
    if (key.field || key.low > key.high || value.isEmpty() || settingNumber(value.view(), key.low, key.high))
        return CWString();
    return CWString(key.name) + u" takes a whole number from " + decimal(key.low).view() + u" to " +
           decimal(key.high).view() + u" (or nothing, for the default)";
}

CWString backupPlaceRefusal(const ConfigKey& key, const CWString& value, const rg_PeiZhiXinXiLei& config,
                            const CWString& file) {
    const auto isKey = [&key](const char16_t* globalKey) {
        return key.globalKey && std::u16string_view(key.globalKey) == globalKey;
    };
    bool folderKey = false;
    for (ModuleKind kind : kAllModuleKinds)
        folderKey = folderKey || key.field == kindFields(kind).folder;
    if (!folderKey && !isKey(kBackupFolderKey) && !isKey(kKeptBackupsKey))
        return CWString();
    rg_PeiZhiXinXiLei next = config;
    CWString folder = ReadGlobalSetting(file, kBackupFolderKey);
    CWString kept = ReadGlobalSetting(file, kKeptBackupsKey);
    if (folderKey)
        next.*key.field = value;
    else if (isKey(kBackupFolderKey))
        folder = value;
    else
        kept = value;
    if (settingNumber(kept.view(), 0, TransferSettings::kMaxKeptBackups)
            .value_or(TransferSettings::kDefaultKeptBackups) == 0)
        return CWString();
    const CWString holder = moduleFolderHolding(file, next, folder);
    if (holder.isEmpty())
        return CWString();
    return CWString(u"the backup folder would lie inside the module folder ") + holder.view() +
           u", which the IDE reads: choose another backup-folder, or set kept-backups to 0";
}

bool saveValue(const ConfigKey& key, const CWString& value, rg_PeiZhiXinXiLei& config, const CWString& file) {
    if (!key.field)
        return SaveGlobalSetting(file, key.globalKey, value);
    config.*key.field = value;
    return SaveConfig(config, file);
}

CWString shownValue(const ConfigKey& key, const CWString& value) {
    if (key.secret && !value.isEmpty())
        return CWString(kMask);
    return withoutUrlPassword(value);
}

CWString withoutUrlPassword(const CWString& url) {
    const std::u16string_view text = url.view();
    const std::size_t schemeEnd = text.find(u"://");
    const std::size_t start = schemeEnd == std::u16string_view::npos ? 0 : schemeEnd + 3;
    const std::size_t at = text.find_first_of(u"@/?#", start);
    if (at == std::u16string_view::npos || text[at] != u'@')
        return url;
    const std::size_t colon = text.find(u':', start);
    if (colon == std::u16string_view::npos || colon > at)
        return url;
    return CWString(text.substr(0, colon + 1)) + kMask + text.substr(at);
}

} // namespace rg_quelt_app::cli
