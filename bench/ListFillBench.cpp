// Filling a module page of the real main window with 20,000 rows, the way a check
// fills it (FillModuleList into the page's row table with the list's redraw held),
// and its first paint; then 20,000 outcome writes from another thread, the way the
// download worker reports, once while the window's thread takes its messages and
// once while it takes none. The peer is the super list box as it was before it
// became a virtual list: appendRow and five setCellText per row, redraw off.
//
//   scripts/wine-run build/windows/bench/list_fill_bench.exe [rows]
#include "runtime/gui/ListViewProperties.h"
#include "runtime/gui/MainWindow.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"
#include "runtime/gui/win32/Win32ProgramHost.h"
#include "updater/ModuleListRules.h"
#include "updater/rg_MoKuaiXinXiLei.h"
#include "windows/rg_my_main_window.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <thread>

using namespace rg_quelt_app;
using namespace rg_quelt_WTLJieMian_base;
using namespace rg_quelt_WTLJieMian_KuoZhanZuJian;

namespace {

const char16_t kModuleColumns[] =
    u"0\n-1\n0\n50\n序号\n0\n-1\n0\n70\n方式\n0\n-1\n0\n200\n文件名称\n0\n-1\n0\n200\n"
    u"路径\n0\n-1\n0\n100\n更新时间\n0\n-1\n0\n70\n大小";
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
    form.list.setColumnDefinition(kModuleColumns);
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

        report("outcome writes from another thread, pumping", rows, writeOutcomes(table, rows, true));
        FillModuleList(records, table);
        pumpOnce();
        report("  the same, the window's thread taking none", rows, writeOutcomes(table, rows, false));
        if (window.winModuleList.getCellText(rows / 2, kColumnMode).view() !=
            std::u16string_view(kModeSuccess)) {
            std::fprintf(stderr, "an outcome written from the other thread is missing\n");
            status = 1;
        }

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
