#pragma once
// The DPI of a window and the DPI-dependent system values, on every Windows the
// program starts on. The per-monitor functions (GetDpiForWindow and its
// companions, Windows 10 1607 and later) are looked up in user32 at run time; where
// they are missing the screen's DPI stands in, which is what a system-aware
// program on Windows 7 and 8 is shown at.
#include <windows.h>

#include <cstdint>

// The DPI `window` is shown at; for a null window the system's (the primary
// monitor's, where a top-level window opens centred).
int windowDpi(HWND window);

// AdjustWindowRectEx for a window at `dpi` (its frame's metrics at that DPI).
bool adjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);

// GetSystemMetrics as at `dpi`.
int systemMetricForDpi(int index, int dpi);

// The framework's default font, 9 points of the default GUI face, at `dpi`; null
// when the system has none.
HFONT createDefaultFontForDpi(int dpi);
