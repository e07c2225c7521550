#include "cli/ConfigKeys.h"

#include "updater/ConfigStore.h"
#include "updater/TransferSettings.h"

namespace rg_quelt_app::cli {
namespace {

constexpr ConfigKey kKeys[] = {
    {u"domain", &rg_PeiZhiXinXiLei::domain, nullptr, false},
    {u"windows.qq", &rg_PeiZhiXinXiLei::windowsQq, nullptr, false},
    {u"windows.password", &rg_PeiZhiXinXiLei::windowsPassword, nullptr, true},
    {u"windows.folder", &rg_PeiZhiXinXiLei::windowsFolder, nullptr, false},
    {u"android.qq", &rg_PeiZhiXinXiLei::androidQq, nullptr, false},
    {u"android.password", &rg_PeiZhiXinXiLei::androidPassword, nullptr, true},
    {u"android.folder", &rg_PeiZhiXinXiLei::androidFolder, nullptr, false},
    {u"server.qq", &rg_PeiZhiXinXiLei::serverQq, nullptr, false},
    {u"server.password", &rg_PeiZhiXinXiLei::serverPassword, nullptr, true},
    {u"server.folder", &rg_PeiZhiXinXiLei::serverFolder, nullptr, false},
    {u"jobs", nullptr, kParallelDownloadsKey, false, TransferSettings::kMinParallel,
     TransferSettings::kMaxParallel},
    {u"retries", nullptr, kRetriesKey, false, 0, TransferSettings::kMaxRetries},
    {u"ca-file", nullptr, kCaFileKey, false},
    {u"verify-certificates", nullptr, kVerifyCertificatesKey, false, 0, 1},
};

constexpr char16_t kMask[] = u"********";

CWString decimal(int value) { return CWString::fromInteger(value); }

} // namespace

const ConfigKey* configKeys(std::size_t& count) {
    count = sizeof kKeys / sizeof kKeys[0];
    return kKeys;
}

const ConfigKey* findConfigKey(std::u16string_view name) {
    for (const ConfigKey& key : kKeys) {
        if (name == key.name)
            return &key;
    }
    return nullptr;
}

CWString storedValue(const ConfigKey& key, const rg_PeiZhiXinXiLei& config, const CWString& file) {
    return key.field ? config.*key.field : ReadGlobalSetting(file, key.globalKey);
}

CWString refusalOf(const ConfigKey& key, const CWString& value) {
    if (key.field || key.low > key.high || value.isEmpty() || settingNumber(value.view(), key.low, key.high))
        return CWString();
    return CWString(key.name) + u" takes a whole number from " + decimal(key.low).view() + u" to " +
           decimal(key.high).view() + u" (or nothing, for the default)";
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
    return value;
}

} // namespace rg_quelt_app::cli
