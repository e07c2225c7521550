// dpi_probe.exe: the main window as the program shows it at the DPI it was started
// at, for DpiTest (which starts it once per DPI on a Wine desktop of its own). It
// carries the program's manifest, so it is DPI-aware as MirethUpdater.exe is.
//   dpi_probe.exe <setup.ini> <output prefix> <ready event>
// It opens the window, signals the event, checks the Windows page, pictures that
// page, the configuration page and the help window (<prefix>-*.bmp), and writes
// every control's rectangle, relative to its parent, to <prefix>-rects.txt, then
// tells the window its DPI went up by half (WM_DPICHANGED) and writes them again
// ("moved"); the last line is "done". Exit code 0 when all of that worked.
// The probe runs only where the per-monitor functions exist (Wine, Windows 10).
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00
#include "runtime/gui/DpiScale.h"
#include "runtime/gui/MainWindow.h"
#include "tests/windows/WindowDriver.h"
#include "windows/rg_my_main_window.h"

#include <cstdio>
#include <string>

using namespace window_driver;

namespace {

// One line per framework window under `parent`, and its font's height, (the parts common controls make
// for themselves, a list's header, size themselves by their font), named by the
// identifiers from the top down.
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
        if (HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0));
            handle && GetObjectW(handle, sizeof(font), &font))
            std::fprintf(out, "%s/font 0 0 %ld 0\n", name.c_str(), font.lfHeight);
        if (className(child) == L"Quelt_CVWnd_ListView")
            for (int column = 0; column < 6; ++column)
                std::fprintf(out, "%s/column%d 0 0 %ld 0\n", name.c_str(), column,
                             static_cast<long>(SendMessageW(child, LVM_GETCOLUMNWIDTH, column, 0)));
        writeRects(out, child, name);
    }
}

void writeClient(FILE* out, HWND window, const char* name) {
    RECT r{};
    GetClientRect(window, &r);
    std::fprintf(out, "%s 0 0 %ld %ld\n", name, r.right, r.bottom);
    writeRects(out, window, name);
}

void paintNow(HWND window) {
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpUntil([] { return false; }, std::chrono::milliseconds(400));
}

int run(const std::wstring& setupIni, const std::wstring& prefix, const std::wstring& readyEvent) {
    rg_quelt_app::rg_my_main_window window;
    window.setConfigFile(
        CWString(std::u16string_view(reinterpret_cast<const char16_t*>(setupIni.data()), setupIni.size())));
    CQueltCreationRecord record;
    if (!window.create(record))
        return 2;
    HWND main = hwndOf(window);
    quelt_gui::setMainWindowHandle(window.window());
    if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, readyEvent.c_str())) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    pump();
    click(window.winCheckButton);
    if (!pumpUntil([&] { return !window.isChecking(rg_quelt_app::ModuleKind::Windows); }))
        return 3;
    paintNow(main);
    bool pictured = saveWindowImage(main, prefix + L"-page0-windows.bmp");
    clickTab(hwndOf(window.moduleTabs), 3);
    paintNow(main);
    pictured = saveWindowImage(main, prefix + L"-page3-configuration.bmp") && pictured;

    FILE* out = _wfopen((prefix + L"-rects.txt").c_str(), L"w");
    if (!out)
        return 4;
    writeClient(out, main, "main");
    bool helpSeen = false;
    DialogWatcher help(
        [&](HWND dialog, SeenDialog&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            pictured = saveWindowImage(dialog, prefix + L"-help.bmp") && pictured;
            writeClient(out, dialog, "help");
            helpSeen = true;
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        },
        L"Quelt_CVWnd_WinForm", std::chrono::milliseconds(15000), main);
    click(window.helpButton);
    help.join();
    // As a move to a monitor of 1.5 times the DPI would: the layout that follows is
    // the one the window has when it opens there.
    const int dpi = static_cast<int>(GetDpiForWindow(main));
    // The system's suggestion keeps the frame the window has (Wine draws it at the
    // process's DPI whatever a message says) around the client area of the new DPI.
    RECT frame{}, client{};
    GetWindowRect(main, &frame);
    GetClientRect(main, &client);
    RECT moved{0, 0, frame.right - frame.left - client.right + quelt_gui::scaleToDpi(800, dpi * 3 / 2),
               frame.bottom - frame.top - client.bottom + quelt_gui::scaleToDpi(600, dpi * 3 / 2)};
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi * 3 / 2, dpi * 3 / 2), reinterpret_cast<LPARAM>(&moved));
    pump();
    writeClient(out, main, "moved");
    std::fprintf(out, "done\n");
    const bool written = std::fclose(out) == 0;
    quelt_gui::setMainWindowHandle(0);
    return pictured && helpSeen && written ? 0 : 5;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4)
        return 1;
    CQueltWin32ProgramHost host;
    host.initialise();
    int code = 6;
    try {
        code = run(argv[1], argv[2], argv[3]);
    } catch (...) {
    }
    host.terminate();
    return code;
}
