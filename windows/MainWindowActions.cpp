// What the main window does when the user acts: its event handlers and the actions
// of its buttons.
#include "runtime/gui/CommonDialogs.h"
#include "runtime/platform/FileWriteProblem.h"
#include "updater/ConfigStore.h"
#include "updater/JobTracker.h"
#include "updater/UpdateFlow.h"
#include "windows/ListBoxRowTable.h"
#include "windows/rg_my_main_window.h"
#include "windows/rg_win_BangZhu.h"

using namespace rg_quelt_WTLJieMian_base;
using rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuangBiaoXiangTianChong;

namespace rg_quelt_app {

namespace {

constexpr const char16_t* kMessageCaption = u"信息:";
constexpr const char16_t* kMessageSaved = u"保存成功！";
constexpr const char16_t* kMessageSaveFailed = u"保存失败！";
constexpr std::uint32_t kMbOk = 0;

// "保存失败！", then the file and, where the system can tell, what keeps it from
// being written.
CWString saveFailureText(const CWString& file) {
    CWString text(kMessageSaveFailed);
    text += u"\n无法写入 ";
    text += file.view();
    const std::u16string problem = platform::fileWriteProblem(file.view());
    if (!problem.empty()) {
        text += u"：";
        text += std::u16string_view(problem);
    }
    return text;
}

} // namespace

std::int32_t rg_my_main_window::onWindowCreated(CQueltObject* self, CQueltObject*, std::int32_t) {
    static_cast<rg_my_main_window*>(self)->loadConfiguration();
    return 0;
}

// Exactly one button matches.
std::int32_t rg_my_main_window::onButtonClicked(CQueltObject* self, CQueltObject* source, std::int32_t) {
    auto& w = *static_cast<rg_my_main_window*>(self);
    if (source == &w.helpButton) {
        w.showHelp();
        return 0;
    }
    if (source == &w.saveButton) {
        w.saveConfiguration();
        return 0;
    }
    for (const KindPage& k : kKindPages) {
        if (source == &(w.*k.updateButton))
            w.updateModules(k.kind);
        else if (source == &(w.*k.checkButton))
            w.checkModules(k.kind);
        else if (source == &(w.*k.browseButton))
            w.chooseFolder(w.*k.browseButton);
        else
            continue;
        break;
    }
    return 0;
}

std::int32_t rg_my_main_window::onModuleRowFill(CQueltObject* self, CQueltObject*, std::int32_t kindIndex,
                                                rg_ChaoJiLieBiaoKuangBiaoXiangTianChong* item) {
    auto& w = *static_cast<rg_my_main_window*>(self);
    if (item && kindIndex >= 0 && static_cast<std::size_t>(kindIndex) < w.rowTables_.size())
        if (const ListBoxRowTable* rows = w.rowTables_[static_cast<std::size_t>(kindIndex)])
            rows->fillCell(*item);
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
    for (const KindPage& k : kKindPages) {
        if (&browseButton != &(this->*k.browseButton))
            continue;
        const CWString path = browseForFolder(this, CWString(k.folderPrompt));
        if (!path.isEmpty())
            (this->*k.folderEdit).setCaption(path);
        return;
    }
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
    if (SaveConfig(c, configFile_)) {
        messageBox(this, CWString(kMessageSaved), CWString(kMessageCaption), kMbOk);
        return;
    }
    // The old file is still whole; the user is told that the values did not reach
    // it, and why, rather than believing them saved.
    messageBox(this, saveFailureText(configFile_), CWString(kMessageCaption), kMbOk);
}

void rg_my_main_window::showHelp() {
    rg_win_BangZhu help;
    help.openModal();
}

} // namespace rg_quelt_app
