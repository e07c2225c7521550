#include "runtime/gui/win32/VWnd_Container.h"

#include "runtime/gui/CreationRecord.h"
#include "runtime/gui/EventListeners.h"
#include "runtime/gui/Geometry.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_ZuJianBuJuQi.h"
#include "runtime/gui/win32/BackgroundImage.h"
#include "runtime/gui/win32/StandardControlWindowFactory.h"
#include "runtime/gui/win32/VWnd_ListView.h"
#include "runtime/gui/win32/VWnd_WinForm.h"

using namespace quelt_gui;
using rg_quelt_WTLJieMian_base::CQueltWinControl;
using rg_quelt_WTLJieMian_base::rg_ZuJianBuJuQi;

CVWnd_Container::CVWnd_Container(CQueltWinControl& control)
    : CVWnd_Window(control), layouter_(dynamic_cast<rg_ZuJianBuJuQi*>(&control)) {}

void CVWnd_Container::creationRect(const CQueltCreationRecord& record, std::uint32_t, std::uint32_t,
                                   RECT& rect) {
    rect = recordRect(record);
}

bool CVWnd_Container::createNative(const CQueltCreationRecord& record, const CWString& caption,
                                   std::uint32_t style, std::uint32_t exStyle) {
    RECT rect{};
    creationRect(record, style, exStyle, rect);
    return createAt(record, caption, style, exStyle, rect);
}

bool CVWnd_Container::createAt(const CQueltCreationRecord& record, const CWString& caption,
                               std::uint32_t style, std::uint32_t exStyle, const RECT& rect) {
    if (!createOwnClass(className(), record, caption, style, exStyle, rect))
        return false;
    // Layouter windows take part in the message loop's pre-translation.
    SetWindowLongPtrW(hwnd(), GWLP_USERDATA, kFrameworkMagic);
    return true;
}

void CVWnd_Container::applyShape(std::int32_t shape) {
    RECT r{};
    if (!GetWindowRect(hwnd(), &r))
        return;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    HRGN region = nullptr;
    if (shape == rg_ZuJianBuJuQi::kShapeEllipse)
        region = CreateEllipticRgn(0, 0, w, h);
    else if (shape == rg_ZuJianBuJuQi::kShapeRoundRect) {
        const int c = roundCornerSize(w, h);
        region = CreateRoundRectRgn(0, 0, w, h, c, c);
    }
    // The system owns an accepted region; one it refused is ours to delete.
    if (!SetWindowRgn(hwnd(), region, TRUE) && region)
        DeleteObject(region);
}

void CVWnd_Container::applyState(std::int32_t state) {
    switch (state) {
    case rg_ZuJianBuJuQi::kStateNormal:
        ShowWindow(hwnd(), SW_SHOWNORMAL);
        break;
    case rg_ZuJianBuJuQi::kStateMinimised:
        ShowWindow(hwnd(), SW_MINIMIZE);
        break;
    case rg_ZuJianBuJuQi::kStateMaximised:
        ShowWindow(hwnd(), SW_MAXIMIZE);
        break;
    case rg_ZuJianBuJuQi::kStateCentred: {
        if (IsIconic(hwnd()) || IsZoomed(hwnd()))
            ShowWindow(hwnd(), SW_RESTORE);
        RECT w{};
        GetWindowRect(hwnd(), &w);
        Rect monitor{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (HMONITOR m = MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST); m && GetMonitorInfoW(m, &info))
            monitor = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right - info.rcMonitor.left,
                       info.rcMonitor.bottom - info.rcMonitor.top};
        const Rect centred = centredIn(monitor, {w.left, w.top, w.right - w.left, w.bottom - w.top});
        if (centred.x != w.left || centred.y != w.top)
            SetWindowPos(hwnd(), nullptr, centred.x, centred.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    default:
        break;
    }
}

void CVWnd_Container::handFocusOn() {
    HWND firstInput = nullptr, firstTabStop = nullptr, first = nullptr;
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || !IsWindowEnabled(child))
            continue;
        if (!first)
            first = child;
        if (!firstTabStop && (GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP))
            firstTabStop = child;
        if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & kDlgcInputBits) {
            firstInput = child;
            break;
        }
    }
    if (!firstInput) {
        // An input control inside nested children.
        for (HWND child = GetWindow(hwnd(), GW_CHILD); child && !firstInput;
             child = GetWindow(child, GW_HWNDNEXT))
            for (HWND inner = GetWindow(child, GW_CHILD); inner; inner = GetWindow(inner, GW_HWNDNEXT))
                if (IsWindowVisible(inner) && IsWindowEnabled(inner) &&
                    (SendMessageW(inner, WM_GETDLGCODE, 0, 0) & kDlgcInputBits)) {
                    firstInput = inner;
                    break;
                }
    }
    HWND target = firstInput ? firstInput : (firstTabStop ? firstTabStop : first);
    if (target)
        SetFocus(target);
}

bool CVWnd_Container::handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    auto* container = dynamic_cast<IContainerEventListener*>(listener());
    switch (message) {
    case WM_CREATE:
        if (container)
            container->onContainerCreated();
        result = 0;
        return true;
    case WM_DESTROY:
        if (container)
            container->onContainerDestroyed();
        result = 0;
        return true;
    case WM_MOVE:
        if (layouter_ && layouter_->transparent()) {
            HWND top = GetAncestor(hwnd(), GA_ROOT);
            RECT r{};
            GetClientRect(hwnd(), &r);
            MapWindowPoints(hwnd(), top, reinterpret_cast<POINT*>(&r), 2);
            InvalidateRect(top, &r, TRUE);
            RedrawWindow(top, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        if (container)
            container->onContainerMoved();
        result = 0;
        return true;
    case WM_SIZE:
        if (container)
            container->onContainerSizeChanged();
        result = 0;
        return true;
    case WM_SHOWWINDOW:
        if (container)
            container->onContainerShown(wparam != 0);
        return false;
    case WM_SETFOCUS:
        handFocusOn();
        result = 0;
        return true;
    case WM_GETDLGCODE:
        result = DLGC_STATIC;
        return true;
    case WM_COMMAND:
        if (lparam == 0 && container && container->onContainerCommand(LOWORD(wparam))) {
            result = 0;
            return true;
        }
        return false;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_PAINT:
        paint();
        result = 0;
        return true;
    default:
        return false;
    }
}

void CVWnd_Container::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    if (!dc)
        return;
    RECT client{}, clip{}, area{};
    GetClientRect(hwnd(), &client);
    GetClipBox(dc, &clip);
    if (IntersectRect(&area, &clip, &client) && layouter_) {
        if (!layouter_->transparent())
            fillBackground(dc, area, layouter_->backgroundColour());
        drawBackgroundImage(dc, reinterpret_cast<HBITMAP>(layouter_->backgroundImage()),
                            layouter_->imageMode(), client, area);
    }
    EndPaint(hwnd(), &ps);
}

namespace {

CQueltWindowImpl* makeWin32Impl(CQueltWinControl& control) {
    switch (control.windowKind()) {
    case WindowKind::container:
        return new CVWnd_Container(control);
    case WindowKind::form:
        return new CVWnd_WinForm(static_cast<rg_quelt_WTLJieMian_base::CQueltWinForm&>(control));
    case WindowKind::listView:
        return new CVWnd_ListView(
            static_cast<rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuang&>(control));
    case WindowKind::button:
    case WindowKind::label:
    case WindowKind::edit:
    case WindowKind::tab:
        return makeStandardControlWindow(control);
    default:
        return nullptr;
    }
}

} // namespace

void installWin32WindowLayer() { setWindowImplFactory(&makeWin32Impl); }
