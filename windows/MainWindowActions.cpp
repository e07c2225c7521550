// What the main window does when the user acts: its two event handlers and the
// actions of its buttons.
#include "runtime/gui/CommonDialogs.h"
#include "updater/ConfigStore.h"
#include "updater/JobTracker.h"
#include "updater/UpdateFlow.h"
#include "windows/rg_my_main_window.h"
#include "windows/rg_win_BangZhu.h"

using namespace rg_quelt_WTLJieMian_base;

namespace rg_quelt_app {

namespace {

constexpr const char16_t* kMessageCaption = u"信息:";
constexpr const char16_t* kMessageSaved = u"保存成功！";
constexpr std::uint32_t kMbOk = 0;

} // namespace

std::int32_t rg_my_main_window::onWindowCreated(CQueltObject* self, CQueltObject*, std::int32_t) {
    static_cast<rg_my_main_window*>(self)->loadConfiguration();
    return 0;
}

// Exactly one button matches; they are tested in a fixed order.
std::int32_t rg_my_main_window::onButtonClicked(CQueltObject* self, CQueltObject* source, std::int32_t) {
    auto& w = *static_cast<rg_my_main_window*>(self);
    if (source == &w.winUpdateButton)
        w.updateModules(ModuleKind::Windows);
    else if (source == &w.winCheckButton)
        w.checkModules(ModuleKind::Windows);
    else if (source == &w.winBrowseButton)
        w.chooseFolder(w.winBrowseButton);
    else if (source == &w.helpButton)
        w.showHelp();
    else if (source == &w.serverUpdateButton)
        w.updateModules(ModuleKind::Server);
    else if (source == &w.androidUpdateButton)
        w.updateModules(ModuleKind::Android);
    else if (source == &w.serverCheckButton)
        w.checkModules(ModuleKind::Server);
    else if (source == &w.androidCheckButton)
        w.checkModules(ModuleKind::Android);
    else if (source == &w.serverBrowseButton)
        w.chooseFolder(w.serverBrowseButton);
    else if (source == &w.androidBrowseButton)
        w.chooseFolder(w.androidBrowseButton);
    else if (source == &w.saveButton)
        w.saveConfiguration();
    return 0;
}

void rg_my_main_window::loadConfiguration() {
    globalConfig = LoadConfig(configFile_);
    engine.setTransferSettings(LoadTransferSettings(configFile_));
    const rg_PeiZhiXinXiLei& c = globalConfig;
    domainEdit.setCaption(c.domain);
    winQqEdit.setCaption(c.windowsQq);
    winPasswordEdit.setCaption(c.windowsPassword);
    winFolderEdit.setCaption(c.windowsFolder);
    androidQqEdit.setCaption(c.androidQq);
    androidPasswordEdit.setCaption(c.androidPassword);
    androidFolderEdit.setCaption(c.androidFolder);
    serverQqEdit.setCaption(c.serverQq);
    serverPasswordEdit.setCaption(c.serverPassword);
    serverFolderEdit.setCaption(c.serverFolder);
}

void rg_my_main_window::checkModules(ModuleKind kind) {
    ModuleRowTable* rows = rowTable(kind);
    if (!rows)
        return;
    if (rg_quelt_app::checkModules(engine, kind, *rows, globalConfig).outcome == CheckOutcome::NotConfigured)
        messageBox(this, CWString(kMessageConfigureFirst), CWString(kMessageCaption), kMbOk);
}

void rg_my_main_window::updateModules(ModuleKind kind) {
    // A list box without a window has no rows, so it asks for a check too.
    ModuleRowTable* rows = rowTable(kind);
    UpdateOutcome outcome = UpdateOutcome::NothingChecked;
    if (rows) {
        JobTracker* tracker = JobTracker::create(*rows);
        outcome = rg_quelt_app::updateModules(engine, kind, *rows, forceCheck(kind).isChecked(), globalConfig,
                                              *tracker)
                      .outcome;
        // The worker holds its own share while the job runs.
        tracker->release();
    }
    if (outcome == UpdateOutcome::NotConfigured)
        messageBox(this, CWString(kMessageConfigureFirst), CWString(kMessageCaption), kMbOk);
    else if (outcome == UpdateOutcome::NothingChecked)
        messageBox(this, CWString(kMessageCheckFirst), CWString(kMessageCaption), kMbOk);
}

void rg_my_main_window::chooseFolder(Button& browseButton) {
    Edit* edit = &serverFolderEdit;
    const char16_t* prompt = u"如：D:\\queltdev\\plugins\\queltprj_server\\classlib\\user";
    if (&browseButton == &winBrowseButton) {
        edit = &winFolderEdit;
        prompt = u"如：D:\\queltdev\\plugins\\queltprj_win\\classlib\\user";
    } else if (&browseButton == &androidBrowseButton) {
        edit = &androidFolderEdit;
        prompt = u"如：D:\\queltdev\\plugins\\queltprj_android\\classlib\\user";
    }
    const CWString path = browseForFolder(this, CWString(prompt));
    if (!path.isEmpty())
        edit->setCaption(path);
}

void rg_my_main_window::saveConfiguration() {
    rg_PeiZhiXinXiLei& c = globalConfig;
    c.domain = domainEdit.getCaption();
    c.windowsPassword = winPasswordEdit.getCaption();
    c.windowsFolder = winFolderEdit.getCaption();
    c.windowsQq = winQqEdit.getCaption();
    c.androidPassword = androidPasswordEdit.getCaption();
    c.androidFolder = androidFolderEdit.getCaption();
    c.androidQq = androidQqEdit.getCaption();
    c.serverPassword = serverPasswordEdit.getCaption();
    c.serverFolder = serverFolderEdit.getCaption();
    c.serverQq = serverQqEdit.getCaption();
    // The message is the same whatever the write reported.
    SaveConfig(c, configFile_);
    messageBox(this, CWString(kMessageSaved), CWString(kMessageCaption), kMbOk);
}

void rg_my_main_window::showHelp() {
    rg_win_BangZhu help;
    help.openModal();
}

} // namespace rg_quelt_app
