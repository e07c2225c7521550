// Filling a module page of the real main window with 20,000 rows, the way a check
// fills it (FillModuleList into the page's row table with the list's redraw held),
// and its first paint; then 20,000 outcome writes from another thread, the way the
// download worker reports, once while the window's thread takes its messages and
// once while it takes none. The peer is the super list box as it was before it
// became a virtual list: appendRow and five setCellText per row, redraw off.
//
// Given the loopback module server's base, also a whole check of a list of that
// many entries through the window: the click on "检查更新", the request on the
// check's own thread, the parse, the fill, the marking (no file is there: every
// row is marked) and the first paint, until the page shows the rows. Its peer is
// the same check run on the window's thread, which it blocks meanwhile.
//
//   scripts/wine-run build/windows/bench/list_fill_bench.exe [rows [server base]]
// (scripts/bench windows starts the server and passes its base.)
#include "runtime/gui/ListViewProperties.h"
#include "runtime/gui/MainWindow.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"
#include "runtime/gui/win32/Win32ProgramHost.h"
#include "updater/ConfigStore.h"
#include "updater/ModuleListRules.h"
#include "updater/UpdateFlow.h"
#include "updater/rg_MoKuaiXinXiLei.h"
#include "windows/ListBoxRowTable.h"
#include "windows/rg_my_main_window.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <thread>

using namespace rg_quelt_app;
using namespace rg_quelt_WTLJieMian_base;
using namespace rg_quelt_WTLJieMian_KuoZhanZuJian;

namespace {

const char16_t kFolder[] = u"D:\\queltdev\\plugins\\queltprj_win\\classlib\\user";

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void report(const char* what, int count, double seconds) {
    std::printf("%-44s %7d rows  %8.4f s  %10.0f rows/s\n", what, count, seconds,
                seconds > 0 ? count / seconds : 0.0);
}

void pumpOnce() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

CQueltObjectArray moduleRecords(int count) {
    CQueltObjectArray records;
    for (int i = 0; i < count; ++i) {
        auto* record = new rg_MoKuaiXinXiLei();
        record->ordinal = i + 1;
        record->name = CWString(u"模块文件") + CWString::fromInteger(i).view() + u".ec";
        record->path = CWString(u"lib") + CWString::fromInteger(i % 50).view() + u"/" + record->name.view();
        record->updateTime = CWString(u"2026-12-08 03:00:00");
        record->size = 123456;
        records.append(record);
    }
    return records;
}

// The peer: the list box keeping its own rows.
double fillPlainListBox(int rows) {
    struct Form : CQueltWinForm {
        Form() { setDesignClientSize(800, 600); }
        ~Form() override { teardown(); }
        rg_ChaoJiLieBiaoKuang list;
    } form;
    form.list.setView(kViewReport);
    form.list.setGridLines(true);
    form.list.setFullRowSelect(true);
    form.list.setColumnDefinition(kModuleListColumns);
    CQueltCreationRecord record;
    record.width = 800;
    record.height = 600;
    if (!form.create(record))
        return -1;
    CQueltCreationRecord child;
    child.parentWindow = form.window();
    child.parentControl = &form;
    child.x = 6;
    child.y = 20;
    child.width = 750;
    child.height = 420;
    if (!form.list.create(child))
        return -1;
    ShowWindow(reinterpret_cast<HWND>(form.window()), SW_SHOW);
    pumpOnce();
    const CWString cells[5] = {u"下载", u"模块文件名称.ec", u"lib0\\模块文件名称.ec", u"2026-12-08 03:00:00",
                               u"123456"};
    const auto start = Clock::now();
    form.list.setRedraw(false);
    for (int row = 0; row < rows; ++row) {
        const std::int32_t index = form.list.appendRow(CWString::fromInteger(row + 1));
        for (int column = 1; column < 6; ++column)
            form.list.setCellText(index, column, cells[column - 1]);
    }
    form.list.setRedraw(true);
    UpdateWindow(reinterpret_cast<HWND>(form.list.window()));
    const double seconds = secondsSince(start);
    return form.list.rowCount() == rows ? seconds : -1;
}

// `rows` outcome writes into the table from another thread; the window's thread
// takes its messages meanwhile or, with `pump` false, none until the writer is done.
double writeOutcomes(ModuleRowTable& table, int rows, bool pump) {
    std::atomic<bool> done{false};
    const auto start = Clock::now();
    auto writer = std::async(std::launch::async, [&] {
        for (int row = 0; row < rows; ++row) {
            const auto r = static_cast<std::size_t>(row);
            const CWString local = CWString(kFolder) + u"\\" + table.getCellText(r, kColumnPath).view();
            table.setCellTextIfShows(r, kColumnMode, CWString(kModeSuccess),
                                     table.getCellText(r, kColumnName), local);
        }
        done = true;
        return secondsSince(start);
    });
    while (pump && !done.load()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        pumpOnce();
    }
    const double seconds = writer.get();
    pumpOnce();
    return seconds;
}

// A click on the page's "检查更新" until its rows are painted.
double checkThroughTheWindow(rg_my_main_window& window) {
    const auto start = Clock::now();
    SendMessageW(reinterpret_cast<HWND>(window.winCheckButton.window()), BM_CLICK, 0, 0);
    while (window.isChecking(ModuleKind::Windows)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        pumpOnce();
    }
    pumpOnce();
    UpdateWindow(reinterpret_cast<HWND>(window.winModuleList.window()));
    return secondsSince(start);
}

// The same check on the window's thread, as it ran before: nothing else happens
// until it is over.
double checkOnTheWindowsThread(rg_my_main_window& window, bool& ok, int rows) {
    const auto start = Clock::now();
    const CheckResult result =
        checkModules(window.engine, ModuleKind::Windows, *window.rowTable(ModuleKind::Windows), globalConfig);
    pumpOnce();
    UpdateWindow(reinterpret_cast<HWND>(window.winModuleList.window()));
    const double seconds = secondsSince(start);
    ok = result.outcome == CheckOutcome::Checked && result.rows == static_cast<std::size_t>(rows) &&
         result.marked == result.rows;
    return seconds;
}

// Three of each in turn; the best of each.
int wholeChecks(rg_my_main_window& window, int rows, const char* base) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "mireth-list-fill-bench-modules";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    globalConfig.domain = CWString::fromUtf8(std::string(base) + "_entries/" + std::to_string(rows) + "/");
    globalConfig.windowsFolder = CWString(folder.u16string());
    double best = 0, bestPeer = 0;
    for (int round = 0; round < 3; ++round) {
        bool ok = false;
        const double peer = checkOnTheWindowsThread(window, ok, rows);
        // A failed check would show its message box and wait for a user.
        if (!ok) {
            std::fprintf(stderr, "the check of %s failed\n", globalConfig.domain.toUtf8String().c_str());
            return 1;
        }
        const double whole = checkThroughTheWindow(window);
        if (window.winModuleList.rowCount() != rows) {
            std::fprintf(stderr, "the page does not show the checked list\n");
            return 1;
        }
        best = round == 0 ? whole : std::min(best, whole);
        bestPeer = round == 0 ? peer : std::min(bestPeer, peer);
    }
    report("whole check through the window (best of 3)", rows, best);
    std::printf("%-44s %s\n", "  whole check under 1 s", best < 1.0 ? "yes" : "NO");
    report("peer: the check on the window's thread", rows, bestPeer);
    std::printf("%-44s %.2f\n", "whole check / peer", bestPeer > 0 ? best / bestPeer : 0.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    CQueltWin32ProgramHost host;
    host.initialise();
    int status = 0;
    double firstFill = 0;
    {
        const std::filesystem::path config =
            std::filesystem::temp_directory_path() / "mireth-list-fill-bench.ini";
        rg_my_main_window window;
        window.setConfigFile(CWString(config.u16string()));
        CQueltCreationRecord record;
        if (!window.create(record)) {
            std::fprintf(stderr, "the main window could not be created\n");
            host.terminate();
            return 1;
        }
        const HWND main = reinterpret_cast<HWND>(window.window());
        const HWND view = reinterpret_cast<HWND>(window.winModuleList.window());
        SetForegroundWindow(main);
        pumpOnce();
        ModuleRowTable& table = *window.rowTable(ModuleKind::Windows);
        const CQueltObjectArray records = moduleRecords(rows);

        // Twice: the second is a refill of a full list, as a second check is.
        for (const char* what : {"fill of the Windows page (FillModuleList)", "refill of the full page"}) {
            const auto start = Clock::now();
            table.holdRedraw(true);
            FillModuleList(records, table);
            table.holdRedraw(false);
            const double fill = secondsSince(start);
            if (firstFill == 0)
                firstFill = fill;
            UpdateWindow(view);
            const double painted = secondsSince(start);
            report(what, rows, fill);
            report("  the same with its first paint", rows, painted);
            std::printf("%-44s %s\n", "  fill under 0.2 s", fill < 0.2 ? "yes" : "NO");
            if (window.winModuleList.rowCount() != rows ||
                window.winModuleList.getCellText(rows - 1, kColumnName).view() !=
                    static_cast<const rg_MoKuaiXinXiLei*>(records.at(records.count() - 1))->name.view()) {
                std::fprintf(stderr, "the page does not show what was filled\n");
                status = 1;
            }
            pumpOnce();
        }

        const double pumping = writeOutcomes(table, rows, true);
        report("outcome writes from another thread, pumping", rows, pumping);
        std::printf("%-44s %s\n", "  under 0.5 s", pumping < 0.5 ? "yes" : "NO");
        FillModuleList(records, table);
        pumpOnce();
        const double idle = writeOutcomes(table, rows, false);
        report("  the same, the window's thread taking none", rows, idle);
        std::printf("%-44s %s\n", "  under 0.5 s", idle < 0.5 ? "yes" : "NO");
        if (window.winModuleList.getCellText(rows / 2, kColumnMode).view() !=
            std::u16string_view(kModeSuccess)) {
            std::fprintf(stderr, "an outcome written from the other thread is missing\n");
            status = 1;
        }

        if (argc > 2 && wholeChecks(window, rows, argv[2]) != 0)
            status = 1;

        std::error_code ignored;
        std::filesystem::remove(config, ignored);
        quelt_gui::setMainWindowHandle(0);
    }
    // The peer, after the main window is gone so that it paints alone.
    {
        const double peer = fillPlainListBox(rows);
        if (peer < 0) {
            std::fprintf(stderr, "the plain list box could not be filled\n");
            status = 1;
        } else {
            report("peer: plain list box, appendRow + 5 setCellText", rows, peer);
            std::printf("%-44s %.0f\n", "peer / fill of the page", firstFill > 0 ? peer / firstFill : 0.0);
        }
    }
    host.terminate();
    return status;
}
