// dpi_probe.exe <setup.ini> <prefix> <ready event>: the main window at the DPI the
// probe was started at, with the program's manifest, for DpiTest. It pictures the
// Windows page after a check, the configuration page and the help window
// (<prefix>-*.bmp) and writes each framework window's rectangle, font height and
// list column widths to <prefix>-rects.txt; then again ("moved") after being told
// its DPI went up by half. The last line is "done".
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00 // only run where the per-monitor functions exist
#include "runtime/gui/DpiScale.h"
#include "runtime/gui/MainWindow.h"
#include "tests/windows/WindowDriver.h"
#include "windows/rg_my_main_window.h"

using namespace window_driver;

namespace {

// Named by the identifiers from the top down; the parts common controls make for
// themselves (a list's header) are left out.
void writeRects(FILE* out, HWND parent, const std::string& path) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!GetPropW(child, L"Quelt_CVWnd_Impl"))
            continue;
        const std::string name = path + "/" + std::to_string(GetDlgCtrlID(child));
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        std::fprintf(out, "%s %ld %ld %ld %ld\n", name.c_str(), r.left, r.top, r.right, r.bottom);
        LOGFONTW font{};
        if (GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof(font), &font))
            std::fprintf(out, "%s/font 0 0 %ld 0\n", name.c_str(), font.lfHeight);
        for (int column = 0; className(child) == L"Quelt_CVWnd_ListView" && column < 6; ++column)
            std::fprintf(out, "%s/column%d 0 0 %d 0\n", name.c_str(), column,
                         static_cast<int>(SendMessageW(child, LVM_GETCOLUMNWIDTH, column, 0)));
        writeRects(out, child, name);
    }
}

void writeClient(FILE* out, HWND window, const char* name) {
    RECT r{};
    GetClientRect(window, &r);
    std::fprintf(out, "%s 0 0 %ld %ld\n", name, r.right, r.bottom);
    writeRects(out, window, name);
}

bool picture(HWND window, const std::wstring& file) {
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpUntil([] { return false; }, std::chrono::milliseconds(400));
    return saveWindowImage(window, file);
}

int run(const std::wstring& setupIni, const std::wstring& prefix, const std::wstring& readyEvent) {
    rg_quelt_app::rg_my_main_window window;
    window.setConfigFile(CWString(reinterpret_cast<const char16_t*>(setupIni.c_str())));
    CQueltCreationRecord record;
    if (!window.create(record))
        return 2;
    HWND main = hwndOf(window);
    quelt_gui::setMainWindowHandle(window.window());
    if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, readyEvent.c_str())) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    click(window.winCheckButton);
    bool done = pumpUntil([&] { return !window.isChecking(rg_quelt_app::ModuleKind::Windows); });
    done = picture(main, prefix + L"-page0-windows.bmp") && done;
    clickTab(hwndOf(window.moduleTabs), 3);
    done = picture(main, prefix + L"-page3-configuration.bmp") && done;
    FILE* out = _wfopen((prefix + L"-rects.txt").c_str(), L"w");
    if (!out)
        return 3;
    writeClient(out, main, "main");
    DialogWatcher help(
        [&](HWND dialog, SeenDialog&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            done = saveWindowImage(dialog, prefix + L"-help.bmp") && done;
            writeClient(out, dialog, "help");
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        },
        L"Quelt_CVWnd_WinForm", std::chrono::milliseconds(15000), main);
    click(window.helpButton);
    done = help.join().found && done;
    // As a move to a monitor of 1.5 times the DPI; Wine keeps drawing the frame at
    // the process's DPI, so the suggestion keeps the frame the window has.
    const int dpi = static_cast<int>(GetDpiForWindow(main)) * 3 / 2;
    RECT frame{}, client{};
    GetWindowRect(main, &frame);
    GetClientRect(main, &client);
    RECT moved{0, 0, frame.right - frame.left - client.right + quelt_gui::scaleToDpi(800, dpi),
               frame.bottom - frame.top - client.bottom + quelt_gui::scaleToDpi(600, dpi)};
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&moved));
    writeClient(out, main, "moved");
    std::fprintf(out, done ? "done\n" : "failed\n");
    quelt_gui::setMainWindowHandle(0);
    return std::fclose(out) == 0 && done ? 0 : 4;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4)
        return 1;
    CQueltWin32ProgramHost host;
    host.initialise();
    int code = 5;
    try {
        code = run(argv[1], argv[2], argv[3]);
    } catch (...) {
    }
    host.terminate();
    return code;
}
