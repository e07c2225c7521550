#include "windows/rg_my_main_window.h"

#include "runtime/platform/NoticeReceiver.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/ConfigStore.h"
#include "windows/ListBoxRowTable.h"

using namespace rg_quelt_WTLJieMian_base;

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_my_main_window, CQueltWinForm, "rg_quelt_app::rg_my_main_window")

namespace {

constexpr const char16_t* kWindowCaption = u"Mireth模块更新程序";
constexpr const char16_t* kNotice =
    u"各位：带宽和流量有限，请非必要不要勾选【强制更新】，有的文件较大，请耐心等待。";
constexpr const char16_t* kTabCaptions =
    u"Mireth视窗模块\n0\nMireth安卓模块\n0\nMireth服务器模块\n0\n配置\n0";
constexpr const char16_t* kModuleColumns =
    u"0\n-1\n0\n50\n序号\n0\n-1\n0\n70\n方式\n0\n-1\n0\n200\n文件名称\n"
    u"0\n-1\n0\n200\n路径\n0\n-1\n0\n100\n更新时间\n0\n-1\n0\n70\n大小";

constexpr std::int32_t kPageWindows = 0;
constexpr std::int32_t kPageAndroid = 1;
constexpr std::int32_t kPageServer = 2;
constexpr std::int32_t kPageConfiguration = 3;
constexpr std::int32_t kNoPage = -1;

constexpr std::uint64_t kWorkerStopWait = 3000; // ms

struct Place {
    std::int32_t id;
    std::int32_t x, y, width, height;
};

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

void prepareModuleList(rg_my_main_window::ListBox& list) {
    list.setColumnDefinition(CWString(kModuleColumns));
    list.setView(3);
    list.setGridLines(true);
    list.setFullRowSelect(true);
}

} // namespace

rg_my_main_window::rg_my_main_window() : configFile_(configFilePath()) {
    setDesignClientSize(800, 600);
    setCaption(CWString(kWindowCaption));
}

rg_my_main_window::~rg_my_main_window() {
    // No handler may run once the members start to go.
    teardown();
    releaseRowTables();
    // A download with its rows gone stops at its next piece of data; give it that
    // moment to remove its temporary file, answering what it still sends us. A
    // transfer that has stalled is not waited for: the process ends without it.
    const std::uint64_t until = platform::tickCount() + kWorkerStopWait;
    while (engine.isDownloading() && platform::tickCount() < until)
        platform::serviceNotices(10);
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
    bindEvents();
    createControls();
    releaseRowTables();
    rowTables_ = {new ListBoxRowTable(winModuleList), new ListBoxRowTable(androidModuleList),
                  new ListBoxRowTable(serverModuleList)};
}

void rg_my_main_window::bindEvents() {
    bindEvent(*this, containerCreated, &rg_my_main_window::onWindowCreated);
    for (Button* button : {&helpButton, &winUpdateButton, &winCheckButton, &winBrowseButton, &saveButton,
                           &serverBrowseButton, &androidBrowseButton, &serverUpdateButton, &serverCheckButton,
                           &androidUpdateButton, &androidCheckButton})
        bindEvent(*button, button->clicked, &rg_my_main_window::onButtonClicked);
}

void rg_my_main_window::createControls() {
    place(helpButton, *this, kNoPage, {101, 707, 560, 80, 32}, u"帮助");
    place(noticeLabel, *this, kNoPage, {102, 13, 561, 688, 32}, kNotice);
    noticeLabel.setThinBorder();
    moduleTabs.setCaptions(CWString(kTabCaptions));
    place(moduleTabs, *this, kNoPage, {103, 6, 6, 784, 552});

    // Page 0: the Windows modules.
    place(winFunctionGroup, moduleTabs, kPageWindows, {104, 10, 27, 762, 65}, u"功能");
    place(winForceUpdateCheck, winFunctionGroup, kNoPage, {105, 253, 29, 80, 24}, u"强制更新");
    place(winUpdateButton, winFunctionGroup, kNoPage, {106, 134, 19, 112, 40}, u"更新模块");
    place(winCheckButton, winFunctionGroup, kNoPage, {107, 14, 18, 112, 40}, u"检查更新");
    place(winInfoGroup, moduleTabs, kPageWindows, {108, 10, 96, 762, 448}, u"模块信息");
    prepareModuleList(winModuleList);
    place(winModuleList, winInfoGroup, kNoPage, {109, 6, 20, 750, 420});

    // Page 3: the configuration, one group per kind.
    place(winConfigGroup, moduleTabs, kPageConfiguration, {110, 12, 87, 760, 48}, u"视窗模块");
    place(winBrowseButton, winConfigGroup, kNoPage, {111, 670, 10, 71, 32}, u"选择");
    place(winFolderLabel, winConfigGroup, kNoPage, {112, 396, 14, 80, 24}, u"三方模块目录：");
    prepareEdit(winFolderEdit, 1);
    place(winFolderEdit, winConfigGroup, kNoPage, {113, 484, 11, 180, 32});
    place(winPasswordLabel, winConfigGroup, kNoPage, {114, 180, 15, 62, 24}, u"模块密码：");
    prepareEdit(winPasswordEdit, 2);
    place(winPasswordEdit, winConfigGroup, kNoPage, {115, 251, 12, 136, 32});
    place(winQqLabel, winConfigGroup, kNoPage, {116, 8, 15, 80, 24}, u"购买QQ号：");
    prepareEdit(winQqEdit, 0);
    place(winQqEdit, winConfigGroup, kNoPage, {117, 96, 12, 74, 32});
    place(saveButton, moduleTabs, kPageConfiguration, {118, 594, 270, 176, 48}, u"保存");

    place(serverConfigGroup, moduleTabs, kPageConfiguration, {119, 12, 207, 758, 48}, u"服务器模块");
    place(serverFolderLabel, serverConfigGroup, kNoPage, {120, 394, 15, 80, 24}, u"三方模块目录：");
    prepareEdit(serverFolderEdit, 1);
    place(serverFolderEdit, serverConfigGroup, kNoPage, {121, 482, 12, 180, 32});
    place(serverBrowseButton, serverConfigGroup, kNoPage, {122, 668, 11, 71, 32}, u"选择");
    place(serverPasswordLabel, serverConfigGroup, kNoPage, {123, 180, 15, 62, 24}, u"模块密码：");
    prepareEdit(serverPasswordEdit, 2);
    place(serverPasswordEdit, serverConfigGroup, kNoPage, {124, 251, 12, 136, 32});
    place(serverQqLabel, serverConfigGroup, kNoPage, {125, 8, 15, 80, 24}, u"购买QQ号：");
    prepareEdit(serverQqEdit, 0);
    place(serverQqEdit, serverConfigGroup, kNoPage, {126, 96, 12, 74, 32});

    place(androidConfigGroup, moduleTabs, kPageConfiguration, {127, 12, 145, 760, 48}, u"安卓模块");
    place(androidBrowseButton, androidConfigGroup, kNoPage, {128, 670, 10, 71, 32}, u"选择");
    place(androidFolderLabel, androidConfigGroup, kNoPage, {129, 396, 14, 80, 24}, u"三方模块目录：");
    prepareEdit(androidFolderEdit, 1);
    place(androidFolderEdit, androidConfigGroup, kNoPage, {130, 484, 11, 180, 32});
    place(androidPasswordLabel, androidConfigGroup, kNoPage, {131, 180, 15, 62, 24}, u"模块密码：");
    prepareEdit(androidPasswordEdit, 2);
    place(androidPasswordEdit, androidConfigGroup, kNoPage, {132, 251, 12, 136, 32});
    place(androidQqLabel, androidConfigGroup, kNoPage, {133, 8, 15, 80, 24}, u"购买QQ号：");
    prepareEdit(androidQqEdit, 0);
    place(androidQqEdit, androidConfigGroup, kNoPage, {134, 96, 12, 74, 32});

    prepareEdit(domainEdit, 0);
    place(domainEdit, moduleTabs, kPageConfiguration, {135, 104, 45, 304, 32});
    place(domainLabel, moduleTabs, kPageConfiguration, {136, 16, 48, 80, 24}, u"服务器域名：");

    // Page 2: the Server modules.
    place(serverFunctionGroup, moduleTabs, kPageServer, {137, 10, 27, 762, 65}, u"功能");
    place(serverForceUpdateCheck, serverFunctionGroup, kNoPage, {138, 253, 29, 80, 24}, u"强制更新");
    place(serverUpdateButton, serverFunctionGroup, kNoPage, {139, 134, 19, 112, 40}, u"更新模块");
    place(serverCheckButton, serverFunctionGroup, kNoPage, {140, 14, 18, 112, 40}, u"检查更新");
    place(serverInfoGroup, moduleTabs, kPageServer, {141, 10, 96, 762, 448}, u"模块信息");
    prepareModuleList(serverModuleList);
    place(serverModuleList, serverInfoGroup, kNoPage, {142, 6, 20, 750, 420});

    // Page 1: the Android modules; the list group comes first here.
    place(androidInfoGroup, moduleTabs, kPageAndroid, {143, 10, 96, 762, 448}, u"模块信息");
    prepareModuleList(androidModuleList);
    place(androidModuleList, androidInfoGroup, kNoPage, {144, 6, 20, 750, 420});
    place(androidFunctionGroup, moduleTabs, kPageAndroid, {145, 10, 27, 762, 65}, u"功能");
    place(androidForceUpdateCheck, androidFunctionGroup, kNoPage, {146, 253, 29, 80, 24}, u"强制更新");
    place(androidUpdateButton, androidFunctionGroup, kNoPage, {147, 134, 19, 112, 40}, u"更新模块");
    place(androidCheckButton, androidFunctionGroup, kNoPage, {148, 14, 18, 112, 40}, u"检查更新");
}

namespace {

// The member of a module kind's page among the three.
template <typename T>
T& ofKind(ModuleKind kind, T& windows, T& android, T& server) {
    switch (kind) {
    case ModuleKind::Windows:
        return windows;
    case ModuleKind::Android:
        return android;
    case ModuleKind::Server:
        break;
    }
    return server;
}

} // namespace

rg_my_main_window::CheckBox& rg_my_main_window::forceCheck(ModuleKind kind) {
    return ofKind(kind, winForceUpdateCheck, androidForceUpdateCheck, serverForceUpdateCheck);
}

ModuleRowTable* rg_my_main_window::rowTable(ModuleKind kind) {
    return ofKind(kind, rowTables_[0], rowTables_[1], rowTables_[2]);
}

} // namespace rg_quelt_app
