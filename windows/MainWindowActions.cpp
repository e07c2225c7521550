// What the main window does when the user acts: its event handlers and the actions
// of its buttons.
#include "runtime/core/Paths.h"
#include "runtime/gui/CommonDialogs.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/platform/FileWriteProblem.h"
#include "updater/ConfigStore.h"
#include "updater/GlobalSettingTexts.h"
#include "updater/JobTracker.h"
#include "updater/UpdateFlow.h"
#include "windows/JobStateText.h"
#include "windows/ListBoxRowTable.h"
#include "windows/WindowTexts.h"
#include "windows/rg_my_main_window.h"
#include "windows/rg_win_BangZhu.h"

using namespace rg_quelt_WTLJieMian_base;
using rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuangBiaoXiangTianChong;

namespace rg_quelt_app {

namespace {

constexpr std::uint32_t kMbOk = 0;
// A question whose "否" is the default: Enter alone undoes nothing.
constexpr std::uint32_t kMbYesNoQuestion = 0x4 | 0x20 | 0x100; // MB_YESNO, MB_ICONQUESTION, MB_DEFBUTTON2
constexpr std::int32_t kIdYes = 6;

// The state lines follow a running job this often.
constexpr std::uint32_t kJobTimerId = 1;
constexpr std::uint32_t kJobTimerMs = 250;

std::size_t indexOf(ModuleKind kind) { return static_cast<std::size_t>(kind); }

// "获取模块列表失败：" and the reason.
CWString listFailureText(const ListReading& list) {
    CWString text(kMessageListFailed);
    const CWString reason = reasonText(list.reason);
    if (!reason.isEmpty()) {
        text += u"：";
        text += reason.view();
    }
    return text;
}

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
    if (source == &w.caFileButton) {
        w.chooseCaFile();
        return 0;
    }
    if (source == &w.backupFolderButton) {
        w.chooseBackupFolder();
        return 0;
    }
    for (const KindPage& k : kKindPages) {
        if (source == &(w.*k.updateButton))
            w.updateModules(k.kind);
        else if (source == &(w.*k.checkButton))
            w.checkModules(k.kind);
        else if (source == &(w.*k.browseButton))
            w.chooseFolder(w.*k.browseButton);
        else if (source == &(w.*k.undoButton))
            w.undoLastUpdate(k.kind);
        else
            continue;
        break;
    }
    return 0;
}

std::int32_t rg_my_main_window::onModuleRowFocused(CQueltObject* self, CQueltObject*, std::int32_t kindIndex,
                                                   std::int32_t row) {
    auto& w = *static_cast<rg_my_main_window*>(self);
    if (kindIndex >= 0 && static_cast<std::size_t>(kindIndex) < w.focusedRows_.size()) {
        w.focusedRows_[static_cast<std::size_t>(kindIndex)] = row;
        w.showState(static_cast<ModuleKind>(kindIndex));
    }
    return 0;
}

std::int32_t rg_my_main_window::onPageChanged(CQueltObject* self, CQueltObject*, std::int32_t) {
    static_cast<rg_my_main_window*>(self)->showWaitCursor();
    return 0;
}

std::int32_t rg_my_main_window::onFormMessage(CQueltObject* self, CQueltObject*, std::int32_t, std::uintptr_t,
                                              std::uint32_t message, std::uintptr_t wparam, std::intptr_t) {
    if (message == quelt_gui::kWmTimer && wparam == kJobTimerId)
        static_cast<rg_my_main_window*>(self)->showJobStates();
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
    applyTransferSettings();
    const GlobalSettingTexts global = LoadGlobalSettingTexts(configFile_);
    parallelEdit.setCaption(global.parallelDownloads);
    retriesEdit.setCaption(global.retries);
    verifyCheck.setChecked(global.verifyCertificates);
    proxyEdit.setCaption(global.proxy);
    caFileEdit.setCaption(global.caFile);
    keptBackupsEdit.setCaption(global.keptBackups);
    backupFolderEdit.setCaption(global.backupFolder);
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

void rg_my_main_window::applyTransferSettings() {
    for (const KindPage& k : kKindPages)
        if (isChecking(k.kind)) {
            transferSettingsPending_ = true;
            return;
        }
    transferSettingsPending_ = false;
    engine.setTransferSettings(LoadTransferSettings(configFile_));
    proxyNote_ = engine.transferSettings().proxyNote();
    proxyNoteTold_ = false;
    for (const KindPage& k : kKindPages) {
        // The backups may be in another folder now.
        findUndoJob(k.kind);
        showState(k.kind); // the certificate warning and the proxy note, from the start
    }
}

// The check runs on its own thread; the answer comes back in checkDone. Until then
// the page's buttons do nothing, so a second click asks for nothing.
void rg_my_main_window::checkModules(ModuleKind kind) {
    ModuleRowTable* rows = rowTable(kind);
    // A rollback marks the rows once its files are back: they are not replaced before.
    if (!rows || !checks_.runner || isChecking(kind) || isRollingBack(kind))
        return;
    if (!isConfigured(kind, globalConfig)) {
        messageBox(this, CWString(kMessageConfigureFirst), CWString(kMessageCaption), kMbOk);
        return;
    }
    // The rows a queued update was asked for are being replaced: it waits no more.
    if (isWaiting(kind)) {
        engine.cancelQueued(static_cast<std::uint32_t>(kind));
        waiting_[indexOf(kind)] = RefPtr<JobTracker>();
    }
    // A job that ended is told until the next check; one that runs goes on.
    RefPtr<JobTracker>& tracker = trackers_[indexOf(kind)];
    if (tracker && tracker->figures().finished)
        tracker = RefPtr<JobTracker>();
    rollbacks_[indexOf(kind)] = RefPtr<RollbackTracker>();
    focusedRows_[indexOf(kind)] = -1;
    if (transferSettingsPending_)
        applyTransferSettings();
    checks_.runner->start(kind, *rows, globalConfig);
    if (proxyNoteTold_ && !proxyNote_.isEmpty()) {
        proxyNote_ = CWString();
        for (const KindPage& k : kKindPages)
            showState(k.kind);
    }
    showState(kind);
    showWaitCursor();
}

void rg_my_main_window::checkDone(ModuleKind kind, const CheckResult& result) {
    if (transferSettingsPending_)
        applyTransferSettings();
    proxyNoteTold_ = true;
    findUndoJob(kind);
    showState(kind);
    showWaitCursor();
    // An empty list that arrived is no failure: the rows tell it.
    if (result.outcome == CheckOutcome::Failed)
        messageBox(this, listFailureText(result.list), CWString(kMessageCaption), kMbOk);
    else if (result.outcome == CheckOutcome::NotConfigured)
        messageBox(this, CWString(kMessageConfigureFirst), CWString(kMessageCaption), kMbOk);
}

void rg_my_main_window::updateModules(ModuleKind kind) {
    // The rows are being replaced (by a check, or marked by a rollback): there is
    // nothing to update yet.
    if (isChecking(kind) || isRollingBack(kind))
        return;
    const std::size_t k = indexOf(kind);
    // The button reads "停止更新": it stops the page's job (the timer tells once the
    // worker has ended) or takes the page's update out of the queue.
    if (isUpdating(kind)) {
        engine.requestStop();
        return;
    }
    if (isWaiting(kind)) {
        engine.cancelQueued(static_cast<std::uint32_t>(kind));
        waiting_[k] = RefPtr<JobTracker>();
        showState(kind);
        return;
    }
    // A list box without a window has no rows, so it asks for a check too.
    ModuleRowTable* rows = rowTable(kind);
    UpdateOutcome outcome = UpdateOutcome::NothingChecked;
    // The job takes its copy of the settings when it starts.
    if (transferSettingsPending_)
        applyTransferSettings();
    if (rows) {
        auto tracker = RefPtr<JobTracker>::adopt(JobTracker::create(*rows));
        outcome = rg_quelt_app::updateModules(engine, kind, *rows, forceCheck(kind).isChecked(), globalConfig,
                                              *tracker)
                      .outcome;
        // Kept to be shown; the worker holds its own share while the job runs. One
        // that waits moves over once its job has started.
        if (outcome == UpdateOutcome::Started)
            trackers_[k] = tracker;
        else if (outcome == UpdateOutcome::Queued)
            waiting_[k] = tracker;
        if (outcome == UpdateOutcome::Started || outcome == UpdateOutcome::Queued) {
            // The page tells the new job from now on.
            rollbacks_[k] = RefPtr<RollbackTracker>();
            busyBefore_[k] = true;
            showState(kind);
            startJobTimer();
        }
    }
    if (outcome == UpdateOutcome::NotConfigured)
        messageBox(this, CWString(kMessageConfigureFirst), CWString(kMessageCaption), kMbOk);
    else if (outcome == UpdateOutcome::NothingChecked)
        messageBox(this, CWString(kMessageCheckFirst), CWString(kMessageCaption), kMbOk);
}

void rg_my_main_window::startJobTimer() {
    if (!jobTimer_)
        jobTimer_ = startTimer(kJobTimerId, kJobTimerMs);
}

bool rg_my_main_window::showState(ModuleKind kind) {
    const std::size_t k = indexOf(kind);
    const JobTracker* tracker = trackers_[k].get();
    CWString text;
    bool running = false;
    if (tracker) {
        const JobTracker::Figures figures = tracker->figures();
        running = !figures.finished;
        text = jobStateText(figures);
    }
    if (isWaiting(kind)) {
        text = CWString(kStateWaiting);
        running = true;
    }
    // The rollback came after the job: it is what the page tells.
    const RollbackTracker* rollback = rollbacks_[k].get();
    if (rollback) {
        const RollbackTracker::Figures figures = rollback->figures();
        text = !figures.started    ? CWString(kStateWaiting)
               : !figures.finished ? CWString(kStateRollingBack)
                                   : rollbackStateText(figures, rollbackTimes_[k]);
        running = running || !figures.finished;
    }
    if (isChecking(kind))
        text = CWString(kStateChecking);
    // The selected row's reason, while the row still shows the file that failed.
    const std::int32_t row = focusedRows_[k];
    ModuleRowTable* rows = rowTable(kind);
    if (tracker && !rollback && rows && row >= 0) {
        const auto failure = tracker->failureAt(static_cast<std::size_t>(row));
        if (failure && rows->getCellText(failure->row, kColumnName).view() == failure->name.view()) {
            if (!text.isEmpty())
                text += u"\n";
            text += failureText(*failure).view();
        }
    }
    // Said on every page for as long as it holds, as the risk does.
    if (!engine.transferSettings().verifyCertificates) {
        if (!text.isEmpty())
            text += u"\n";
        text += kCertificatesNotChecked;
    }
    if (const CWString note = engine.transferSettings().backupNote(); !note.isEmpty()) {
        if (!text.isEmpty())
            text += u"\n";
        text += note.view();
    }
    if (!proxyNote_.isEmpty()) {
        if (!text.isEmpty())
            text += u"\n";
        text += proxyNote_.view();
    }
    Label& label = this->*kKindPages[k].stateLabel;
    if (label.getCaption().view() != text.view())
        label.setCaption(text);
    showUpdateCaption(kind);
    showUndoButton(kind);
    return running;
}

void rg_my_main_window::findUndoJob(ModuleKind kind) {
    const CWString& folder = engine.transferSettings().backupFolder;
    const std::vector<BackupJobSummary> jobs =
        folder.isEmpty() ? std::vector<BackupJobSummary>() : listBackupJobs(folder, kind);
    undoJobs_[indexOf(kind)] = jobs.empty() ? std::nullopt : std::optional<BackupJobSummary>(jobs.front());
}

void rg_my_main_window::showUndoButton(ModuleKind kind) {
    const bool on = !isBusy(kind) && undoJobs_[indexOf(kind)].has_value();
    Button& button = this->*kKindPages[indexOf(kind)].undoButton;
    if (button.isEnabled() != on)
        button.setEnabled(on);
}

void rg_my_main_window::undoLastUpdate(ModuleKind kind) {
    const std::size_t k = indexOf(kind);
    // A click that arrived before the button was disabled.
    if (isBusy(kind))
        return;
    if (transferSettingsPending_)
        applyTransferSettings();
    // What is there now, rather than when the button was last enabled.
    findUndoJob(kind);
    showUndoButton(kind);
    if (!undoJobs_[k])
        return;
    const BackupJobSummary job = *undoJobs_[k];
    CWString question(kMessageUndoQuestion);
    question += u"\n\n";
    question += kKindPages[k].configCaption;
    question += u" ";
    question += backupJobText(job).view();
    question += u"。\n";
    question += kMessageUndoWhat;
    if (messageBox(this, question, CWString(kMessageCaption), kMbYesNoQuestion) != kIdYes || isBusy(kind))
        return;
    auto tracker = RefPtr<RollbackTracker>::adopt(RollbackTracker::create());
    switch (rollbackModules(engine, kind, rowTable(kind), globalConfig, job.time, *tracker)) {
    case RollbackOutcome::NotConfigured:
        messageBox(this, CWString(kMessageConfigureFirst), CWString(kMessageCaption), kMbOk);
        return;
    case RollbackOutcome::Busy:
        return;
    case RollbackOutcome::Queued:
    case RollbackOutcome::Started:
        break;
    }
    rollbacks_[k] = tracker;
    rollbackTimes_[k] = job.time;
    busyBefore_[k] = true;
    showState(kind);
    startJobTimer();
}

void rg_my_main_window::showUpdateCaption(ModuleKind kind) {
    Button& button = this->*kKindPages[indexOf(kind)].updateButton;
    const char16_t* caption = isUpdating(kind) || isWaiting(kind) ? kCaptionStop : kCaptionUpdate;
    if (button.getCaption().view() != caption)
        button.setCaption(CWString(caption));
}

void rg_my_main_window::showJobStates() {
    // The job before has ended: the next page in the queue takes its rows now.
    engine.startQueued();
    for (const KindPage& k : kKindPages) {
        RefPtr<JobTracker>& waiting = waiting_[indexOf(k.kind)];
        if (!waiting)
            continue;
        if (waiting->figures().started)
            trackers_[indexOf(k.kind)] = waiting;
        if (waiting->figures().started || !engine.isQueued(static_cast<std::uint32_t>(k.kind)))
            waiting = RefPtr<JobTracker>();
    }
    // A job that ended has made a backup, a rollback has used one up.
    for (const KindPage& k : kKindPages) {
        const bool busy = isUpdating(k.kind) || isWaiting(k.kind) || isRollingBack(k.kind);
        if (busyBefore_[indexOf(k.kind)] && !busy)
            findUndoJob(k.kind);
        busyBefore_[indexOf(k.kind)] = busy;
    }
    bool running = false;
    for (const KindPage& k : kKindPages)
        if (trackers_[indexOf(k.kind)] || waiting_[indexOf(k.kind)] || rollbacks_[indexOf(k.kind)])
            running = showState(k.kind) || running;
    if (!running && engine.queuedCount() == 0 && jobTimer_) {
        stopTimer(kJobTimerId);
        jobTimer_ = false;
    }
}

void rg_my_main_window::showWaitCursor() {
    const std::int32_t page = moduleTabs.currentSelection();
    bool busy = false;
    for (const KindPage& k : kKindPages)
        busy = busy || (page == static_cast<std::int32_t>(indexOf(k.kind)) && isChecking(k.kind));
    if (busy != waitCursor_) {
        waitCursor_ = busy;
        moduleTabs.setWaitCursor(busy);
    }
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

void rg_my_main_window::chooseCaFile() {
    // A file set relative to setup.ini's folder is found there, as the requests find it.
    const CWString folder = folderOfFile(configFile_);
    const CWString typed = caFileEdit.getCaption().trimmed();
    const CWString start = typed.isEmpty() ? folder : resolvePath(folder, typed);
    const CWString path = chooseFileToOpen(this, CWString(kCaFileTitle), CWString(kCaFileTypes), start);
    if (!path.isEmpty())
        caFileEdit.setCaption(path);
}

void rg_my_main_window::chooseBackupFolder() {
    const CWString path = browseForFolder(this, CWString(kBackupFolderPrompt));
    if (!path.isEmpty())
        backupFolderEdit.setCaption(path);
}

void rg_my_main_window::saveConfiguration() {
    GlobalSettingTexts global;
    global.parallelDownloads = parallelEdit.getCaption();
    global.retries = retriesEdit.getCaption();
    global.verifyCertificates = verifyCheck.isChecked();
    global.proxy = proxyEdit.getCaption();
    global.caFile = caFileEdit.getCaption();
    global.keptBackups = keptBackupsEdit.getCaption();
    global.backupFolder = backupFolderEdit.getCaption();
    rg_PeiZhiXinXiLei c = globalConfig;
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
    // Nothing is written, nor taken over into the process's record, while one value
    // cannot be: the user puts it right and saves again.
    const CWString refusal = refusalOf(global, c, configFile_);
    if (!refusal.isEmpty()) {
        messageBox(this, refusal, CWString(kMessageCaption), kMbOk);
        return;
    }
    globalConfig = c;
    if (SaveConfig(c, global, configFile_)) {
        // The next check and job go by what was saved.
        applyTransferSettings();
        messageBox(this, CWString(kMessageSaved), CWString(kMessageCaption), kMbOk);
        return;
    }
    // The old file is still whole; the user is told that the values did not reach
    // it, and why, rather than believing them saved.
    messageBox(this, saveFailureText(configFile_), CWString(kMessageCaption), kMbOk);
}

void rg_my_main_window::showHelp() {
    rg_win_BangZhu help;
    help.setHistoryLog(engine.transferSettings().historyLog);
    help.openModal();
}

} // namespace rg_quelt_app
