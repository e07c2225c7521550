#pragma once
// rg_my_main_window: the application's main window. A tab selector with one page per
// module kind (a function group with "检查更新", "更新模块" and "强制更新" above the
// list of the server's files) and a configuration page (the domain and, per kind,
// QQ number, password and folder; under them "全局设置", how the transfers go; all
// saved with "保存"); a help button and a notice line below.
//
// Every control is a member, created by build() when the native window exists; the
// update engine is a member too. The three module pages are made and answered from
// one table of what belongs to each kind. All handlers run on the user-interface
// thread; the module lists are virtual lists of their row tables, which the
// download worker writes from its own thread, and so does a check, which runs on a
// thread of its own (ModuleCheckRunner) while the window goes on. A line in each
// page's function group tells what the page's check or download job does, did, and
// why the selected row's file failed. "撤销上次更新", right in the function group,
// puts back the files of the kind's last backed-up job, as a job of the engine's
// queue, once the user has confirmed it; afterwards the rows are marked anew, so
// that the files put back read "下载" again.
#include "runtime/core/RefPtr.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"
#include "runtime/gui/rg_FenZuKuang.h"
#include "runtime/gui/rg_XuanZeGa.h"
#include "runtime/gui/rg_button1.h"
#include "runtime/gui/rg_check_box.h"
#include "runtime/gui/rg_edit_box.h"
#include "runtime/gui/rg_label1.h"
#include "updater/JobTracker.h"
#include "updater/ModuleBackups.h"
#include "updater/ModuleKind.h"
#include "updater/ModuleRowTable.h"
#include "updater/RollbackFlow.h"
#include "updater/UpdateFlow.h"
#include "updater/rg_MoKuaiGengXinYinQing.h"
#include "windows/ModuleCheckRunner.h"

#include <array>
#include <memory>
#include <optional>

namespace rg_quelt_app {

class ListBoxRowTable;

class rg_my_main_window : public rg_quelt_WTLJieMian_base::CQueltWinForm {
    QUELT_CLASS(rg_my_main_window)

public:
    using Button = rg_quelt_WTLJieMian_base::rg_button1;
    using CheckBox = rg_quelt_WTLJieMian_base::rg_check_box;
    using Group = rg_quelt_WTLJieMian_base::rg_FenZuKuang;
    using Label = rg_quelt_WTLJieMian_base::rg_label1;
    using Edit = rg_quelt_WTLJieMian_base::rg_edit_box;
    using Tabs = rg_quelt_WTLJieMian_base::rg_XuanZeGa;
    using ListBox = rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang;

    rg_my_main_window();
    ~rg_my_main_window() override;

    // Where the configuration is loaded from and saved to: setup.ini beside the
    // program unless set before the window is created.
    void setConfigFile(const CWString& file) { configFile_ = file; }
    const CWString& configFile() const { return configFile_; }

    // The actions of the buttons.
    void checkModules(ModuleKind kind);
    void updateModules(ModuleKind kind);
    void chooseFolder(Button& browseButton);
    void chooseCaFile();
    void chooseBackupFolder();
    void saveConfiguration();
    void showHelp();
    // "撤销上次更新": asks with the kind's newest backed-up job, and on "是" queues
    // its rollback.
    void undoLastUpdate(ModuleKind kind);

    // The row table of a module kind's list box (null before build).
    ModuleRowTable* rowTable(ModuleKind kind);
    // Whether the kind's check has been asked for and its answer is not in yet:
    // its "检查更新" and "更新模块" do nothing meanwhile.
    bool isChecking(ModuleKind kind) const { return checks_.runner && checks_.runner->busy(kind); }
    // The kind's last download job, shown in its state line; null before any, and
    // again once a check follows a job that ended.
    const JobTracker* jobTracker(ModuleKind kind) const;
    // Whether the kind's job runs: its "更新模块" reads "停止更新" and stops it.
    bool isUpdating(ModuleKind kind) const;
    // Whether the kind's update waits for another page's job: its state line reads
    // "等待中", its rows are as they were, and its button reads "停止更新" and takes
    // it out of the queue.
    bool isWaiting(ModuleKind kind) const { return bool(waiting_[static_cast<std::size_t>(kind)]); }
    // Whether the kind's rollback waits or runs: the page's other buttons do
    // nothing meanwhile.
    bool isRollingBack(ModuleKind kind) const;
    // Whether the page checks, updates, waits or rolls back: nothing else may start on it.
    bool isBusy(ModuleKind kind) const {
        return isChecking(kind) || isUpdating(kind) || isWaiting(kind) || isRollingBack(kind);
    }
    // The kind's last rollback, shown in its state line until the next check or
    // update; null before any.
    const RollbackTracker* rollbackTracker(ModuleKind kind) const {
        return rollbacks_[static_cast<std::size_t>(kind)].get();
    }

    // The controls, in the order of their identifiers (101 to 148).
    Button helpButton;
    Label noticeLabel;
    Tabs moduleTabs;
    Group winFunctionGroup;
    CheckBox winForceUpdateCheck;
    Button winUpdateButton;
    Button winCheckButton;
    Group winInfoGroup;
    ListBox winModuleList;
    Group winConfigGroup;
    Button winBrowseButton;
    Label winFolderLabel;
    Edit winFolderEdit;
    Label winPasswordLabel;
    Edit winPasswordEdit;
    Label winQqLabel;
    Edit winQqEdit;
    Button saveButton;
    Group serverConfigGroup;
    Label serverFolderLabel;
    Edit serverFolderEdit;
    Button serverBrowseButton;
    Label serverPasswordLabel;
    Edit serverPasswordEdit;
    Label serverQqLabel;
    Edit serverQqEdit;
    Group androidConfigGroup;
    Button androidBrowseButton;
    Label androidFolderLabel;
    Edit androidFolderEdit;
    Label androidPasswordLabel;
    Edit androidPasswordEdit;
    Label androidQqLabel;
    Edit androidQqEdit;
    Edit domainEdit;
    Label domainLabel;
    Group serverFunctionGroup;
    CheckBox serverForceUpdateCheck;
    Button serverUpdateButton;
    Button serverCheckButton;
    Group serverInfoGroup;
    ListBox serverModuleList;
    Group androidInfoGroup;
    ListBox androidModuleList;
    Group androidFunctionGroup;
    CheckBox androidForceUpdateCheck;
    Button androidUpdateButton;
    Button androidCheckButton;
    // The state line of each module page, in its function group (149 to 151).
    Label winStateLabel;
    Label androidStateLabel;
    Label serverStateLabel;
    // The group "全局设置" of the configuration page (152 to 163).
    Group globalGroup;
    Label parallelLabel;
    Edit parallelEdit; // with a spin button in the range of "同时下载数"
    Label retriesLabel;
    Edit retriesEdit; // with a spin button in the range of "重试次数"
    CheckBox verifyCheck;
    Label proxyLabel;
    Edit proxyEdit;
    Label proxyHintLabel;
    Label caFileLabel;
    Edit caFileEdit;
    Button caFileButton;
    // "撤销上次更新" of each module page (164 to 166).
    Button winUndoButton;
    Button androidUndoButton;
    Button serverUndoButton;
    // The backup keys of "全局设置" (167 to 171).
    Label keptBackupsLabel;
    Edit keptBackupsEdit; // with a spin button in the range of "保留备份数"
    Label backupFolderLabel;
    Edit backupFolderEdit;
    Button backupFolderButton;

    rg_MoKuaiGengXinYinQing engine;

    // What belongs to one module kind: the controls of its page and of its group on
    // the configuration page, where they go, and the prompt of its folder chooser.
    // One table of these, in the order of ModuleKind, builds the three module pages
    // and answers their buttons.
    struct ConfigPlace; // a control of a configuration group and its place
    struct KindPage {
        ModuleKind kind;
        const char16_t* folderPrompt;
        // The page: identifiers from firstId in the order of creation.
        std::int32_t firstId;
        bool listGroupFirst; // the Android page makes its list group first
        Group rg_my_main_window::*functionGroup;
        CheckBox rg_my_main_window::*forceCheck;
        Button rg_my_main_window::*updateButton;
        Button rg_my_main_window::*checkButton;
        Group rg_my_main_window::*infoGroup;
        ListBox rg_my_main_window::*list;
        Label rg_my_main_window::*stateLabel;  // identifier 149 + the kind's index
        Button rg_my_main_window::*undoButton; // identifier 164 + the kind's index
        // The configuration group: identifiers from its own on.
        const char16_t* configCaption;
        std::int32_t configGroupId, configX, configY, configWidth;
        const ConfigPlace* configPlaces; // in the order of creation
        Group rg_my_main_window::*configGroup;
        Button rg_my_main_window::*browseButton;
        Label rg_my_main_window::*folderLabel;
        Edit rg_my_main_window::*folderEdit;
        Label rg_my_main_window::*passwordLabel;
        Edit rg_my_main_window::*passwordEdit;
        Label rg_my_main_window::*qqLabel;
        Edit rg_my_main_window::*qqEdit;
    };

protected:
    void build() override;

private:
    static const KindPage kKindPages[3];

    static std::int32_t onWindowCreated(CQueltObject* self, CQueltObject* source, std::int32_t userArgument);
    static std::int32_t onButtonClicked(CQueltObject* self, CQueltObject* source, std::int32_t userArgument);
    // The item fill of a module list; the user argument is the kind's index.
    static std::int32_t
    onModuleRowFill(CQueltObject* self, CQueltObject* source, std::int32_t userArgument,
                    rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuangBiaoXiangTianChong* item);
    // The focused row of a module list; the user argument is the kind's index.
    static std::int32_t onModuleRowFocused(CQueltObject* self, CQueltObject* source,
                                           std::int32_t userArgument, std::int32_t row);
    static std::int32_t onPageChanged(CQueltObject* self, CQueltObject* source, std::int32_t userArgument);
    // Every message of the form: the job timer's ticks.
    static std::int32_t onFormMessage(CQueltObject* self, CQueltObject* source, std::int32_t userArgument,
                                      std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t lparam);

    void bindEvents();
    void createControls();
    void createModulePage(const KindPage& kind);
    void createConfigGroup(const KindPage& kind);
    void createGlobalGroup();
    void loadConfiguration();
    // Gives the engine the transfer settings of the file, unless a check runs (its
    // requests read them on their own thread): then once no check runs any more.
    void applyTransferSettings();
    CheckBox& forceCheck(ModuleKind kind);
    void releaseRowTables();

    // When a check's answer is in (its rows filled and marked): tells a failure.
    void checkDone(ModuleKind kind, const CheckResult& result);
    // Writes the kind's state line from its check and job; true while its job runs.
    bool showState(ModuleKind kind);
    // Every state line of a job, after starting the next queued one once the job
    // before it has ended; the timer stops once no job runs and none waits.
    void showJobStates();
    // "停止更新" while the kind's update runs or waits, else "更新模块".
    void showUpdateCaption(ModuleKind kind);
    // Looks again for the kind's newest backed-up job (after a load or save of the
    // settings, a check, a job or a rollback).
    void findUndoJob(ModuleKind kind);
    // "撤销上次更新" enabled while there is a job to undo and the page is idle.
    void showUndoButton(ModuleKind kind);
    void startJobTimer();
    // The busy cursor over the tabs while the selected page's check runs.
    void showWaitCursor();

    CWString configFile_;
    std::array<ListBoxRowTable*, 3> rowTables_{};
    // Made by build(), after the engine: stopped before it goes. A copy of the
    // window starts without one and makes its own when it builds itself.
    struct OwnRunner {
        OwnRunner() = default;
        OwnRunner(const OwnRunner&) {}
        OwnRunner& operator=(const OwnRunner&) { return *this; }
        std::unique_ptr<ModuleCheckRunner> runner;
    };
    OwnRunner checks_;
    std::array<RefPtr<JobTracker>, 3> trackers_;
    // The tracker of an update queued behind another page's job, until it starts.
    std::array<RefPtr<JobTracker>, 3> waiting_;
    std::array<std::int32_t, 3> focusedRows_{-1, -1, -1};
    // The newest backed-up job of each kind, as last looked for.
    std::array<std::optional<BackupJobSummary>, 3> undoJobs_;
    // The rollback of each kind and the job it undoes, kept to be shown.
    std::array<RefPtr<RollbackTracker>, 3> rollbacks_;
    std::array<CWString, 3> rollbackTimes_;
    // Whether the kind's job or rollback ran at the timer's last tick: its end
    // may have made or used up a backup.
    std::array<bool, 3> busyBefore_{};
    // What the proxy settings leave out, told on the state lines until a check
    // starts after one has ended.
    CWString proxyNote_;
    bool proxyNoteTold_ = false;
    // Saved while a check ran: the engine still has the settings from before.
    bool transferSettingsPending_ = false;
    bool jobTimer_ = false;
    bool waitCursor_ = false;
};

} // namespace rg_quelt_app
