// Filling a report-view super list box of the six module columns: 20,000 rows of
// six cells (appendRow and five setCellText), then clearing them, on the window's
// own thread, as it is and with redraw off around it; then one cell write per row
// from another thread while the window's thread takes messages, the way the
// download worker reports its outcomes.
#include "runtime/gui/ListViewProperties.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"
#include "runtime/gui/win32/Win32ProgramHost.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace rg_quelt_WTLJieMian_base;
using namespace rg_quelt_WTLJieMian_KuoZhanZuJian;

namespace {

constexpr int kRows = 20000;
const char16_t kModuleColumns[] =
    u"0\n-1\n0\n50\n序号\n0\n-1\n0\n70\n方式\n0\n-1\n0\n200\n文件名称\n0\n-1\n0\n200\n"
    u"路径\n0\n-1\n0\n100\n更新时间\n0\n-1\n0\n70\n大小";

class BenchForm : public CQueltWinForm {
public:
    BenchForm() { setDesignClientSize(800, 600); }
    ~BenchForm() override { teardown(); }
    rg_ChaoJiLieBiaoKuang list;
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, int count, double seconds) {
    std::printf("%-34s %7d rows  %8.3f s  %10.0f rows/s\n", what, count, seconds,
                seconds > 0 ? count / seconds : 0.0);
}

} // namespace

int main() {
    CQueltWin32ProgramHost host;
    host.initialise();
    int status = 0;
    {
        BenchForm form;
        CQueltCreationRecord record;
        record.width = 800;
        record.height = 600;
        form.list.setView(kViewReport);
        form.list.setGridLines(true);
        form.list.setFullRowSelect(true);
        form.list.setColumnDefinition(kModuleColumns);
        CQueltCreationRecord child;
        if (!form.create(record)) {
            std::fprintf(stderr, "the form could not be created\n");
            host.terminate();
            return 1;
        }
        child.parentWindow = form.window();
        child.parentControl = &form;
        child.x = 6;
        child.y = 20;
        child.width = 750;
        child.height = 420;
        if (!form.list.create(child)) {
            std::fprintf(stderr, "the list could not be created\n");
            host.terminate();
            return 1;
        }
        rg_ChaoJiLieBiaoKuang& list = form.list;
        const CWString cells[5] = {u"下载", u"模块文件名称.ec",
                                   u"D:\\queltdev\\plugins\\queltprj_win\\classlib\\user",
                                   u"2026-12-08 03:00:00", u"123 KB"};

        auto fill = [&](const char* what) {
            const auto start = std::chrono::steady_clock::now();
            for (int row = 0; row < kRows; ++row) {
                const std::int32_t index = list.appendRow(CWString::fromInteger(row + 1));
                for (int column = 1; column < 6; ++column)
                    list.setCellText(index, column, cells[column - 1]);
            }
            report(what, kRows, secondsSince(start));
            if (list.rowCount() != kRows || list.getCellText(kRows - 1, 5).view() != cells[4].view()) {
                std::fprintf(stderr, "the list does not hold what was written\n");
                status = 1;
            }
        };
        auto clear = [&](const char* what) {
            const auto start = std::chrono::steady_clock::now();
            list.clearRows();
            report(what, kRows, secondsSince(start));
        };

        fill("fill (appendRow + 5 setCellText)");
        clear("clearRows");
        {
            const auto start = std::chrono::steady_clock::now();
            list.setRedraw(false);
            fill("fill with redraw off");
            list.setRedraw(true);
            report("  the same with setRedraw off/on", kRows, secondsSince(start));
        }
        clear("clearRows");

        list.setRedraw(false);
        for (int row = 0; row < kRows; ++row)
            list.appendRow(CWString::fromInteger(row + 1));
        list.setRedraw(true);
        std::atomic<bool> done{false};
        const auto start = std::chrono::steady_clock::now();
        std::thread writer([&] {
            for (int row = 0; row < kRows; ++row)
                list.setCellText(row, 5, u"更新成功");
            done = true;
        });
        MSG m;
        while (!done.load()) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
        }
        writer.join();
        report("setCellText from another thread", kRows, secondsSince(start));
        if (list.getCellText(kRows / 2, 5).view() != u"更新成功") {
            std::fprintf(stderr, "a cell written from the other thread is missing\n");
            status = 1;
        }
    }
    host.terminate();
    return status;
}
