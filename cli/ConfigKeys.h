#pragma once
// The configuration keys of the command line ("domain", "windows.qq", ...) and the
// fields of rg_PeiZhiXinXiLei they stand for, in the order of setup.ini.
#include "updater/rg_PeiZhiXinXiLei.h"

#include <string_view>

namespace rg_quelt_app::cli {

struct ConfigKey {
    const char16_t* name;
    CWString rg_PeiZhiXinXiLei::*field;
    bool secret; // shown masked by "config show"
};

// Every key in file order: domain, then windows, android and server, each with
// qq, password and folder.
const ConfigKey* configKeys(std::size_t& count);

// Null for a name that is not a key.
const ConfigKey* findConfigKey(std::u16string_view name);

// How "config show" prints a value: a secret that is set shows as a fixed row of
// stars, so neither the password nor its length is given away.
CWString shownValue(const ConfigKey& key, const rg_PeiZhiXinXiLei& config);

} // namespace rg_quelt_app::cli
