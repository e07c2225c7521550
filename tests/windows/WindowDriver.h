#pragma once
// Driving the real windows the way a user does: clicking buttons and tabs, typing
// into edit boxes, and answering the dialog boxes a click opens, from a second
// thread so that the click's own modal loop keeps running.
#include "runtime/gui/WinControl.h"
#include "runtime/gui/win32/Win32ProgramHost.h"
#include "tests/gui/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace window_driver {

// The window system of the test executable, set up once for all its tests.
class WindowSystem : public ::testing::Environment {
public:
    void SetUp() override { host.initialise(); }
    void TearDown() override { host.terminate(); }
    CQueltWin32ProgramHost host;
};
inline const ::testing::Environment* const windowSystem =
    ::testing::AddGlobalTestEnvironment(new WindowSystem);

// Pumps until `done` holds or `limit` has passed; whether it held.
inline bool pumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::milliseconds(60000)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pump();
    }
    return true;
}

inline std::wstring windowText(HWND window) {
    wchar_t buffer[4096] = {};
    GetWindowTextW(window, buffer, 4096);
    return buffer;
}

inline std::wstring className(HWND window) {
    wchar_t buffer[128] = {};
    GetClassNameW(window, buffer, 128);
    return buffer;
}

// A button press as the mouse makes it.
inline void click(const rg_quelt_WTLJieMian_base::CQueltWinControl& button) {
    SendMessageW(hwndOf(button), BM_CLICK, 0, 0);
}

// Selects a tab by a click on it, so the tab control notifies as for a user.
inline void clickTab(HWND tabs, int index) {
    RECT r{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    pump();
}

// Top-level windows of this process with the class name `wanted`, visible ones only.
inline std::vector<HWND> processWindows(const wchar_t* wanted) {
    struct Search {
        const wchar_t* wanted;
        std::vector<HWND> found;
    } search{wanted, {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window) && className(window) == s->wanted)
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What a watcher saw of the dialog box it answered.
struct SeenDialog {
    bool found = false;
    std::wstring caption;
    std::wstring text;
    HWND owner = nullptr;
};

// Waits on its own thread for a top-level window of `windowClass` (a message box
// by default), reads it, lets `inspect` look at it, and closes it. Gives up after
// `limit`. Join before looking at what it saw.
class DialogWatcher {
public:
    using Inspect = std::function<void(HWND dialog, SeenDialog& seen)>;

    // `except` is a window of that class that is not the one waited for.
    explicit DialogWatcher(Inspect inspect = {}, const wchar_t* windowClass = L"#32770",
                           std::chrono::milliseconds limit = std::chrono::milliseconds(15000),
                           HWND except = nullptr)
        : inspect_(std::move(inspect)), windowClass_(windowClass), limit_(limit), except_(except),
          thread_([this] { run(); }) {}
    ~DialogWatcher() { join(); }
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    const SeenDialog& join() {
        if (thread_.joinable())
            thread_.join();
        return seen_;
    }

private:
    void run() {
        const auto end = std::chrono::steady_clock::now() + limit_;
        while (std::chrono::steady_clock::now() < end) {
            std::vector<HWND> windows = processWindows(windowClass_);
            std::erase(windows, except_);
            if (!windows.empty()) {
                HWND dialog = windows.front();
                // Let the dialog finish showing itself.
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                seen_.found = true;
                seen_.caption = windowText(dialog);
                seen_.owner = GetWindow(dialog, GW_OWNER);
                if (HWND text = GetDlgItem(dialog, 0xFFFF))
                    seen_.text = windowText(text);
                if (inspect_)
                    inspect_(dialog, seen_);
                else
                    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    Inspect inspect_;
    const wchar_t* windowClass_;
    std::chrono::milliseconds limit_;
    HWND except_;
    SeenDialog seen_;
    std::thread thread_;
};

// Saves what the screen shows of `window` as a 24-bit BMP; false when it could
// not be read or written.
inline bool saveWindowImage(HWND window, const std::wstring& path) {
    RECT r{};
    if (!GetWindowRect(window, &r))
        return false;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap && memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const DWORD stride = ((w * 3 + 3) / 4) * 4;
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + stride * h;
        if (FILE* out = _wfopen(path.c_str(), L"wb")) {
            saved = fwrite(&file, sizeof(file), 1, out) == 1 &&
                    fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                    fwrite(bits, stride * h, 1, out) == 1;
            saved = fclose(out) == 0 && saved;
        }
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

} // namespace window_driver
