#include "cli/ConfigKeys.h"

namespace rg_quelt_app::cli {
namespace {

constexpr ConfigKey kKeys[] = {
    {u"domain", &rg_PeiZhiXinXiLei::domain, false},
    {u"windows.qq", &rg_PeiZhiXinXiLei::windowsQq, false},
    {u"windows.password", &rg_PeiZhiXinXiLei::windowsPassword, true},
    {u"windows.folder", &rg_PeiZhiXinXiLei::windowsFolder, false},
    {u"android.qq", &rg_PeiZhiXinXiLei::androidQq, false},
    {u"android.password", &rg_PeiZhiXinXiLei::androidPassword, true},
    {u"android.folder", &rg_PeiZhiXinXiLei::androidFolder, false},
    {u"server.qq", &rg_PeiZhiXinXiLei::serverQq, false},
    {u"server.password", &rg_PeiZhiXinXiLei::serverPassword, true},
    {u"server.folder", &rg_PeiZhiXinXiLei::serverFolder, false},
};

constexpr char16_t kMask[] = u"********";

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

CWString shownValue(const ConfigKey& key, const rg_PeiZhiXinXiLei& config) {
    const CWString& value = config.*key.field;
    if (key.secret && !value.isEmpty())
        return CWString(kMask);
    return value;
}

} // namespace rg_quelt_app::cli
