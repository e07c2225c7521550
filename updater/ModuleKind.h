#pragma once
// ModuleKind: the three kinds of module (Windows, Android, Server) with what
// belongs to each: the tab caption, the list URL suffix, the letter sent with a
// download, and the kind's three configuration fields.
#include "runtime/core/WString.h"
#include "updater/rg_PeiZhiXinXiLei.h"

#include <array>
#include <optional>
#include <string_view>

namespace rg_quelt_app {

enum class ModuleKind { Windows, Android, Server };

inline constexpr std::array<ModuleKind, 3> kAllModuleKinds = {ModuleKind::Windows, ModuleKind::Android,
                                                              ModuleKind::Server};

const char16_t* tabCaption(ModuleKind kind);
const char16_t* listSuffix(ModuleKind kind);
const char16_t* kindLetter(ModuleKind kind);
// "windows", "android" or "server": the kind's word in command lines and key names.
const char16_t* kindName(ModuleKind kind);
// "w", "a" or "s", also the long names "windows", "android", "server".
std::optional<ModuleKind> moduleKindFromText(std::u16string_view text);

// The kind's three texts among the fields of rg_PeiZhiXinXiLei.
struct KindFields {
    CWString rg_PeiZhiXinXiLei::*qq;
    CWString rg_PeiZhiXinXiLei::*password;
    CWString rg_PeiZhiXinXiLei::*folder;
};
const KindFields& kindFields(ModuleKind kind);

const CWString& kindQq(const rg_PeiZhiXinXiLei& config, ModuleKind kind);
const CWString& kindPassword(const rg_PeiZhiXinXiLei& config, ModuleKind kind);
const CWString& kindFolder(const rg_PeiZhiXinXiLei& config, ModuleKind kind);
// The folder for a kind letter as the list rules choose it: "w" Windows, "a"
// Android, anything else Server.
const CWString& folderForLetter(const rg_PeiZhiXinXiLei& config, std::u16string_view letter);

} // namespace rg_quelt_app
