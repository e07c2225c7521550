// The main window and the help window under a real window system (Wine in the test
// runs), driven by their controls against the loopback module server.
#include "runtime/gui/MainWindow.h"
#include "WindowDriver.h"
#include "runtime/platform/PrivateProfile.h"
#include "tests/support/ModuleServer.h"
#include "tests/support/TempFolder.h"
#include "updater/ConfigStore.h"
#include "windows/JobStateText.h"
#include "windows/rg_my_main_window.h"
#include "windows/rg_win_BangZhu.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace rg_quelt_app;
using namespace window_driver;
namespace fs = std::filesystem;

namespace {

CWString textOf(const fs::path& path) { return CWString(path.u16string()); }
std::wstring wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
// A window text as UTF-8, for a failure's message.
std::string shown(const std::wstring& text) {
    return CWString(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()))
        .toUtf8String();
}
std::u16string cell(rg_my_main_window::ListBox& list, int row, int column) {
    return std::u16string(list.getCellText(row, column).view());
}

int rowOf(rg_my_main_window::ListBox& list, std::u16string_view name) {
    for (int row = 0; row < list.rowCount(); ++row)
        if (cell(list, row, kColumnName) == name)
            return row;
    return -1;
}

std::vector<int> childIds(HWND parent) {
    std::vector<int> ids;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child));
    return ids;
}

class MainWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (window) {
            pumpUntil([this] { return !window->engine.isDownloading(); });
            quelt_gui::setMainWindowHandle(0);
            window.reset();
        }
        pump();
    }

    static std::string tag() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

    // A configuration that points every kind at the loopback server (behind
    // `prefix`, one of its misbehaviours) and at this test's folders.
    rg_PeiZhiXinXiLei configured(const std::string& prefix = {}) {
        rg_PeiZhiXinXiLei config;
        config.domain = CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/" + prefix);
        config.windowsFolder = textOf(windowsFolder.path());
        config.androidFolder = textOf(androidFolder.path());
        config.serverFolder = textOf(serverFolder.path());
        config.windowsQq = u"10001";
        config.windowsPassword = u"secret";
        return config;
    }

    void open(const rg_PeiZhiXinXiLei* saved = nullptr) {
        if (saved) {
            ASSERT_TRUE(SaveConfig(*saved, configFile()));
        }
        window = std::make_unique<rg_my_main_window>();
        window->setConfigFile(configFile());
        CQueltCreationRecord record;
        ASSERT_TRUE(window->create(record));
        quelt_gui::setMainWindowHandle(window->window());
        pump();
    }

    CWString configFile() const { return textOf(config.path() / "setup.ini"); }
    HWND main() const { return hwndOf(*window); }

    // Clicks `button` and answers the message box it opens; what the box showed.
    SeenDialog clickExpectingMessage(const rg_quelt_WTLJieMian_base::CQueltWinControl& button) {
        DialogWatcher watcher;
        click(button);
        return watcher.join();
    }

    void selectPage(int page) { clickTab(hwndOf(window->moduleTabs), page); }

    rg_my_main_window::Button& checkButton(ModuleKind kind) {
        return kind == ModuleKind::Windows   ? window->winCheckButton
               : kind == ModuleKind::Android ? window->androidCheckButton
                                             : window->serverCheckButton;
    }

    // Clicks the page's "检查更新" and waits, as the user does, until its answer is in.
    void checkAndWait(ModuleKind kind) {
        click(checkButton(kind));
        ASSERT_TRUE(pumpUntil([&] { return !window->isChecking(kind); }));
        pump();
    }

    std::wstring stateLine(ModuleKind kind) {
        return windowText(hwndOf(kind == ModuleKind::Windows   ? window->winStateLabel
                                 : kind == ModuleKind::Android ? window->androidStateLabel
                                                               : window->serverStateLabel));
    }

    // Brings the window to the front and paints everything that is due.
    void paintNow() {
        SetForegroundWindow(main());
        RedrawWindow(main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pumpUntil([] { return false; }, std::chrono::milliseconds(300));
    }

    // A check of the Windows page against a list of `entries` made-up modules.
    void checkManyModules(int entries) {
        const rg_PeiZhiXinXiLei config = configured("_entries/" + std::to_string(entries) + "/");
        open(&config);
        checkAndWait(ModuleKind::Windows);
    }

    mireth_test::ModuleServer server;
    mireth_test::TempFolder config{"config"};
    mireth_test::TempFolder windowsFolder{"windows"};
    mireth_test::TempFolder androidFolder{"android"};
    mireth_test::TempFolder serverFolder{"server"};
    std::unique_ptr<rg_my_main_window> window;
};

TEST_F(MainWindowTest, TheWindowIsLaidOutAsDesigned) {
    open();
    RECT client{};
    GetClientRect(main(), &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    EXPECT_EQ(windowText(main()), wide(u"Mireth模块更新程序"));
    EXPECT_EQ(childIds(main()), (std::vector<int>{101, 102, 103}));

    HWND tabs = hwndOf(window->moduleTabs);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    // Creation order is child order; the Android page has its list group first.
    EXPECT_EQ(childIds(tabs),
              (std::vector<int>{104, 108, 110, 118, 119, 127, 135, 136, 152, 137, 141, 143, 145}));
    EXPECT_EQ(childIds(hwndOf(window->androidInfoGroup)), (std::vector<int>{144}));
    // Each page's state line is the last of its function group, right of the buttons.
    EXPECT_EQ(childIds(hwndOf(window->androidFunctionGroup)), (std::vector<int>{146, 147, 148, 165, 150}));
    EXPECT_EQ(childIds(hwndOf(window->winFunctionGroup)), (std::vector<int>{105, 106, 107, 164, 149}));
    EXPECT_EQ(childIds(hwndOf(window->serverFunctionGroup)), (std::vector<int>{138, 139, 140, 166, 151}));
    for (auto* page :
         {&window->winFunctionGroup, &window->androidFunctionGroup, &window->serverFunctionGroup}) {
        HWND line = GetWindow(hwndOf(*page), GW_CHILD);
        while (GetWindow(line, GW_HWNDNEXT))
            line = GetWindow(line, GW_HWNDNEXT);
        RECT inside{}, room{}, force{};
        GetWindowRect(line, &inside);
        GetClientRect(hwndOf(*page), &room);
        GetWindowRect(GetWindow(GetWindow(hwndOf(*page), GW_CHILD), GW_HWNDFIRST), &force);
        MapWindowPoints(nullptr, hwndOf(*page), reinterpret_cast<POINT*>(&inside), 2);
        MapWindowPoints(nullptr, hwndOf(*page), reinterpret_cast<POINT*>(&force), 2);
        EXPECT_GE(inside.left, force.right) << "over the check box";
        EXPECT_LE(inside.right, room.right - 4) << "over the frame";
        EXPECT_LE(inside.bottom, room.bottom - 4) << "over the frame";
    }
    EXPECT_EQ(childIds(hwndOf(window->winConfigGroup)),
              (std::vector<int>{111, 112, 113, 114, 115, 116, 117}));
    EXPECT_EQ(childIds(hwndOf(window->serverConfigGroup)),
              (std::vector<int>{120, 121, 122, 123, 124, 125, 126}));
    EXPECT_EQ(windowText(GetDlgItem(hwndOf(window->androidFunctionGroup), 148)), wide(u"检查更新"));

    RECT group{};
    GetWindowRect(hwndOf(window->androidFunctionGroup), &group);
    MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&group), 2);
    EXPECT_EQ(group.left, 10);
    EXPECT_EQ(group.top, 27);
    EXPECT_EQ(group.right - group.left, 762);
    EXPECT_EQ(group.bottom - group.top, 65);

    for (rg_my_main_window::ListBox* list :
         {&window->winModuleList, &window->androidModuleList, &window->serverModuleList}) {
        std::vector<int> widths;
        for (int column = 0;; ++column) {
            const LRESULT width = SendMessageW(hwndOf(*list), LVM_GETCOLUMNWIDTH, column, 0);
            if (width <= 0)
                break;
            widths.push_back(static_cast<int>(width));
        }
        EXPECT_EQ(widths, (std::vector<int>{50, 70, 200, 200, 100, 70}));
        EXPECT_EQ(GetWindowLongPtrW(hwndOf(*list), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
        const LRESULT extended = SendMessageW(hwndOf(*list), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
        EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    }

    // The folders are filled only by the chooser, the passwords never show.
    for (auto* edit : {&window->winFolderEdit, &window->androidFolderEdit, &window->serverFolderEdit}) {
        EXPECT_TRUE(GetWindowLongPtrW(hwndOf(*edit), GWL_STYLE) & ES_READONLY);
        SetFocus(hwndOf(*edit));
        SendMessageW(hwndOf(*edit), WM_CHAR, 'x', 0);
        EXPECT_EQ(windowText(hwndOf(*edit)), L"");
    }
    for (auto* edit : {&window->winPasswordEdit, &window->androidPasswordEdit, &window->serverPasswordEdit})
        EXPECT_NE(SendMessageW(hwndOf(*edit), EM_GETPASSWORDCHAR, 0, 0), 0);
    // Every edit box shows where it is.
    for (auto* edit :
         {&window->domainEdit, &window->winQqEdit, &window->winPasswordEdit, &window->winFolderEdit,
          &window->androidQqEdit, &window->androidPasswordEdit, &window->androidFolderEdit,
          &window->serverQqEdit, &window->serverPasswordEdit, &window->serverFolderEdit})
        EXPECT_TRUE(GetWindowLongPtrW(hwndOf(*edit), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(MainWindowTest, OnlyTheSelectedPageShows) {
    open();
    EXPECT_TRUE(IsWindowVisible(hwndOf(window->winModuleList)));
    EXPECT_FALSE(IsWindowVisible(hwndOf(window->androidModuleList)));
    selectPage(1);
    EXPECT_EQ(SendMessageW(hwndOf(window->moduleTabs), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(IsWindowVisible(hwndOf(window->androidModuleList)));
    EXPECT_TRUE(IsWindowVisible(hwndOf(window->androidCheckButton)));
    EXPECT_FALSE(IsWindowVisible(hwndOf(window->winModuleList)));
    EXPECT_FALSE(IsWindowVisible(hwndOf(window->saveButton)));
    selectPage(3);
    EXPECT_TRUE(IsWindowVisible(hwndOf(window->domainEdit)));
    EXPECT_TRUE(IsWindowVisible(hwndOf(window->serverBrowseButton)));
    EXPECT_FALSE(IsWindowVisible(hwndOf(window->androidModuleList)));
    EXPECT_TRUE(IsWindowVisible(hwndOf(window->helpButton)));
}

TEST_F(MainWindowTest, ACheckWithoutConfigurationAsksForItFirst) {
    open();
    const SeenDialog seen = clickExpectingMessage(window->winCheckButton);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, wide(u"信息:"));
    EXPECT_EQ(seen.text, wide(u"请先在配置界面进行各参数的配置"));
    EXPECT_EQ(seen.owner, main());

    // A domain alone is not enough, and a folder typed but not saved does not count.
    rg_PeiZhiXinXiLei domainOnly;
    domainOnly.domain = CWString::fromUtf8(server.httpBase());
    window.reset();
    open(&domainOnly);
    window->androidFolderEdit.setCaption(textOf(androidFolder.path()));
    selectPage(1);
    EXPECT_EQ(clickExpectingMessage(window->androidCheckButton).text,
              wide(u"请先在配置界面进行各参数的配置"));
    EXPECT_TRUE(server.recordedRequests(tag()).empty());
}

TEST_F(MainWindowTest, AnUpdateBeforeAnyCheckAsksForACheck) {
    const rg_PeiZhiXinXiLei config = configured();
    open(&config);
    selectPage(2);
    const SeenDialog seen = clickExpectingMessage(window->serverUpdateButton);
    EXPECT_EQ(seen.caption, wide(u"信息:"));
    EXPECT_EQ(seen.text, wide(u"请先检查更新！"));
    EXPECT_FALSE(window->engine.isDownloading());
}

TEST_F(MainWindowTest, ACancelledFolderChooserLeavesTheFolderAsItWas) {
    const rg_PeiZhiXinXiLei config = configured();
    open(&config);
    selectPage(3);
    bool promptShown = false;
    DialogWatcher chooser([&](HWND dialog, SeenDialog&) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            promptShown =
                promptShown ||
                windowText(child) == wide(u"如：D:\\queltdev\\plugins\\queltprj_android\\classlib\\user");
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    click(window->androidBrowseButton);
    const SeenDialog& seen = chooser.join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.owner, main());
    EXPECT_TRUE(promptShown);
    EXPECT_EQ(window->androidFolderEdit.getCaption().view(), config.androidFolder.view());
}

TEST_F(MainWindowTest, TheConfigurationPageShowsAndSavesSetupIni) {
    const rg_PeiZhiXinXiLei before = configured();
    open(&before);
    EXPECT_EQ(window->domainEdit.getCaption().view(), before.domain.view());
    EXPECT_EQ(window->winFolderEdit.getCaption().view(), before.windowsFolder.view());
    EXPECT_EQ(window->winPasswordEdit.getCaption().view(), u"secret");

    selectPage(3);
    window->domainEdit.setCaption(CWString(u"http://modules.example/"));
    window->androidQqEdit.setCaption(CWString(u"20002"));
    window->serverPasswordEdit.setCaption(CWString(u"p&w=1"));
    window->winQqEdit.setCaption(CWString());
    const SeenDialog seen = clickExpectingMessage(window->saveButton);
    EXPECT_EQ(seen.caption, wide(u"信息:"));
    EXPECT_EQ(seen.text, wide(u"保存成功！"));

    const rg_PeiZhiXinXiLei saved = LoadConfig(configFile());
    EXPECT_EQ(saved.domain.view(), u"http://modules.example/");
    EXPECT_EQ(saved.androidQq.view(), u"20002");
    EXPECT_EQ(saved.serverPassword.view(), u"p&w=1");
    EXPECT_EQ(saved.windowsQq.view(), u"");
    EXPECT_EQ(saved.windowsFolder.view(), before.windowsFolder.view());
    EXPECT_EQ(globalConfig.domain.view(), u"http://modules.example/");
}

TEST_F(MainWindowTest, ACheckFillsTheListAndMarksWhatIsMissingOrOlder) {
    mireth_test::writeFile(windowsFolder.path() / "binary.bin", "a newer local copy");
    const rg_PeiZhiXinXiLei config = configured();
    open(&config);
    checkAndWait(ModuleKind::Windows);
    rg_my_main_window::ListBox& list = window->winModuleList;
    ASSERT_GE(list.rowCount(), 9);
    EXPECT_EQ(cell(list, 0, kColumnOrdinal), u"1");
    const int a = rowOf(list, u"a.ext");
    ASSERT_GE(a, 0);
    EXPECT_EQ(cell(list, a, kColumnMode), u"下载");
    EXPECT_EQ(cell(list, a, kColumnSize), u"1024");
    EXPECT_EQ(cell(list, rowOf(list, u"binary.bin"), kColumnMode), u"");
    EXPECT_EQ(cell(list, rowOf(list, u"界面库.ext"), kColumnMode), u"下载");

    // A second check refills rather than appends; the other pages stay empty.
    const int rows = list.rowCount();
    checkAndWait(ModuleKind::Windows);
    EXPECT_EQ(list.rowCount(), rows);
    EXPECT_EQ(window->androidModuleList.rowCount(), 0);
    const auto requests = server.recordedRequests(tag());
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].path.substr(requests[0].path.size() - 10), "api/w/list");
    EXPECT_EQ(requests[0].body, "qq=10001&pwd=secret");
}

TEST_F(MainWindowTest, AnUpdateWritesOutcomesWhileTheWindowStaysResponsive) {
    // 300000 bytes at 100000 per second: the big module takes three seconds.
    const rg_PeiZhiXinXiLei config = configured("_slow/100000/");
    open(&config);
    checkAndWait(ModuleKind::Windows);
    rg_my_main_window::ListBox& list = window->winModuleList;
    ASSERT_GE(list.rowCount(), 9);

    click(window->winUpdateButton);
    EXPECT_TRUE(window->engine.isDownloading()) << "the click waited for the downloads";
    std::atomic<bool> answered{false};
    std::thread probe([&] {
        DWORD_PTR ignored = 0;
        answered = SendMessageTimeoutW(main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
    });
    const int big = rowOf(list, u"big.bin");
    const bool progressShown =
        pumpUntil([&] { return cell(list, big, kColumnMode).rfind(u"下载中", 0) == 0; });
    probe.join();
    EXPECT_TRUE(answered);
    EXPECT_TRUE(progressShown) << "no row showed the progress of its download";
    // The state line follows the job without a box: files, failures, bytes, rate.
    EXPECT_TRUE(pumpUntil([&] { return stateLine(ModuleKind::Windows).rfind(L"正在更新：已完成 ", 0) == 0; }))
        << shown(stateLine(ModuleKind::Windows));
    EXPECT_NE(stateLine(ModuleKind::Windows).find(L"/秒"), std::wstring::npos);
    paintNow();
    fs::create_directories("screenshots");
    EXPECT_TRUE(saveWindowImage(main(), L"screenshots/page0-during-a-job.bmp"));
    ASSERT_TRUE(pumpUntil([this] { return !window->engine.isDownloading(); }));
    pump();
    // It tells the counts per outcome once the job is over, until the next check:
    // those the rows show.
    int succeeded = 0, failed = 0;
    for (int row = 0; row < list.rowCount(); ++row) {
        succeeded += cell(list, row, kColumnMode) == u"成功";
        failed += cell(list, row, kColumnMode) == u"下载失败";
    }
    EXPECT_EQ(succeeded + failed, list.rowCount());
    const std::wstring done = L"更新完成：成功 " + std::to_wstring(succeeded) + L" 个，下载失败 " +
                              std::to_wstring(failed) + L" 个，保存失败 0 个；";
    EXPECT_TRUE(pumpUntil([&] { return stateLine(ModuleKind::Windows).rfind(done, 0) == 0; },
                          std::chrono::seconds(5)))
        << shown(stateLine(ModuleKind::Windows));

    EXPECT_EQ(cell(list, rowOf(list, u"a.ext"), kColumnMode), u"成功");
    EXPECT_EQ(cell(list, big, kColumnMode), u"成功");
    EXPECT_EQ(cell(list, rowOf(list, u"z.ext"), kColumnMode), u"成功");
    EXPECT_EQ(mireth_test::readFile(windowsFolder.path() / "deep" / "x" / "y" / "z.ext"), "deep module\n");
    EXPECT_EQ(fs::file_size(windowsFolder.path() / "big.bin"), 300000u);
    checkAndWait(ModuleKind::Windows);
    EXPECT_EQ(stateLine(ModuleKind::Windows), L"");
    EXPECT_EQ(window->jobTracker(ModuleKind::Windows), nullptr);
}

TEST_F(MainWindowTest, ForcedUpdateMarksEveryRowBeforeTheJobStarts) {
    mireth_test::writeFile(windowsFolder.path() / "binary.bin", "a newer local copy");
    // Every answer waits two seconds, so the rows can be read before any outcome.
    const rg_PeiZhiXinXiLei config = configured("_stallbefore/2/");
    open(&config);
    checkAndWait(ModuleKind::Windows);
    rg_my_main_window::ListBox& list = window->winModuleList;
    ASSERT_GE(list.rowCount(), 9);
    ASSERT_EQ(cell(list, rowOf(list, u"binary.bin"), kColumnMode), u"");

    click(window->winForceUpdateCheck);
    ASSERT_TRUE(window->winForceUpdateCheck.isChecked());
    click(window->winUpdateButton);
    for (int row = 0; row < list.rowCount(); ++row)
        EXPECT_EQ(cell(list, row, kColumnMode), u"下载") << "row " << row;
    ASSERT_TRUE(pumpUntil([this] { return !window->engine.isDownloading(); }, std::chrono::minutes(2)));
    pump();
    EXPECT_EQ(cell(list, rowOf(list, u"binary.bin"), kColumnMode), u"成功");
    EXPECT_EQ(fs::file_size(windowsFolder.path() / "binary.bin"), 256u);
}

TEST_F(MainWindowTest, AnUpdateOnAnotherPageWaitsForTheRunningJobThenRunsAndAWaitCanBeCalledOff) {
    // The Server module is here and newer: only "强制更新" fetches it, and only once
    // its turn has come does its row read "下载".
    mireth_test::writeFile(serverFolder.path() / "server" / "svc.ext", "newer");
    const rg_PeiZhiXinXiLei config = configured("_slow/100000/");
    open(&config);
    checkAndWait(ModuleKind::Windows);
    click(window->winUpdateButton);
    ASSERT_TRUE(window->isUpdating(ModuleKind::Windows));

    selectPage(2);
    checkAndWait(ModuleKind::Server);
    rg_my_main_window::ListBox& list = window->serverModuleList;
    ASSERT_EQ(list.rowCount(), 1);
    ASSERT_EQ(cell(list, 0, kColumnMode), u"");
    click(window->serverForceUpdateCheck);
    DialogWatcher none({}, L"#32770", std::chrono::milliseconds(1000));
    click(window->serverUpdateButton);
    EXPECT_FALSE(none.join().found) << "a message appeared";
    ASSERT_TRUE(window->isWaiting(ModuleKind::Server)) << "the Windows job ended too soon for this test";
    EXPECT_EQ(stateLine(ModuleKind::Server), wide(kStateWaiting));
    EXPECT_EQ(windowText(hwndOf(window->serverUpdateButton)), L"停止更新");
    EXPECT_EQ(cell(list, 0, kColumnMode), u"");
    paintNow();
    fs::create_directories("screenshots");
    EXPECT_TRUE(saveWindowImage(main(), L"screenshots/page2-waiting.bmp"));

    // A wait called off by its own button starts nothing.
    selectPage(1);
    checkAndWait(ModuleKind::Android);
    click(window->androidUpdateButton);
    ASSERT_TRUE(window->isWaiting(ModuleKind::Android));
    click(window->androidUpdateButton);
    EXPECT_FALSE(window->isWaiting(ModuleKind::Android));
    EXPECT_EQ(stateLine(ModuleKind::Android), L"");
    EXPECT_EQ(windowText(hwndOf(window->androidUpdateButton)), L"更新模块");

    // Its turn comes once the Windows job has ended.
    ASSERT_TRUE(
        pumpUntil([this] { return !window->isWaiting(ModuleKind::Server); }, std::chrono::minutes(2)));
    EXPECT_TRUE(window->jobTracker(ModuleKind::Windows)->figures().finished);
    ASSERT_TRUE(pumpUntil([this] { return !window->engine.isDownloading(); }, std::chrono::minutes(2)));
    EXPECT_TRUE(pumpUntil([&] { return stateLine(ModuleKind::Server).rfind(L"更新完成：成功 1 个", 0) == 0; },
                          std::chrono::seconds(5)))
        << shown(stateLine(ModuleKind::Server));
    EXPECT_EQ(cell(list, 0, kColumnMode), u"成功");
    EXPECT_EQ(mireth_test::readFile(serverFolder.path() / "server" / "svc.ext"), "server module\n");
    EXPECT_EQ(windowText(hwndOf(window->serverUpdateButton)), L"更新模块");
    double windowsEnded = 0, serverStarted = 1e300;
    for (const auto& request : server.recordedRequests(tag())) {
        EXPECT_EQ(request.formField("type") == "a" && !request.formField("file").empty(), false);
        if (request.formField("type") == "w" && !request.formField("file").empty())
            windowsEnded = std::max(windowsEnded, request.answered);
        if (request.formField("type") == "s" && !request.formField("file").empty())
            serverStarted = std::min(serverStarted, request.arrived);
    }
    // The slow server records an answer's end after one more pause of its trickle
    // (a tenth of a second), when the client has all of it already.
    EXPECT_LE(windowsEnded - 0.15, serverStarted) << std::fixed << windowsEnded << " " << serverStarted;
}

TEST_F(MainWindowTest, StopUpdateEndsASlowJobKeepingWhatWasSaved) {
    // An old copy, so that big.bin is marked and a stop must leave it as it is.
    const fs::path old = windowsFolder.path() / "big.bin";
    mireth_test::writeFile(old, "the old module");
    fs::last_write_time(old, fs::last_write_time(old) - std::chrono::hours(24 * 365 * 10));
    const rg_PeiZhiXinXiLei config = configured("_slow/100000/");
    open(&config);
    checkAndWait(ModuleKind::Windows);
    rg_my_main_window::ListBox& list = window->winModuleList;
    const int a = rowOf(list, u"a.ext"), big = rowOf(list, u"big.bin");
    ASSERT_EQ(cell(list, big, kColumnMode), u"下载");
    EXPECT_EQ(windowText(hwndOf(window->winUpdateButton)), L"更新模块");
    click(window->winUpdateButton);
    ASSERT_TRUE(window->isUpdating(ModuleKind::Windows));
    EXPECT_EQ(windowText(hwndOf(window->winUpdateButton)), L"停止更新");
    ASSERT_TRUE(pumpUntil([&] {
        return cell(list, a, kColumnMode) == u"成功" && cell(list, big, kColumnMode).rfind(u"下载中", 0) == 0;
    }));

    const auto pressed = std::chrono::steady_clock::now();
    click(window->winUpdateButton);
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, std::chrono::milliseconds(500))
        << "the click waited";
    ASSERT_TRUE(pumpUntil([this] { return !window->engine.isDownloading(); }, std::chrono::seconds(5)));
    EXPECT_LT(std::chrono::steady_clock::now() - pressed, std::chrono::seconds(2));
    EXPECT_TRUE(pumpUntil([&] { return stateLine(ModuleKind::Windows).rfind(L"更新已中止：", 0) == 0; },
                          std::chrono::seconds(5)))
        << shown(stateLine(ModuleKind::Windows));
    EXPECT_NE(stateLine(ModuleKind::Windows).find(L"未完成 "), std::wstring::npos);
    EXPECT_EQ(windowText(hwndOf(window->winUpdateButton)), L"更新模块");
    EXPECT_EQ(cell(list, a, kColumnMode), u"成功");
    EXPECT_EQ(cell(list, big, kColumnMode), u"下载");
    for (int row = 0; row < list.rowCount(); ++row)
        EXPECT_EQ(cell(list, row, kColumnMode).rfind(u"下载中", 0), std::u16string::npos) << row;
    EXPECT_EQ(mireth_test::readFile(windowsFolder.path() / "big.bin"), "the old module");
    for (const auto& entry : fs::recursive_directory_iterator(windowsFolder.path()))
        EXPECT_EQ(entry.path().filename().u16string().find(u".part"), std::u16string::npos)
            << entry.path().string();
    paintNow();
    fs::create_directories("screenshots");
    EXPECT_TRUE(saveWindowImage(main(), L"screenshots/page0-stopped-job.bmp"));

    // The next press fetches what still reads "下载".
    click(window->winUpdateButton);
    ASSERT_TRUE(pumpUntil([this] { return !window->engine.isDownloading(); }, std::chrono::minutes(2)));
    EXPECT_EQ(fs::file_size(windowsFolder.path() / "big.bin"), 300000u);
}

TEST_F(MainWindowTest, HelpIsModalShowsTheNotesAndEscClosesIt) {
    open();
    struct Seen {
        bool mainEnabled = true;
        std::wstring text;
        LONG_PTR style = 0;
        LONG_PTR exStyle = 0;
    } seen;
    DialogWatcher watcher(
        [&](HWND help, SeenDialog&) {
            seen.mainEnabled = IsWindowEnabled(main()) != FALSE;
            seen.text = windowText(GetDlgItem(help, 101));
            seen.style = GetWindowLongPtrW(help, GWL_STYLE);
            seen.exStyle = GetWindowLongPtrW(help, GWL_EXSTYLE);
            HWND text = GetDlgItem(help, 101);
            PostMessageW(text, WM_KEYDOWN, VK_ESCAPE, 0);
        },
        L"Quelt_CVWnd_WinForm", std::chrono::milliseconds(15000), main());
    click(window->helpButton);
    const SeenDialog& dialog = watcher.join();
    ASSERT_TRUE(dialog.found);
    EXPECT_EQ(dialog.caption, wide(u"帮助"));
    EXPECT_EQ(dialog.owner, main());
    EXPECT_FALSE(seen.mainEnabled);
    // The notes, and where the history is kept.
    const CWString shownHelp = rg_win_BangZhu::helpText(window->engine.transferSettings().historyLog);
    EXPECT_NE(window->engine.transferSettings().historyLog.view().find(u"更新记录.log"),
              std::u16string::npos);
    EXPECT_EQ(seen.text, wide(shownHelp.text()));
    // The system adds clip-siblings to every top-level window.
    EXPECT_EQ(static_cast<DWORD>(seen.style) & ~(WS_DISABLED | WS_CLIPSIBLINGS), 0x92C80000u);
    EXPECT_TRUE(seen.exStyle & WS_EX_DLGMODALFRAME);
    // Closed by Esc: the main window takes input again.
    EXPECT_EQ(processWindows(L"Quelt_CVWnd_WinForm"), std::vector<HWND>{main()});
    EXPECT_TRUE(IsWindowEnabled(main()));

    // A second opening is a fresh window with the same notes.
    std::wstring again;
    DialogWatcher second(
        [&](HWND help, SeenDialog&) {
            again = windowText(GetDlgItem(help, 101));
            PostMessageW(help, WM_CLOSE, 0, 0);
        },
        L"Quelt_CVWnd_WinForm", std::chrono::milliseconds(15000), main());
    click(window->helpButton);
    EXPECT_TRUE(second.join().found);
    EXPECT_EQ(again, wide(shownHelp.text()));
}

TEST_F(MainWindowTest, UndoLastUpdateAsksWithTheJobAndPutsItsFilesBackWithTheirOldTimes) {
    // One module is here and older: the update replaces it; the others it adds.
    const fs::path old = windowsFolder.path() / "binary.bin";
    mireth_test::writeFile(old, "an older local copy");
    const auto oldTime = fs::last_write_time(old) - std::chrono::hours(24 * 365 * 10);
    fs::last_write_time(old, oldTime);
    const rg_PeiZhiXinXiLei config = configured();
    open(&config);
    rg_my_main_window::Button& undo = window->winUndoButton;
    EXPECT_EQ(windowText(hwndOf(undo)), L"撤销上次更新");
    EXPECT_FALSE(IsWindowEnabled(hwndOf(undo))) << "enabled without a job to undo";
    // Right of the state line, inside the group.
    RECT line{}, button{}, room{};
    GetWindowRect(hwndOf(window->winStateLabel), &line);
    GetWindowRect(hwndOf(undo), &button);
    GetWindowRect(hwndOf(window->winFunctionGroup), &room);
    EXPECT_GE(button.left, line.right);
    EXPECT_LE(button.right, room.right - 4);

    checkAndWait(ModuleKind::Windows);
    rg_my_main_window::ListBox& list = window->winModuleList;
    const int binary = rowOf(list, u"binary.bin"), a = rowOf(list, u"a.ext");
    ASSERT_EQ(cell(list, binary, kColumnMode), u"下载");
    click(window->winUpdateButton);
    ASSERT_TRUE(pumpUntil([this] { return !window->engine.isDownloading(); }));
    ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(hwndOf(undo)) != FALSE; }, std::chrono::seconds(5)))
        << "no job to undo after the update";
    ASSERT_EQ(cell(list, binary, kColumnMode), u"成功");
    ASSERT_EQ(cell(list, a, kColumnMode), u"成功");
    const std::string updated = mireth_test::readFile(old);
    std::vector<fs::path> added;
    for (int row = 0; row < list.rowCount(); ++row)
        if (row != binary && cell(list, row, kColumnMode) == u"成功")
            added.push_back(windowsFolder.path() / fs::path(cell(list, row, kColumnPath)));
    const std::wstring counts = L"替换 1 个文件，新增 " + std::to_wstring(added.size()) + L" 个文件";

    // "否" changes nothing; the question names the kind, the job's time and counts.
    for (const int answer : {IDNO, IDYES}) {
        bool pictured = false;
        DialogWatcher watcher([&](HWND dialog, SeenDialog&) {
            if (answer == IDNO) {
                fs::create_directories("screenshots");
                pictured = saveWindowImage(dialog, L"screenshots/page0-undo-question.bmp");
            }
            PostMessageW(dialog, WM_COMMAND, answer, 0);
        });
        click(undo);
        const SeenDialog& seen = watcher.join();
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.caption, wide(u"信息:"));
        EXPECT_EQ(seen.owner, main());
        EXPECT_EQ(seen.text.rfind(L"撤销上次更新？", 0), 0u) << shown(seen.text);
        EXPECT_NE(seen.text.find(L"视窗模块 20"), std::wstring::npos) << shown(seen.text);
        EXPECT_NE(seen.text.find(L" 的更新：" + counts), std::wstring::npos) << shown(seen.text);
        const std::size_t at = seen.text.find(L" 的更新：");
        ASSERT_NE(at, std::wstring::npos);
        const std::wstring when = seen.text.substr(at - 19, 19); // "2026-12-09 01:30:05"
        EXPECT_TRUE(when[4] == L'-' && when[7] == L'-' && when[10] == L' ' && when[13] == L':' &&
                    when[16] == L':')
            << shown(when);
        if (answer == IDNO) {
            EXPECT_TRUE(pictured);
            pump();
            EXPECT_FALSE(window->isRollingBack(ModuleKind::Windows));
            EXPECT_EQ(mireth_test::readFile(old), updated);
            EXPECT_TRUE(IsWindowEnabled(hwndOf(undo)));
        }
    }
    // "是": a job of its own; then the files are back, the added ones gone, and the
    // rows say so.
    ASSERT_TRUE(
        pumpUntil([this] { return !window->isRollingBack(ModuleKind::Windows); }, std::chrono::seconds(30)));
    EXPECT_TRUE(pumpUntil([&] { return stateLine(ModuleKind::Windows).rfind(L"撤销完成：", 0) == 0; },
                          std::chrono::seconds(5)))
        << shown(stateLine(ModuleKind::Windows));
    EXPECT_EQ(stateLine(ModuleKind::Windows)
                  .rfind(L"撤销完成：还原 1 个文件，删除 " + std::to_wstring(added.size()), 0),
              0u)
        << shown(stateLine(ModuleKind::Windows));
    EXPECT_EQ(mireth_test::readFile(old), "an older local copy");
    EXPECT_LT(std::chrono::abs(fs::last_write_time(old) - oldTime), std::chrono::seconds(2));
    for (const fs::path& file : added)
        EXPECT_FALSE(fs::exists(file)) << file.string();
    EXPECT_EQ(cell(list, binary, kColumnMode), u"下载");
    EXPECT_EQ(cell(list, a, kColumnMode), u"下载");
    EXPECT_FALSE(IsWindowEnabled(hwndOf(undo))) << "the one job was undone";
    paintNow();
    fs::create_directories("screenshots");
    EXPECT_TRUE(saveWindowImage(main(), L"screenshots/page0-after-undo.bmp"));
}

// What a keyboard press of Tab (with Shift and Ctrl as given) does to the focus.
int pressTab(bool shift = false, bool ctrl = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    pump();
    keys[VK_SHIFT] = keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    return GetDlgCtrlID(GetFocus());
}

TEST_F(MainWindowTest, APageChangeTakesTheFocusToItsFirstControlAndTabGoesThroughItsControlsInOrder) {
    open();
    SetForegroundWindow(main());
    struct Page {
        int index;
        std::vector<int> tabOrder; // from the control that gets the focus, round to it again
    };
    const Page pages[] = {
        {2, {138, 139, 140, 142, 101}},
        {1, {144, 146, 147, 148, 101}}, // the list group comes first on the Android page
        {3, {111, 113, 115, 117, 118, 121, 122, 124, 126, 128, 130, 132,
             134, 135, 154, 156, 168, 159, 162, 163, 157, 170, 171, 101}},
        {0, {105, 106, 107, 109, 101}},
    };
    for (const Page& page : pages) {
        selectPage(page.index);
        ASSERT_EQ(GetDlgCtrlID(GetFocus()), page.tabOrder.front()) << "page " << page.index;
        std::vector<int> forward, backward;
        for (std::size_t i = 0; i < page.tabOrder.size(); ++i)
            forward.push_back(pressTab());
        for (std::size_t i = 0; i < page.tabOrder.size(); ++i)
            backward.insert(backward.begin(), pressTab(true));
        std::vector<int> expected(page.tabOrder.begin() + 1, page.tabOrder.end());
        expected.push_back(page.tabOrder.front());
        EXPECT_EQ(forward, expected) << "page " << page.index;
        EXPECT_EQ(backward, page.tabOrder) << "page " << page.index;
    }

    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages from the keyboard, the focus going
    // along, also from outside the tabs.
    HWND tabs = hwndOf(window->moduleTabs);
    EXPECT_EQ(pressTab(false, true), 144);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
    SetFocus(hwndOf(window->helpButton));
    EXPECT_EQ(pressTab(true, true), 105);
    EXPECT_EQ(pressTab(true, true), 111);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 3);
    EXPECT_TRUE(IsWindowVisible(hwndOf(window->saveButton)));
}

TEST_F(MainWindowTest, ASaveThatCannotWriteSetupIniSaysSoAndWhyAndLeavesTheFileAsItWas) {
    const rg_PeiZhiXinXiLei before = configured();
    struct Case {
        const char* what;
        bool readOnlyFile; // else the file's folder is missing
    };
    for (const Case& c : {Case{"read-only setup.ini", true}, Case{"missing folder", false}}) {
        SCOPED_TRACE(c.what);
        quelt_gui::setMainWindowHandle(0);
        window.reset();
        const fs::path folder = c.readOnlyFile ? config.path() : config.path() / "gone";
        const CWString file = textOf(folder / "setup.ini");
        std::string old;
        if (c.readOnlyFile) {
            ASSERT_TRUE(SaveConfig(before, file));
            ASSERT_TRUE(
                SetFileAttributesW(reinterpret_cast<const wchar_t*>(file.text()), FILE_ATTRIBUTE_READONLY));
            old = mireth_test::readFile(folder / "setup.ini");
        }
        window = std::make_unique<rg_my_main_window>();
        window->setConfigFile(file);
        CQueltCreationRecord record;
        ASSERT_TRUE(window->create(record));
        quelt_gui::setMainWindowHandle(window->window());
        selectPage(3);
        window->domainEdit.setCaption(CWString(u"http://changed.example/"));

        bool pictured = !c.readOnlyFile;
        DialogWatcher watcher([&](HWND dialog, SeenDialog&) {
            if (c.readOnlyFile) {
                fs::create_directories("screenshots");
                pictured = saveWindowImage(dialog, L"screenshots/save-failed.bmp");
            }
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        click(window->saveButton);
        const SeenDialog& seen = watcher.join();
        EXPECT_TRUE(seen.found);
        EXPECT_TRUE(pictured);
        EXPECT_EQ(seen.caption, wide(u"信息:"));
        EXPECT_EQ(seen.text.rfind(wide(u"保存失败！\n无法写入 ") + wide(file.text()) + wide(u"："), 0), 0u)
            << std::string(seen.text.begin(), seen.text.end());
        // The system's reason follows the colon.
        EXPECT_GT(seen.text.size(), wide(u"保存失败！\n无法写入 ").size() + file.length() + 1);
        if (c.readOnlyFile) {
            EXPECT_EQ(mireth_test::readFile(folder / "setup.ini"), old);
            SetFileAttributesW(reinterpret_cast<const wchar_t*>(file.text()), FILE_ATTRIBUTE_NORMAL);
        } else {
            EXPECT_FALSE(fs::exists(folder));
        }
    }
}

// The ink (dark pixels) the screen shows in `area` of `window`'s client area.
int inkIn(HWND window, RECT area) {
    HDC dc = GetDC(window);
    int ink = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (c != CLR_INVALID && GetRValue(c) < 0x80 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80)
                ++ink;
        }
    ReleaseDC(window, dc);
    return ink;
}

RECT cellRect(HWND list, int row, int column) {
    RECT r{};
    r.top = column;
    r.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return r;
}

TEST_F(MainWindowTest, ACheckOfTwentyThousandModulesFillsThePageAndPaintsItsFirstRows) {
    checkManyModules(20000);
    rg_my_main_window::ListBox& list = window->winModuleList;
    ASSERT_EQ(list.rowCount(), 20000);
    EXPECT_EQ(window->rowTable(ModuleKind::Windows)->rowCount(), 20000u);
    const std::u16string first[] = {u"1", u"下载", u"m0.ext", u"lib0\\m0.ext", u"2024-01-31 08:05:00", u"1"};
    const std::u16string last[] = {
        u"20000", u"下载", u"m19999.ext", u"lib49\\m19999.ext", u"2024-01-31 08:05:00", u"20000"};
    for (int column = 0; column < kColumnCount; ++column) {
        EXPECT_EQ(cell(list, 0, column), first[column]) << column;
        EXPECT_EQ(cell(list, 19999, column), last[column]) << column;
    }

    paintNow();
    const HWND view = hwndOf(list);
    EXPECT_FALSE(GetUpdateRect(view, nullptr, FALSE)) << "rows were left unpainted";
    EXPECT_EQ(SendMessageW(view, LVM_GETTOPINDEX, 0, 0), 0);
    const int perPage = static_cast<int>(SendMessageW(view, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(perPage, 10);
    fs::create_directories("screenshots");
    EXPECT_TRUE(saveWindowImage(main(), L"screenshots/page0-20000-modules.bmp"));
    // Every row in view shows its file's name; an empty list shows no ink there.
    for (int row = 0; row < perPage; ++row)
        EXPECT_GT(inkIn(view, cellRect(view, row, kColumnName)), 0) << "row " << row;
    const RECT firstName = cellRect(view, 0, kColumnName);
    selectPage(2);
    paintNow();
    EXPECT_EQ(inkIn(hwndOf(window->serverModuleList), firstName), 0);
}

TEST_F(MainWindowTest, OutcomesWrittenFromAnotherThreadReachTheirRowsWhileTheListScrolls) {
    checkManyModules(20000);
    rg_my_main_window::ListBox& list = window->winModuleList;
    ModuleRowTable& rows = *window->rowTable(ModuleKind::Windows);
    ASSERT_EQ(rows.rowCount(), 20000u);
    paintNow();

    // Row k: "成功" or "下载失败" by k % 3, with a progress line first; every third
    // row's outcome names another file and must not land.
    const CWString folder = textOf(windowsFolder.path());
    auto expected = [](std::size_t row) -> std::u16string_view {
        return row % 3 == 0 ? u"成功" : row % 3 == 1 ? u"下载失败" : u"下载";
    };
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (std::size_t row = 0; row < 20000; ++row) {
            const CWString local = folder + u"\\" + rows.getCellText(row, kColumnPath).view();
            const CWString name =
                row % 3 == 2 ? CWString(u"another.ext") : rows.getCellText(row, kColumnName);
            rows.setCellTextIfShows(row, kColumnMode, CWString(u"下载中 50%"), name, local);
            rows.setCellTextIfShows(row, kColumnMode, CWString(expected(row)), name, local);
        }
        done = true;
    });
    const HWND view = hwndOf(list);
    int pages = 0;
    while (!done) {
        SendMessageW(view, WM_VSCROLL, SB_PAGEDOWN, 0);
        pump();
        ++pages;
    }
    worker.join();
    SendMessageW(view, WM_VSCROLL, SB_BOTTOM, 0);
    paintNow();
    EXPECT_GT(pages, 0);

    for (std::size_t row = 0; row < 20000; ++row)
        ASSERT_EQ(rows.getCellText(row, kColumnMode).view(), expected(row)) << "row " << row;
    // What the list shows where it stands now, and back at the top.
    for (int top : {static_cast<int>(SendMessageW(view, LVM_GETTOPINDEX, 0, 0)), 0}) {
        SendMessageW(view, LVM_ENSUREVISIBLE, static_cast<WPARAM>(top), FALSE);
        paintNow();
        EXPECT_FALSE(GetUpdateRect(view, nullptr, FALSE));
        for (int row = top; row < top + 10 && row < 20000; ++row)
            EXPECT_EQ(cell(list, row, kColumnMode), expected(static_cast<std::size_t>(row))) << "row " << row;
    }
}

TEST_F(MainWindowTest, ACheckKeepsTheWindowGoingWhileItsPageIgnoresItsButtonsUntilTheAnswerIsIn) {
    // Every answer waits three seconds.
    const rg_PeiZhiXinXiLei config = configured("_stallbefore/3/");
    open(&config);
    SetForegroundWindow(main());
    const auto before = std::chrono::steady_clock::now();
    click(window->winCheckButton);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1000))
        << "the click waited for the answer";
    ASSERT_TRUE(window->isChecking(ModuleKind::Windows));
    EXPECT_EQ(stateLine(ModuleKind::Windows), wide(kStateChecking));

    // The busy cursor over the page, wherever on it; not beside the tabs.
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    EXPECT_EQ(cursorAfterAsking(hwndOf(window->winModuleList)), wait);
    EXPECT_EQ(cursorAfterAsking(hwndOf(window->winCheckButton)), wait);
    EXPECT_EQ(cursorAfterAsking(hwndOf(window->moduleTabs)), wait);
    EXPECT_NE(cursorAfterAsking(hwndOf(window->helpButton)), wait);

    // A second click asks for nothing, and "更新模块" on rows that are not in yet
    // says nothing.
    click(window->winCheckButton);
    DialogWatcher none({}, L"#32770", std::chrono::milliseconds(1000));
    click(window->winUpdateButton);
    EXPECT_FALSE(none.join().found) << "a message appeared";
    EXPECT_FALSE(window->engine.isDownloading());

    // The window moves and paints meanwhile.
    ASSERT_TRUE(SetWindowPos(main(), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    RECT frame{};
    GetWindowRect(main(), &frame);
    EXPECT_EQ(frame.left, 20);
    EXPECT_EQ(frame.top, 30);
    paintNow();
    EXPECT_FALSE(GetUpdateRect(hwndOf(window->winModuleList), nullptr, FALSE));
    ASSERT_TRUE(window->isChecking(ModuleKind::Windows)) << "the answer came too soon for this test";

    // Another page's check waits for this one, with its own busy cursor.
    selectPage(2);
    EXPECT_NE(cursorAfterAsking(hwndOf(window->serverModuleList)), wait);
    click(window->serverCheckButton);
    EXPECT_TRUE(window->isChecking(ModuleKind::Server));
    EXPECT_EQ(cursorAfterAsking(hwndOf(window->serverModuleList)), wait);

    ASSERT_TRUE(pumpUntil([this] {
        return !window->isChecking(ModuleKind::Windows) && !window->isChecking(ModuleKind::Server);
    }));
    pump();
    EXPECT_NE(cursorAfterAsking(hwndOf(window->serverModuleList)), wait);
    EXPECT_GE(window->winModuleList.rowCount(), 9);
    EXPECT_EQ(window->serverModuleList.rowCount(), 1);
    EXPECT_EQ(stateLine(ModuleKind::Windows), L"");
    const auto requests = server.recordedRequests(tag());
    ASSERT_EQ(requests.size(), 2u) << "one list request per page";
    EXPECT_NE(requests[1].path.find("api/s/list"), std::string::npos);
    EXPECT_GE(requests[1].arrived, requests[0].answered) << "the pages took turns";
}

TEST_F(MainWindowTest, AFailedListRequestIsToldWithItsReasonAndTheRowsReadBeforeABreakStay) {
    const rg_PeiZhiXinXiLei config = configured();
    open(&config);
    const std::string base = server.httpBase() + "_tag/" + tag() + "/";
    struct Case {
        const char* what;
        std::string domain;
        const wchar_t* picture; // of the message
        int fewestRows, mostRows;
    };
    const Case cases[] = {
        {"refused connection", "http://127.0.0.1:9/", L"screenshots/list-failed-refused.bmp", 0, 0},
        {"not a list", base + "_nonjson/", L"screenshots/list-failed-not-a-list.bmp", 0, 0},
        {"broken off", base + "_entries/1000/_cut/30000/", nullptr, 1, 999},
    };
    fs::create_directories("screenshots");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        globalConfig.domain = CWString::fromUtf8(c.domain);
        bool pictured = !c.picture;
        DialogWatcher watcher([&](HWND dialog, SeenDialog&) {
            if (c.picture)
                pictured = saveWindowImage(dialog, c.picture);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        click(window->winCheckButton);
        ASSERT_TRUE(pumpUntil([this] { return !window->isChecking(ModuleKind::Windows); }));
        const SeenDialog& seen = watcher.join();
        ASSERT_TRUE(seen.found);
        EXPECT_TRUE(pictured);
        EXPECT_EQ(seen.caption, wide(u"信息:"));
        EXPECT_EQ(seen.owner, main());
        const std::wstring prefix = wide(u"获取模块列表失败：");
        EXPECT_EQ(seen.text.rfind(prefix, 0), 0u) << shown(seen.text);
        EXPECT_GT(seen.text.size(), prefix.size()) << "no reason";
        EXPECT_GE(window->winModuleList.rowCount(), c.fewestRows);
        EXPECT_LE(window->winModuleList.rowCount(), c.mostRows);
        EXPECT_EQ(window->winModuleList.rowCount(),
                  static_cast<int>(window->rowTable(ModuleKind::Windows)->rowCount()));
    }

    // A list that arrived empty is no failure: the page shows no rows and says nothing.
    globalConfig.domain = CWString::fromUtf8(base + "_entries/0/");
    DialogWatcher none({}, L"#32770", std::chrono::milliseconds(1500));
    click(window->winCheckButton);
    ASSERT_TRUE(pumpUntil([this] { return !window->isChecking(ModuleKind::Windows); }));
    pumpUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_FALSE(none.join().found) << "a message appeared";
    EXPECT_EQ(window->winModuleList.rowCount(), 0);
}

TEST_F(MainWindowTest, EveryPagesStateLineSaysWhenCertificatesAreNotChecked) {
    for (const char16_t* verify : {u"1", u"0"}) {
        SCOPED_TRACE(CWString(verify).toUtf8String());
        const rg_PeiZhiXinXiLei config = configured();
        ASSERT_TRUE(SaveConfig(config, configFile()));
        ASSERT_TRUE(SaveGlobalSetting(configFile(), kVerifyCertificatesKey, CWString(verify)));
        open();
        const bool warned = verify == std::u16string_view(u"0");
        for (ModuleKind kind : {ModuleKind::Windows, ModuleKind::Android, ModuleKind::Server})
            EXPECT_EQ(stateLine(kind).find(wide(kCertificatesNotChecked)) != std::wstring::npos, warned)
                << shown(stateLine(kind));
        // And it stays beside a job's own state.
        checkAndWait(ModuleKind::Windows);
        click(window->winUpdateButton);
        ASSERT_TRUE(pumpUntil([this] { return !window->engine.isDownloading(); }));
        ASSERT_TRUE(pumpUntil([this] { return stateLine(ModuleKind::Windows).rfind(L"更新完成", 0) == 0; }));
        EXPECT_EQ(stateLine(ModuleKind::Windows).find(wide(kCertificatesNotChecked)) != std::wstring::npos,
                  warned);
        quelt_gui::setMainWindowHandle(0);
        window.reset();
        pump();
    }
}

// Selects and focuses `row` as a click on it does.
void selectRow(HWND list, int row) {
    LVITEMW state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    pump();
}

TEST_F(MainWindowTest, AJobsOutcomesReachTheirRowsWhileTheListScrollsAndAFailedRowSaysWhy) {
    // Every third file is here already and newer: those rows are not in the job.
    // The others are nowhere on the server: each fails.
    constexpr int kEntries = 600;
    for (int k = 0; k < kEntries; k += 3)
        mireth_test::writeFile(windowsFolder.path() / ("lib" + std::to_string(k % 50)) /
                                   ("m" + std::to_string(k) + ".ext"),
                               "local");
    const rg_PeiZhiXinXiLei config = configured("_entries/" + std::to_string(kEntries) + "/");
    open(&config);
    checkAndWait(ModuleKind::Windows);
    rg_my_main_window::ListBox& list = window->winModuleList;
    ASSERT_EQ(list.rowCount(), kEntries);
    auto expected = [](int row) -> std::u16string { return row % 3 == 0 ? u"" : u"下载失败"; };

    click(window->winUpdateButton);
    ASSERT_TRUE(window->engine.isDownloading());
    const HWND view = hwndOf(list);
    int pages = 0;
    while (window->engine.isDownloading()) {
        SendMessageW(view, WM_VSCROLL, pages % 20 == 19 ? SB_TOP : SB_PAGEDOWN, 0);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pump();
        ++pages;
    }
    pump();
    EXPECT_GT(pages, 0);
    for (int row = 0; row < kEntries; ++row)
        ASSERT_EQ(cell(list, row, kColumnMode), expected(row)) << "row " << row;
    SendMessageW(view, LVM_ENSUREVISIBLE, 0, FALSE);
    paintNow();
    EXPECT_FALSE(GetUpdateRect(view, nullptr, FALSE));

    const std::wstring done = L"更新完成：成功 0 个，下载失败 400 个，保存失败 0 个；";
    EXPECT_TRUE(pumpUntil([&] { return stateLine(ModuleKind::Windows).rfind(done, 0) == 0; },
                          std::chrono::seconds(5)))
        << shown(stateLine(ModuleKind::Windows));
    // A selected row that failed says why on a second line; one that was not in
    // the job adds nothing.
    selectRow(view, 1);
    const std::wstring line = stateLine(ModuleKind::Windows);
    const std::wstring why = L"\nm1.ext：下载失败，";
    const std::size_t at = line.find(why);
    ASSERT_NE(at, std::wstring::npos) << shown(line);
    EXPECT_GT(line.size(), at + why.size()) << "no reason: " << shown(line);
    selectRow(view, 3);
    EXPECT_EQ(stateLine(ModuleKind::Windows).find(L'\n'), std::wstring::npos);
}

// "全局设置" shows the keys of "全局" as the engine takes them; "保存" writes them
// beside the ten texts, keeping the rest of the file, and the engine goes by them;
// a value that cannot be saved is refused, naming its field, the file untouched.
TEST_F(MainWindowTest, TheGlobalSettingsShowSaveAndRefuseWhatCannotBeSaved) {
    const rg_PeiZhiXinXiLei config = configured();
    ASSERT_TRUE(SaveConfig(config, configFile()));
    for (auto [key, value] : {std::pair{kParallelDownloadsKey, u"7"},
                              {kRetriesKey, u"0"},
                              {kProxyKey, u"直连"},
                              {kCaFileKey, u"certs\\ca.pem"},
                              {kVerifyCertificatesKey, u"0"},
                              {kKeptBackupsKey, u"5"},
                              {kBackupFolderKey, u"旧版本"}})
        ASSERT_TRUE(SaveGlobalSetting(configFile(), key, CWString(value)));
    ASSERT_TRUE(platform::writePrivateProfileString(u"其他", u"键", u"值", configFile().view()));
    open();
    selectPage(3);
    EXPECT_EQ(window->parallelEdit.getCaption().view(), u"7");
    EXPECT_EQ(window->retriesEdit.getCaption().view(), u"0");
    EXPECT_EQ(window->proxyEdit.getCaption().view(), u"直连");
    EXPECT_EQ(window->caFileEdit.getCaption().view(), u"certs\\ca.pem");
    EXPECT_FALSE(window->verifyCheck.isChecked());
    EXPECT_EQ(window->keptBackupsEdit.getCaption().view(), u"5");
    EXPECT_EQ(window->backupFolderEdit.getCaption().view(), u"旧版本");
    HWND group = hwndOf(window->globalGroup);
    for (auto [id, high] : {std::pair{1154, 16}, {1156, 10}, {1168, 100}}) {
        const LRESULT range = SendMessageW(GetDlgItem(group, id), UDM_GETRANGE, 0, 0);
        EXPECT_EQ(HIWORD(range), high == 16 ? 1 : 0) << id;
        EXPECT_EQ(LOWORD(range), high) << id;
    }
    // Every caption fits its control, and the group keeps off "保存" and the groups above.
    for (HWND child = GetWindow(group, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring text = windowText(child);
        HDC dc = GetDC(child);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(child, dc);
        RECT r{};
        GetClientRect(child, &r);
        const int box = GetDlgCtrlID(child) == 157 ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0;
        EXPECT_LE(size.cx + box, r.right) << shown(text);
    }
    RECT mine{}, other{}, overlap{};
    GetWindowRect(group, &mine);
    for (HWND control : {hwndOf(window->saveButton), hwndOf(window->serverConfigGroup),
                         hwndOf(window->androidConfigGroup)}) {
        GetWindowRect(control, &other);
        EXPECT_FALSE(IntersectRect(&overlap, &mine, &other));
    }
    paintNow();
    fs::create_directories("screenshots");
    EXPECT_TRUE(saveWindowImage(main(), L"screenshots/page3-global-settings.bmp"));
    // "选择" opens the certificate chooser over the window; a cancel keeps the file.
    DialogWatcher chooser([](HWND dialog, SeenDialog&) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    click(window->caFileButton);
    const SeenDialog& chosen = chooser.join();
    EXPECT_EQ(chosen.caption, wide(u"选择证书文件"));
    EXPECT_EQ(chosen.owner, main());
    EXPECT_EQ(window->caFileEdit.getCaption().view(), u"certs\\ca.pem");

    struct Case {
        const char16_t *jobs, *retries, *proxy, *caFile;
        bool verify;
        const char16_t* refused; // the field the message names; null: saved
        const char16_t* kept;
        std::u16string backupFolder;
    };
    const std::u16string insideModules = std::u16string(config.windowsFolder.view()) + u"\\备份";
    const Case cases[] = {
        {u"4", u"3", u"", u"", true, kKeptBackupsKey, u"101", u""},
        // Backups inside a module folder would be read by the IDE; with none kept there are none.
        {u"4", u"3", u"", u"", true, kBackupFolderKey, u"", insideModules},
        {u"16", u"10", u"", u"", true, nullptr, u"0", insideModules},
        {u"0", u"3", u"", u"", true, kParallelDownloadsKey, u"", u""},
        {u"17", u"3", u"", u"", true, kParallelDownloadsKey, u"", u""},
        {u"x", u"3", u"", u"", true, kParallelDownloadsKey, u"", u""},
        {u"4", u"11", u"", u"", true, kRetriesKey, u"", u""},
        {u"4", u"3", u"ftp://x", u"", true, kProxyKey, u"", u""},
        {u" 16 ", u"10", u"socks5h://127.0.0.1:1080", u"ca.pem", false, nullptr, u"", u""},
        {u"", u"", u"", u"", true, nullptr, u"", u""}, // the defaults
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CWString(c.jobs).toUtf8String() + "|" + CWString(c.retries).toUtf8String() + "|" +
                     CWString(c.proxy).toUtf8String());
        window->parallelEdit.setCaption(CWString(c.jobs));
        window->retriesEdit.setCaption(CWString(c.retries));
        window->proxyEdit.setCaption(CWString(c.proxy));
        window->caFileEdit.setCaption(CWString(c.caFile));
        window->keptBackupsEdit.setCaption(CWString(c.kept));
        window->backupFolderEdit.setCaption(CWString(c.backupFolder));
        if (window->verifyCheck.isChecked() != c.verify)
            click(window->verifyCheck);
        const std::string before = mireth_test::readFile(configFile());
        const SeenDialog seen = clickExpectingMessage(window->saveButton);
        if (c.refused) {
            EXPECT_EQ(seen.text.rfind(L"“" + wide(c.refused) + L"”", 0), 0u) << shown(seen.text);
            EXPECT_EQ(mireth_test::readFile(configFile()), before);
            continue;
        }
        EXPECT_EQ(seen.text, wide(u"保存成功！"));
        const bool defaults = !*c.jobs;
        EXPECT_EQ(ReadGlobalSetting(configFile(), kParallelDownloadsKey).view(), defaults ? u"" : u"16");
        EXPECT_EQ(ReadGlobalSetting(configFile(), kRetriesKey).view(), defaults ? u"" : u"10");
        EXPECT_EQ(ReadGlobalSetting(configFile(), kProxyKey).view(), c.proxy);
        EXPECT_EQ(ReadGlobalSetting(configFile(), kCaFileKey).view(), c.caFile);
        EXPECT_EQ(ReadGlobalSetting(configFile(), kVerifyCertificatesKey).view(), c.verify ? u"1" : u"0");
        EXPECT_EQ(ReadGlobalSetting(configFile(), kKeptBackupsKey).view(), c.kept);
        EXPECT_EQ(ReadGlobalSetting(configFile(), kBackupFolderKey).view(), c.backupFolder);
        EXPECT_EQ(ReadIniText(configFile(), CWString(u"其他"), CWString(u"键"), CWString()).view(), u"值");
        EXPECT_EQ(LoadConfig(configFile()).domain.view(), config.domain.view());
        const TransferSettings& now = window->engine.transferSettings();
        EXPECT_EQ(now.parallelDownloads, defaults ? TransferSettings::kDefaultParallel : 16);
        EXPECT_EQ(now.retries, defaults ? TransferSettings::kDefaultRetries : 10);
        EXPECT_EQ(now.verifyCertificates, c.verify);
        EXPECT_EQ(now.keptBackups, *c.kept ? 0 : TransferSettings::kDefaultKeptBackups);
        EXPECT_EQ(stateLine(ModuleKind::Windows).find(wide(kCertificatesNotChecked)) != std::wstring::npos,
                  !c.verify);
    }
    // Opened again, the page shows the defaults as it saved them: empty boxes, a tick.
    quelt_gui::setMainWindowHandle(0);
    window.reset();
    open();
    EXPECT_EQ(window->parallelEdit.getCaption().view(), u"");
    EXPECT_TRUE(window->verifyCheck.isChecked());
}

// What DpiTest compares: each framework window's rectangle in its parent, its
// font's height and a list's column widths, named by the identifiers from the top
// (the parts common controls make themselves, a list's header, left out).
void writeLayout(FILE* out, HWND window, const std::string& name) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    if (name.find('/') == std::string::npos)
        GetClientRect(window, &r);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
    std::fprintf(out, "%s %ld %ld %ld %ld\n%s/font 0 0 %ld 0\n", name.c_str(), r.left, r.top, r.right,
                 r.bottom, name.c_str(), font.lfHeight);
    for (int column = 0; className(window) == L"Quelt_CVWnd_ListView" && column < 6; ++column)
        std::fprintf(out, "%s/column%d 0 0 %d 0\n", name.c_str(), column,
                     static_cast<int>(SendMessageW(window, LVM_GETCOLUMNWIDTH, column, 0)));
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetPropW(child, L"Quelt_CVWnd_Impl"))
            writeLayout(out, child, name + "/" + std::to_string(GetDlgCtrlID(child)));
}

// Pictures of every page after a check, and of the help window, for review. They
// land in screenshots/ of the build tree, as PNG files once the test run is over
// (tests/windows/CMakeLists.txt). Run by DpiTest at another DPI (MIRETH_DPI_RUN),
// the pictures are named for it, and the layout is written down, then again
// ("moved") after the window was told its DPI went up by half.
TEST_F(MainWindowTest, ScreenshotsOfEveryPageAndTheHelpWindow) {
    mireth_test::writeFile(windowsFolder.path() / "binary.bin", "a newer local copy");
    const rg_PeiZhiXinXiLei config = configured();
    open(&config);
    fs::create_directories("screenshots");
    checkAndWait(ModuleKind::Windows);
    selectPage(1);
    checkAndWait(ModuleKind::Android);
    selectPage(2);
    checkAndWait(ModuleKind::Server);
    const char* dpiRun = std::getenv("MIRETH_DPI_RUN");
    const std::string prefix = dpiRun ? "screenshots/dpi" + std::string(dpiRun) + "-" : "screenshots/";
    const char* names[] = {"page0-windows.bmp", "page1-android.bmp", "page2-server.bmp",
                           "page3-configuration.bmp"};
    SetForegroundWindow(main());
    for (int page = 0; page < 4; ++page) {
        selectPage(page);
        RedrawWindow(main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pumpUntil([] { return false; }, std::chrono::milliseconds(300));
        EXPECT_TRUE(saveWindowImage(main(), fs::path(prefix + names[page]).wstring())) << page;
    }
    FILE* layout = dpiRun ? std::fopen((prefix + "layout.txt").c_str(), "w") : nullptr;
    if (layout)
        writeLayout(layout, main(), "main");
    bool saved = false;
    DialogWatcher help(
        [&](HWND dialog, SeenDialog&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            saved = saveWindowImage(dialog, fs::path(prefix + "help.bmp").wstring());
            if (layout)
                writeLayout(layout, dialog, "help");
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        },
        L"Quelt_CVWnd_WinForm", std::chrono::milliseconds(15000), main());
    click(window->helpButton);
    EXPECT_TRUE(help.join().found);
    EXPECT_TRUE(saved);
    if (!layout)
        return;
    // As a move to a monitor of 1.5 times the DPI; Wine draws the frame at the
    // process's DPI whatever the message says, so the suggestion keeps the frame.
    const int dpi = std::atoi(dpiRun) * 3 / 2;
    RECT frame{}, client{};
    GetWindowRect(main(), &frame);
    GetClientRect(main(), &client);
    RECT moved{0, 0, frame.right - frame.left - client.right + 800 * dpi / 96,
               frame.bottom - frame.top - client.bottom + 600 * dpi / 96};
    SendMessageW(main(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&moved));
    writeLayout(layout, main(), "moved");
    std::fputs("done\n", layout);
    EXPECT_EQ(std::fclose(layout), 0);
}

} // namespace
