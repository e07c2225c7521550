#include "windows/rg_my_main_window.h"

#include "runtime/gui/EditInputModes.h"
#include "updater/ConfigStore.h"
#include "updater/TransferSettings.h"
#include "windows/ListBoxRowTable.h"
#include "windows/WindowTexts.h"

using namespace rg_quelt_WTLJieMian_base;

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_my_main_window, CQueltWinForm, "rg_quelt_app::rg_my_main_window")

namespace {

constexpr std::int32_t kPageConfiguration = 3;
constexpr std::int32_t kNoPage = -1;

// The state lines of the module pages follow their identifiers 101 to 148, and
// the undo buttons the configuration page's global group (152 to 163).
constexpr std::int32_t kFirstStateLabelId = 149;
constexpr std::int32_t kFirstUndoButtonId = 164;

struct Place {
    std::int32_t id;
    std::int32_t x, y, width, height;
};

// The six controls of a kind's configuration group and its "选择" button.
enum class ConfigRole { browse, folderLabel, folderEdit, passwordLabel, passwordEdit, qqLabel, qqEdit };
constexpr std::size_t kConfigControls = 7;

} // namespace

struct rg_my_main_window::ConfigPlace {
    ConfigRole role;
    std::int32_t x, y, width, height;
};

namespace {

using ConfigPlace = rg_my_main_window::ConfigPlace;

// In the order they are made (and tabbed through); the Server group has its folder
// before its button, and a pixel or two of difference.
constexpr ConfigPlace kConfigLayout[kConfigControls] = {
    {ConfigRole::browse, 670, 10, 71, 32},        {ConfigRole::folderLabel, 396, 14, 80, 24},
    {ConfigRole::folderEdit, 484, 11, 180, 32},   {ConfigRole::passwordLabel, 180, 15, 62, 24},
    {ConfigRole::passwordEdit, 251, 12, 136, 32}, {ConfigRole::qqLabel, 8, 15, 80, 24},
    {ConfigRole::qqEdit, 96, 12, 74, 32},
};
constexpr ConfigPlace kServerConfigLayout[kConfigControls] = {
    {ConfigRole::folderLabel, 394, 15, 80, 24},   {ConfigRole::folderEdit, 482, 12, 180, 32},
    {ConfigRole::browse, 668, 11, 71, 32},        {ConfigRole::passwordLabel, 180, 15, 62, 24},
    {ConfigRole::passwordEdit, 251, 12, 136, 32}, {ConfigRole::qqLabel, 8, 15, 80, 24},
    {ConfigRole::qqEdit, 96, 12, 74, 32},
};
constexpr std::int32_t kConfigGroupHeight = 48;

std::size_t indexOf(ModuleKind kind) { return static_cast<std::size_t>(kind); }
std::int32_t pageOf(ModuleKind kind) { return static_cast<std::int32_t>(kind); }

// "Mireth视窗模块\n0\nMireth安卓模块\n0\nMireth服务器模块\n0\n配置\n0": a caption and
// an image index per tab.
CWString tabCaptionsText() {
    CWString text;
    for (ModuleKind kind : kAllModuleKinds) {
        text += tabCaption(kind);
        text += u"\n0\n";
    }
    text += kConfigurationTab;
    text += u"\n0";
    return text;
}

// Creates `control` inside `parent` at the given place, with the caption it was
// given and a default style; the creation record is the layout's, completed by the
// control.
bool place(CQueltWinControl& control, CQueltWinControl& parent, std::int32_t page, const Place& at,
           const char16_t* caption = nullptr) {
    if (caption)
        control.setCaption(CWString(caption));
    CQueltCreationRecord record;
    record.parentWindow = parent.window();
    record.parentControl = &parent;
    record.x = at.x;
    record.y = at.y;
    record.width = at.width;
    record.height = at.height;
    record.identifier = at.id;
    record.pageIndex = page;
    return control.create(record);
}

// The edit boxes get a sunken frame: without one a white box on the white
// configuration page cannot be told from the page.
void prepareEdit(rg_my_main_window::Edit& edit, std::int32_t inputMode) {
    edit.setInputMode(inputMode);
    edit.windowObject().setExStyle(edit.windowObject().exStyle() | quelt_gui::kWsExClientEdge);
}

// A module list is a virtual list of its row table: tens of thousands of rows cost
// the list nothing until they are painted.
void prepareModuleList(rg_my_main_window::ListBox& list) {
    list.setColumnDefinition(CWString(kModuleListColumns));
    list.setView(3);
    list.setGridLines(true);
    list.setFullRowSelect(true);
    list.setOwnerData(true);
}

} // namespace

using W = rg_my_main_window;
const W::KindPage W::kKindPages[3] = {
    {ModuleKind::Windows,
     u"如：D:\\queltdev\\plugins\\queltprj_win\\classlib\\user",
     104,
     false,
     &W::winFunctionGroup,
     &W::winForceUpdateCheck,
     &W::winUpdateButton,
     &W::winCheckButton,
     &W::winInfoGroup,
     &W::winModuleList,
     &W::winStateLabel,
     &W::winUndoButton,
     u"视窗模块",
     110,
     12,
     87,
     760,
     kConfigLayout,
     &W::winConfigGroup,
     &W::winBrowseButton,
     &W::winFolderLabel,
     &W::winFolderEdit,
     &W::winPasswordLabel,
     &W::winPasswordEdit,
     &W::winQqLabel,
     &W::winQqEdit},
    {ModuleKind::Android,
     u"如：D:\\queltdev\\plugins\\queltprj_android\\classlib\\user",
     143,
     true,
     &W::androidFunctionGroup,
     &W::androidForceUpdateCheck,
     &W::androidUpdateButton,
     &W::androidCheckButton,
     &W::androidInfoGroup,
     &W::androidModuleList,
     &W::androidStateLabel,
     &W::androidUndoButton,
     u"安卓模块",
     127,
     12,
     145,
     760,
     kConfigLayout,
     &W::androidConfigGroup,
     &W::androidBrowseButton,
     &W::androidFolderLabel,
     &W::androidFolderEdit,
     &W::androidPasswordLabel,
     &W::androidPasswordEdit,
     &W::androidQqLabel,
     &W::androidQqEdit},
    {ModuleKind::Server,
     u"如：D:\\queltdev\\plugins\\queltprj_server\\classlib\\user",
     137,
     false,
     &W::serverFunctionGroup,
     &W::serverForceUpdateCheck,
     &W::serverUpdateButton,
     &W::serverCheckButton,
     &W::serverInfoGroup,
     &W::serverModuleList,
     &W::serverStateLabel,
     &W::serverUndoButton,
     u"服务器模块",
     119,
     12,
     207,
     758,
     kServerConfigLayout,
     &W::serverConfigGroup,
     &W::serverBrowseButton,
     &W::serverFolderLabel,
     &W::serverFolderEdit,
     &W::serverPasswordLabel,
     &W::serverPasswordEdit,
     &W::serverQqLabel,
     &W::serverQqEdit},
};

rg_my_main_window::rg_my_main_window() : configFile_(configFilePath()) {
    setDesignClientSize(800, 600);
    setCaption(CWString(kWindowCaption));
}

rg_my_main_window::~rg_my_main_window() {
    // No check's answer reaches a window that is going, and the request that runs
    // ends at its next progress notice.
    if (checks_.runner)
        checks_.runner->abandon();
    // No handler may run once the members start to go.
    teardown();
    // Rows nobody shows end a check's fill and marking at once, and a job's
    // transfers at their next piece of data.
    releaseRowTables();
    if (checks_.runner)
        checks_.runner->stop();
    // A download with its rows gone stops at once; it ends (its temporary files
    // removed) before the list boxes go, and the queued ones never start. No time
    // limit here: a worker left running would meet the program's teardown.
    engine.stopDownload();
}

void rg_my_main_window::releaseRowTables() {
    for (ListBoxRowTable*& table : rowTables_) {
        if (!table)
            continue;
        table->detach();
        table->release();
        table = nullptr;
    }
}

void rg_my_main_window::build() {
    if (!checks_.runner)
        checks_.runner = std::make_unique<ModuleCheckRunner>(
            engine, [this](ModuleKind kind, const CheckResult& result) { checkDone(kind, result); });
    bindEvents();
    createControls();
    releaseRowTables();
    for (const KindPage& k : kKindPages)
        rowTables_[indexOf(k.kind)] = new ListBoxRowTable(this->*k.list);
}

void rg_my_main_window::bindEvents() {
    bindEvent(*this, containerCreated, &rg_my_main_window::onWindowCreated);
    bindEvent(*this, windowMessage, &rg_my_main_window::onFormMessage);
    bindEvent(moduleTabs, moduleTabs.selectionChanged, &rg_my_main_window::onPageChanged);
    for (Button* button : {&helpButton, &saveButton, &caFileButton, &backupFolderButton})
        bindEvent(*button, button->clicked, &rg_my_main_window::onButtonClicked);
    for (const KindPage& k : kKindPages) {
        for (Button* button : {&(this->*k.updateButton), &(this->*k.checkButton), &(this->*k.browseButton),
                               &(this->*k.undoButton)})
            bindEvent(*button, button->clicked, &rg_my_main_window::onButtonClicked);
        ListBox& list = this->*k.list;
        bindEvent(list, list.itemFill, &rg_my_main_window::onModuleRowFill,
                  static_cast<std::int32_t>(indexOf(k.kind)));
        bindEvent(list, list.focusedItemChanged, &rg_my_main_window::onModuleRowFocused,
                  static_cast<std::int32_t>(indexOf(k.kind)));
    }
}

// The order of creation is the order of the child windows: the Windows page, the
// configuration page's groups (Windows, then "保存", Server, Android), its domain
// and "全局设置", the Server page and last the Android page.
void rg_my_main_window::createControls() {
    place(helpButton, *this, kNoPage, {101, 707, 560, 80, 32}, kCaptionHelp);
    place(noticeLabel, *this, kNoPage, {102, 13, 561, 688, 32}, kNotice);
    noticeLabel.setThinBorder();
    moduleTabs.setCaptions(tabCaptionsText());
    place(moduleTabs, *this, kNoPage, {103, 6, 6, 784, 552});

    const KindPage& windows = kKindPages[indexOf(ModuleKind::Windows)];
    const KindPage& android = kKindPages[indexOf(ModuleKind::Android)];
    const KindPage& server = kKindPages[indexOf(ModuleKind::Server)];
    createModulePage(windows);
    createConfigGroup(windows);
    place(saveButton, moduleTabs, kPageConfiguration, {118, 594, 270, 176, 48}, kCaptionSave);
    createConfigGroup(server);
    createConfigGroup(android);
    prepareEdit(domainEdit, 0);
    place(domainEdit, moduleTabs, kPageConfiguration, {135, 104, 45, 304, 32});
    place(domainLabel, moduleTabs, kPageConfiguration, {136, 16, 48, 80, 24}, kCaptionDomain);
    createGlobalGroup();
    createModulePage(server);
    createModulePage(android);
}

void rg_my_main_window::createModulePage(const KindPage& k) {
    const std::int32_t page = pageOf(k.kind);
    // Identifiers follow the order of creation.
    const std::int32_t functions = k.firstId + (k.listGroupFirst ? 2 : 0);
    const std::int32_t info = k.firstId + (k.listGroupFirst ? 0 : 4);
    Group& functionGroup = this->*k.functionGroup;
    Group& infoGroup = this->*k.infoGroup;
    auto makeFunctionGroup = [&] {
        place(functionGroup, moduleTabs, page, {functions, 10, 27, 762, 65}, kCaptionFunctions);
        place(this->*k.forceCheck, functionGroup, kNoPage, {functions + 1, 253, 29, 80, 24},
              kCaptionForceUpdate);
        place(this->*k.updateButton, functionGroup, kNoPage, {functions + 2, 134, 19, 112, 40},
              kCaptionUpdate);
        place(this->*k.checkButton, functionGroup, kNoPage, {functions + 3, 14, 18, 112, 40}, kCaptionCheck);
        // At the group's right end, as tall as "检查更新"; disabled until there is
        // a job to undo. Made before the state line, which stays the group's last.
        Button& undo = this->*k.undoButton;
        undo.setEnabled(false);
        place(undo, functionGroup, kNoPage,
              {kFirstUndoButtonId + static_cast<std::int32_t>(indexOf(k.kind)), 655, 18, 100, 40},
              kCaptionUndo);
        // Two lines in the room between the check box and "撤销上次更新": the job,
        // and the selected row's failure.
        Label& state = this->*k.stateLabel;
        state.setMultiLine(true);
        place(state, functionGroup, kNoPage,
              {kFirstStateLabelId + static_cast<std::int32_t>(indexOf(k.kind)), 345, 14, 302, 46});
    };
    auto makeInfoGroup = [&] {
        place(infoGroup, moduleTabs, page, {info, 10, 96, 762, 448}, kCaptionModuleInfo);
        prepareModuleList(this->*k.list);
        place(this->*k.list, infoGroup, kNoPage, {info + 1, 6, 20, 750, 420});
    };
    if (k.listGroupFirst) {
        makeInfoGroup();
        makeFunctionGroup();
    } else {
        makeFunctionGroup();
        makeInfoGroup();
    }
}

void rg_my_main_window::createConfigGroup(const KindPage& k) {
    Group& group = this->*k.configGroup;
    place(group, moduleTabs, kPageConfiguration,
          {k.configGroupId, k.configX, k.configY, k.configWidth, kConfigGroupHeight}, k.configCaption);
    std::int32_t id = k.configGroupId;
    for (std::size_t i = 0; i < kConfigControls; ++i) {
        const ConfigPlace& at = k.configPlaces[i];
        const Place where{++id, at.x, at.y, at.width, at.height};
        // A button or label with its caption, or an edit box with its input mode.
        struct Made {
            CQueltWinControl& control;
            const char16_t* caption = nullptr;
            Edit* edit = nullptr;
            std::int32_t inputMode = 0;
        };
        auto made = [&]() -> Made {
            switch (at.role) {
            case ConfigRole::browse:
                return {this->*k.browseButton, kCaptionBrowse};
            case ConfigRole::folderLabel:
                return {this->*k.folderLabel, kCaptionFolder};
            case ConfigRole::folderEdit: // read-only: filled by the folder chooser
                return {this->*k.folderEdit, nullptr, &(this->*k.folderEdit), 1};
            case ConfigRole::passwordLabel:
                return {this->*k.passwordLabel, kCaptionPassword};
            case ConfigRole::passwordEdit: // shown as the password character
                return {this->*k.passwordEdit, nullptr, &(this->*k.passwordEdit), 2};
            case ConfigRole::qqLabel:
                return {this->*k.qqLabel, kCaptionQq};
            case ConfigRole::qqEdit:
                break;
            }
            return {this->*k.qqEdit, nullptr, &(this->*k.qqEdit), 0};
        }();
        if (made.edit)
            prepareEdit(*made.edit, made.inputMode);
        place(made.control, group, kNoPage, where, made.caption);
    }
}

// Under the module groups (which end at 255) and left of "保存" (from 594 on), in
// four rows, made row by row so that Tab goes through them as they are read: the
// three numbers; the proxy; the certificate file, its chooser and "校验证书"; the
// backup folder and its chooser. The spin buttons take the system's scroll-bar
// width right of their edit boxes. The backup keys came last and are numbered after
// the undo buttons, so that every identifier before them stays.
void rg_my_main_window::createGlobalGroup() {
    using quelt_gui::kInputSignedDigits;
    place(globalGroup, moduleTabs, kPageConfiguration, {152, 12, 262, 574, 176}, kCaptionGlobalSettings);
    const struct {
        Label& label;
        const char16_t* caption;
        Edit& edit;
        int low, high;
        Place label96, edit96;
    } numbers[] = {
        // clang-format off
        {parallelLabel, kCaptionParallel, parallelEdit, TransferSettings::kMinParallel,
         TransferSettings::kMaxParallel, {153, 8, 23, 84, 24}, {154, 96, 20, 48, 32}},
        {retriesLabel, kCaptionRetries, retriesEdit, 0, TransferSettings::kMaxRetries,
         {155, 184, 23, 72, 24}, {156, 260, 20, 48, 32}},
        {keptBackupsLabel, kCaptionKeptBackups, keptBackupsEdit, 0, TransferSettings::kMaxKeptBackups,
         {167, 348, 23, 84, 24}, {168, 436, 20, 48, 32}},
        // clang-format on
    };
    for (const auto& n : numbers) {
        place(n.label, globalGroup, kNoPage, n.label96, n.caption);
        prepareEdit(n.edit, kInputSignedDigits);
        n.edit.setSpinMode(Edit::kSpinAutomatic);
        n.edit.setSpinMinimum(n.low);
        n.edit.setSpinMaximum(n.high);
        n.edit.setMaxLength(6);
        place(n.edit, globalGroup, kNoPage, n.edit96);
    }
    place(proxyLabel, globalGroup, kNoPage, {158, 8, 61, 84, 24}, kCaptionProxy);
    prepareEdit(proxyEdit, 0);
    place(proxyEdit, globalGroup, kNoPage, {159, 96, 58, 330, 32});
    place(proxyHintLabel, globalGroup, kNoPage, {160, 434, 61, 132, 24}, kCaptionProxyHint);
    place(caFileLabel, globalGroup, kNoPage, {161, 8, 99, 84, 24}, kCaptionCaFile);
    prepareEdit(caFileEdit, 0);
    place(caFileEdit, globalGroup, kNoPage, {162, 96, 96, 290, 32});
    place(caFileButton, globalGroup, kNoPage, {163, 394, 96, 71, 32}, kCaptionBrowse);
    place(verifyCheck, globalGroup, kNoPage, {157, 476, 100, 86, 24}, kCaptionVerify);
    place(backupFolderLabel, globalGroup, kNoPage, {169, 8, 137, 84, 24}, kCaptionBackupFolder);
    prepareEdit(backupFolderEdit, 0);
    place(backupFolderEdit, globalGroup, kNoPage, {170, 96, 134, 390, 32});
    place(backupFolderButton, globalGroup, kNoPage, {171, 494, 134, 71, 32}, kCaptionBrowse);
}

rg_my_main_window::CheckBox& rg_my_main_window::forceCheck(ModuleKind kind) {
    return this->*kKindPages[indexOf(kind)].forceCheck;
}

ModuleRowTable* rg_my_main_window::rowTable(ModuleKind kind) { return rowTables_[indexOf(kind)]; }

const JobTracker* rg_my_main_window::jobTracker(ModuleKind kind) const {
    return trackers_[indexOf(kind)].get();
}

bool rg_my_main_window::isRollingBack(ModuleKind kind) const {
    const RollbackTracker* tracker = rollbackTracker(kind);
    return tracker && !tracker->figures().finished;
}

bool rg_my_main_window::isUpdating(ModuleKind kind) const {
    const JobTracker* tracker = jobTracker(kind);
    if (!tracker)
        return false;
    const JobTracker::Figures figures = tracker->figures();
    return figures.started && !figures.finished;
}

} // namespace rg_quelt_app
