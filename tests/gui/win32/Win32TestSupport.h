#pragma once
// What the window-layer tests share: handling the queue as the message loop does,
// the native handle of a control, and the cursor a window chooses.
#include "runtime/gui/WinControl.h"
#include "runtime/gui/win32/MainMessageLoop.h"

#include <windows.h>

// Handles what is queued, with the framework's pre-translation, without waiting.
inline void pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (!preTranslateChain(m)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
}

inline HWND hwndOf(const rg_quelt_WTLJieMian_base::CQueltWinControl& control) {
    return reinterpret_cast<HWND>(control.window());
}

// The cursor the system shows once `window` was asked for one, as a move of the
// mouse over its client area asks.
inline HCURSOR cursorAfterAsking(HWND window) {
    SetCursor(nullptr);
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}
