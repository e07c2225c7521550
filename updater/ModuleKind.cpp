#include "updater/ModuleKind.h"

namespace rg_quelt_app {
namespace {

struct KindFacts {
    const char16_t* caption;
    const char16_t* suffix;
    const char16_t* letter;
    const char16_t* longName;
    KindFields fields;
};

// In the order of ModuleKind.
constexpr KindFacts kKinds[] = {
    {u"Mireth视窗模块",
     u"api/w/list",
     u"w",
     u"windows",
     {&rg_PeiZhiXinXiLei::windowsQq, &rg_PeiZhiXinXiLei::windowsPassword, &rg_PeiZhiXinXiLei::windowsFolder}},
    {u"Mireth安卓模块",
     u"api/a/list",
     u"a",
     u"android",
     {&rg_PeiZhiXinXiLei::androidQq, &rg_PeiZhiXinXiLei::androidPassword, &rg_PeiZhiXinXiLei::androidFolder}},
    {u"Mireth服务器模块",
     u"api/s/list",
     u"s",
     u"server",
     {&rg_PeiZhiXinXiLei::serverQq, &rg_PeiZhiXinXiLei::serverPassword, &rg_PeiZhiXinXiLei::serverFolder}},
};

const KindFacts& facts(ModuleKind kind) { return kKinds[static_cast<int>(kind)]; }

} // namespace

const char16_t* tabCaption(ModuleKind kind) { return facts(kind).caption; }

const char16_t* listSuffix(ModuleKind kind) { return facts(kind).suffix; }

const char16_t* kindLetter(ModuleKind kind) { return facts(kind).letter; }

const char16_t* kindName(ModuleKind kind) { return facts(kind).longName; }

std::optional<ModuleKind> moduleKindFromText(std::u16string_view text) {
    for (ModuleKind kind : kAllModuleKinds) {
        if (text == facts(kind).letter || text == facts(kind).longName)
            return kind;
    }
    return std::nullopt;
}

const KindFields& kindFields(ModuleKind kind) { return facts(kind).fields; }

const CWString& kindQq(const rg_PeiZhiXinXiLei& config, ModuleKind kind) {
    return config.*facts(kind).fields.qq;
}

const CWString& kindPassword(const rg_PeiZhiXinXiLei& config, ModuleKind kind) {
    return config.*facts(kind).fields.password;
}

const CWString& kindFolder(const rg_PeiZhiXinXiLei& config, ModuleKind kind) {
    return config.*facts(kind).fields.folder;
}

const CWString& folderForLetter(const rg_PeiZhiXinXiLei& config, std::u16string_view letter) {
    if (letter == u"w")
        return config.windowsFolder;
    if (letter == u"a")
        return config.androidFolder;
    return config.serverFolder;
}

} // namespace rg_quelt_app
