#include "runtime/gui/win32/WindowDpi.h"

#include "runtime/gui/DpiScale.h"

using namespace quelt_gui;

namespace {

constexpr std::int32_t kDefaultFontPoints = 9;

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

// The user32 functions of newer systems; null where the system lacks one.
struct PerMonitorFunctions {
    GetDpiForWindowFn dpiForWindow = nullptr;
    GetDpiForSystemFn dpiForSystem = nullptr;
    AdjustWindowRectExForDpiFn adjustWindowRect = nullptr;
    GetSystemMetricsForDpiFn systemMetrics = nullptr;

    PerMonitorFunctions() {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (!user32)
            return;
        dpiForWindow = lookUp<GetDpiForWindowFn>(user32, "GetDpiForWindow");
        dpiForSystem = lookUp<GetDpiForSystemFn>(user32, "GetDpiForSystem");
        adjustWindowRect = lookUp<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi");
        systemMetrics = lookUp<GetSystemMetricsForDpiFn>(user32, "GetSystemMetricsForDpi");
    }

    template <typename Fn>
    static Fn lookUp(HMODULE module, const char* name) {
        // Through the generic function type, which any function pointer may pass.
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }
};

const PerMonitorFunctions& perMonitor() {
    static const PerMonitorFunctions functions;
    return functions;
}

int screenDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen)
        return kDesignDpi;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

} // namespace

int windowDpi(HWND window) {
    const PerMonitorFunctions& f = perMonitor();
    if (window && f.dpiForWindow) {
        if (const UINT dpi = f.dpiForWindow(window); dpi > 0)
            return static_cast<int>(dpi);
    }
    if (!window && f.dpiForSystem) {
        if (const UINT dpi = f.dpiForSystem(); dpi > 0)
            return static_cast<int>(dpi);
    }
    return screenDpi();
}

bool adjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi) {
    if (const auto adjust = perMonitor().adjustWindowRect)
        return adjust(&rect, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi)) != FALSE;
    return AdjustWindowRectEx(&rect, style, menu ? TRUE : FALSE, exStyle) != FALSE;
}

int systemMetricForDpi(int index, int dpi) {
    if (const auto metrics = perMonitor().systemMetrics)
        return metrics(index, static_cast<UINT>(dpi));
    return GetSystemMetrics(index);
}

HFONT createDefaultFontForDpi(int dpi) {
    LOGFONTW face{};
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(face), &face) == 0)
        return nullptr;
    face.lfHeight = fontHeightForDpi(kDefaultFontPoints, dpi);
    return CreateFontIndirectW(&face);
}
