#include "updater/ModuleKind.h"

namespace rg_quelt_app {

const char16_t* tabCaption(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Windows:
        return u"Mireth视窗模块";
    case ModuleKind::Android:
        return u"Mireth安卓模块";
    case ModuleKind::Server:
        break;
    }
    return u"Mireth服务器模块";
}

const char16_t* listSuffix(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Windows:
        return u"api/w/list";
    case ModuleKind::Android:
        return u"api/a/list";
    case ModuleKind::Server:
        break;
    }
    return u"api/s/list";
}

const char16_t* kindLetter(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Windows:
        return u"w";
    case ModuleKind::Android:
        return u"a";
    case ModuleKind::Server:
        break;
    }
    return u"s";
}

std::optional<ModuleKind> moduleKindFromText(std::u16string_view text) {
    if (text == u"w" || text == u"windows")
        return ModuleKind::Windows;
    if (text == u"a" || text == u"android")
        return ModuleKind::Android;
    if (text == u"s" || text == u"server")
        return ModuleKind::Server;
    return std::nullopt;
}

const CWString& kindQq(const rg_PeiZhiXinXiLei& config, ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Windows:
        return config.windowsQq;
    case ModuleKind::Android:
        return config.androidQq;
    case ModuleKind::Server:
        break;
    }
    return config.serverQq;
}

const CWString& kindPassword(const rg_PeiZhiXinXiLei& config, ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Windows:
        return config.windowsPassword;
    case ModuleKind::Android:
        return config.androidPassword;
    case ModuleKind::Server:
        break;
    }
    return config.serverPassword;
}

const CWString& kindFolder(const rg_PeiZhiXinXiLei& config, ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Windows:
        return config.windowsFolder;
    case ModuleKind::Android:
        return config.androidFolder;
    case ModuleKind::Server:
        break;
    }
    return config.serverFolder;
}

const CWString& folderForLetter(const rg_PeiZhiXinXiLei& config, std::u16string_view letter) {
    if (letter == u"w")
        return config.windowsFolder;
    if (letter == u"a")
        return config.androidFolder;
    return config.serverFolder;
}

} // namespace rg_quelt_app
