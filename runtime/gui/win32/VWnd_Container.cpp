#include "runtime/gui/win32/VWnd_Container.h"

#include "runtime/gui/CreationRecord.h"
#include "runtime/gui/EventListeners.h"
#include "runtime/gui/Geometry.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/MainWindow.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_ZuJianBuJuQi.h"
#include "runtime/gui/win32/VWnd_WinForm.h"

#include <shellapi.h>

#include <algorithm>

using namespace quelt_gui;
using rg_quelt_WTLJieMian_base::CQueltWinControl;
using rg_quelt_WTLJieMian_base::rg_ZuJianBuJuQi;

namespace {

constexpr wchar_t kImplProperty[] = L"Quelt_CVWnd_Impl";

// The query object message's record.
struct QueryObjectRecord {
    const char* typeName;
    void* object;
};

bool registerClass(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, name, &wc))
        return true;
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

bool isReflectable(UINT message) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_PARENTNOTIFY:
        return true;
    default:
        return false;
    }
}

// The child window a notification to its parent concerns, or null.
HWND notifyingChild(HWND parent, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lparam);
    case WM_NOTIFY:
        return lparam ? reinterpret_cast<NMHDR*>(lparam)->hwndFrom : nullptr;
    case WM_DRAWITEM:
        return wparam && lparam ? reinterpret_cast<DRAWITEMSTRUCT*>(lparam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
        return wparam && lparam ? GetDlgItem(parent, reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->CtlID)
                                : nullptr;
    case WM_DELETEITEM:
        return wparam && lparam ? reinterpret_cast<DELETEITEMSTRUCT*>(lparam)->hwndItem : nullptr;
    case WM_COMPAREITEM:
        return wparam && lparam ? reinterpret_cast<COMPAREITEMSTRUCT*>(lparam)->hwndItem : nullptr;
    case WM_PARENTNOTIFY:
        switch (LOWORD(wparam)) {
        case WM_CREATE:
        case WM_DESTROY:
            return reinterpret_cast<HWND>(lparam);
        default:
            return GetDlgItem(parent, HIWORD(wparam));
        }
    default:
        return reinterpret_cast<HWND>(lparam);
    }
}

} // namespace

CVWnd_Container::CVWnd_Container(CQueltWinControl& control)
    : control_(control), layouter_(dynamic_cast<rg_ZuJianBuJuQi*>(&control)) {}

CVWnd_Container::~CVWnd_Container() {
    if (window_ != 0 && exists())
        destroyNative();
}

CVWnd_Container* CVWnd_Container::fromWindow(HWND window) {
    return window ? static_cast<CVWnd_Container*>(GetPropW(window, kImplProperty)) : nullptr;
}

bool CVWnd_Container::exists() const { return window_ != 0 && IsWindow(hwnd()); }

void CVWnd_Container::creationRect(const CQueltCreationRecord& record, std::uint32_t, std::uint32_t,
                                   RECT& rect) {
    auto coordinate = [](std::int32_t v) { return v == kDefaultCoordinate ? 0 : v; };
    rect.left = coordinate(record.x);
    rect.top = coordinate(record.y);
    rect.right = rect.left + coordinate(record.width);
    rect.bottom = rect.top + coordinate(record.height);
}

bool CVWnd_Container::createNative(const CQueltCreationRecord& record, const CWString& caption,
                                   std::uint32_t style, std::uint32_t exStyle) {
    if (!registerClass(className(), &CVWnd_Container::windowProc))
        return false;
    RECT rect{};
    creationRect(record, style, exStyle, rect);
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(record.identifier))
                                    : reinterpret_cast<HMENU>(record.menu);
    HWND window =
        CreateWindowExW(exStyle, className(), reinterpret_cast<LPCWSTR>(caption.text()), style, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        reinterpret_cast<HWND>(record.parentWindow), menu, GetModuleHandleW(nullptr), this);
    if (!window)
        return false;
    // Layouter windows take part in the message loop's pre-translation.
    SetWindowLongPtrW(window, GWLP_USERDATA, kFrameworkMagic);
    return true;
}

void CVWnd_Container::destroyNative() {
    if (exists())
        DestroyWindow(hwnd());
}

void CVWnd_Container::setText(const CWString& text) {
    SetWindowTextW(hwnd(), reinterpret_cast<LPCWSTR>(text.text()));
}

CWString CVWnd_Container::text() const {
    const int length = GetWindowTextLengthW(hwnd());
    if (length <= 0)
        return CWString();
    CWString out;
    char16_t* units = out.resizeForOverwrite(static_cast<std::size_t>(length));
    const int read = GetWindowTextW(hwnd(), reinterpret_cast<LPWSTR>(units), length + 1);
    return CWString(units, static_cast<std::size_t>(std::clamp(read, 0, length)));
}

void CVWnd_Container::invalidate(bool erase) { InvalidateRect(hwnd(), nullptr, erase ? TRUE : FALSE); }

std::uint32_t CVWnd_Container::style() const {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd(), GWL_STYLE));
}

std::uint32_t CVWnd_Container::exStyle() const {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE));
}

void CVWnd_Container::applyStyles(std::uint32_t style, std::uint32_t exStyle) {
    SetWindowLongPtrW(hwnd(), GWL_STYLE, static_cast<LONG_PTR>(style));
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

std::uint32_t CVWnd_Container::dialogCode() {
    return static_cast<std::uint32_t>(SendMessageW(hwnd(), WM_GETDLGCODE, 0, 0));
}

void CVWnd_Container::setFont(std::uintptr_t font) {
    SendMessageW(hwnd(), WM_SETFONT, static_cast<WPARAM>(font), TRUE);
}

std::uintptr_t CVWnd_Container::createDefaultFont() {
    LOGFONTW face{};
    if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(face), &face) == 0)
        return 0;
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    face.lfHeight = -(dpi * 9 / 72);
    return reinterpret_cast<std::uintptr_t>(CreateFontIndirectW(&face));
}

void CVWnd_Container::deleteFont(std::uintptr_t font) {
    if (font)
        DeleteObject(reinterpret_cast<HFONT>(font));
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

bool CVWnd_Container::keyIsDown(std::uint32_t virtualKey) const {
    return GetKeyState(static_cast<int>(virtualKey)) < 0;
}

void CVWnd_Container::showCursor(std::uintptr_t cursor) { SetCursor(reinterpret_cast<HCURSOR>(cursor)); }

void CVWnd_Container::takeDroppedFiles(std::uintptr_t drop, rg_quelt_base::rg_WenBenShuZuLei& paths) {
    HDROP files = reinterpret_cast<HDROP>(drop);
    if (!files)
        return;
    const UINT count = DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        wchar_t path[MAX_PATH + 1] = {};
        const UINT length = DragQueryFileW(files, i, path, MAX_PATH);
        if (length > 0)
            paths.Append(std::u16string_view(reinterpret_cast<const char16_t*>(path),
                                             std::min<UINT>(length, MAX_PATH)));
    }
    DragFinish(files);
}

LRESULT CALLBACK CVWnd_Container::windowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    CVWnd_Container* self = fromWindow(window);
    if (!self && message == WM_NCCREATE) {
        self = static_cast<CVWnd_Container*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        if (self) {
            SetPropW(window, kImplProperty, self);
            self->window_ = reinterpret_cast<std::uintptr_t>(window);
        }
    }
    if (!self)
        return DefWindowProcW(window, message, wparam, lparam);
    LRESULT result = 0;
    try {
        result = self->route(message, wparam, lparam);
    } catch (...) {
        // No exception leaves a window procedure.
        result = 0;
    }
    if (message == WM_NCDESTROY) {
        RemovePropW(window, kImplProperty);
        if (self->window_ == reinterpret_cast<std::uintptr_t>(window))
            self->window_ = 0;
    }
    return result;
}

LRESULT CVWnd_Container::defaultProcessing(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd(), message, wparam, lparam);
}

bool CVWnd_Container::handlePrivate(UINT message, WPARAM wparam, LRESULT& result) {
    result = kFrameworkMagic;
    switch (message) {
    case kMsgGetVisibleFlag:
        if (!wparam)
            return false;
        *reinterpret_cast<std::int32_t*>(wparam) = visibleFlag() ? 1 : 0;
        return true;
    case kMsgSetVisibleFlag:
        setVisibleFlag(wparam != 0);
        return true;
    case kMsgRemoveWindowFilter:
        filters().remove(reinterpret_cast<IQueltWindowProcFilter*>(wparam));
        return true;
    case kMsgAddWindowFilter:
        filters().add(reinterpret_cast<IQueltWindowProcFilter*>(wparam));
        return true;
    case kMsgSetPageIndex:
        setPageIndex(static_cast<std::int32_t>(wparam));
        return true;
    case kMsgGetPageIndex:
        if (!wparam)
            return false;
        *reinterpret_cast<std::int32_t*>(wparam) = pageIndex();
        return true;
    case kMsgQueryObject: {
        auto* query = reinterpret_cast<QueryObjectRecord*>(wparam);
        if (!query || !query->typeName || lstrcmpA(query->typeName, typeName()) != 0)
            return false;
        query->object = this;
        return true;
    }
    case kMsgPreTranslate:
        // Containers relay to their tool tips only, which this program never gives tools.
        return false;
    default:
        return false;
    }
}

bool CVWnd_Container::reflectToChild(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    HWND child = notifyingChild(hwnd(), message, wparam, lparam);
    if (!child || child == hwnd() || !IsWindow(child) || !IsChild(hwnd(), child))
        return false;
    // Only the framework's own windows understand reflected notifications.
    if (!fromWindow(child))
        return false;
    result = SendMessageW(child, message + kReflectOffset, wparam, lparam);
    return true;
}

LRESULT CVWnd_Container::route(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND self = hwnd();
    LRESULT result = 0;
    if (message >= kMsgGetVisibleFlag && message <= kMsgHostWantsKey && lparam == kFrameworkMagic &&
        handlePrivate(message, wparam, result))
        return result;

    std::intptr_t filtered = 0;
    if (!filters().empty() &&
        filters().run(window_, message, wparam, static_cast<std::intptr_t>(lparam), filtered))
        return filtered;

    if (message == WM_DESTROY && reinterpret_cast<std::uintptr_t>(self) == mainWindowHandle())
        PostQuitMessage(0);

    if (IBaseEventListener* listener = this->listener()) {
        CQueltMessageRecord record;
        record.window = window_;
        record.message = message;
        record.wparam = wparam;
        record.lparam = lparam;
        const bool handled = listener->onWindowMessage(record);
        if (handled)
            return record.result;
        if (hwnd() != self || !IsWindow(self))
            return 0;
        wparam = record.wparam;
    }

    if (message >= kReflectOffset && isReflectable(message - kReflectOffset))
        return DefWindowProcW(self, message - kReflectOffset, wparam, lparam);

    if (isReflectable(message) && reflectToChild(message, wparam, lparam, result))
        return result;

    if (handleMessage(message, wparam, lparam, result))
        return result;
    return defaultProcessing(message, wparam, lparam);
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
        if (!layouter_->transparent()) {
            const std::uint32_t colour = layouter_->backgroundColour();
            HBRUSH brush = colour == rg_ZuJianBuJuQi::kSystemFaceColour ? GetSysColorBrush(COLOR_BTNFACE)
                                                                        : CreateSolidBrush(colour);
            FillRect(dc, &area, brush);
            if (colour != rg_ZuJianBuJuQi::kSystemFaceColour)
                DeleteObject(brush);
        }
        drawImage(dc, client, area);
    }
    EndPaint(hwnd(), &ps);
}

void CVWnd_Container::drawImage(HDC dc, const RECT& client, const RECT& clip) {
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(layouter_->backgroundImage());
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0)
        return;
    HDC source = CreateCompatibleDC(dc);
    if (!source)
        return;
    HGDIOBJ previous = SelectObject(source, bitmap);
    const bool alpha = info.bmBitsPixel == 32 && info.bmBits != nullptr;
    const int iw = info.bmWidth, ih = info.bmHeight;
    auto draw = [&](int x, int y, int w, int h) {
        if (alpha) {
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            GdiAlphaBlend(dc, x, y, w, h, source, 0, 0, iw, ih, blend);
        } else if (w == iw && h == ih) {
            BitBlt(dc, x, y, w, h, source, 0, 0, SRCCOPY);
        } else {
            StretchBlt(dc, x, y, w, h, source, 0, 0, iw, ih, SRCCOPY);
        }
    };
    const int cw = client.right - client.left, ch = client.bottom - client.top;
    const int mode = layouter_->imageMode();
    if (mode == rg_ZuJianBuJuQi::kImageFitted || mode == rg_ZuJianBuJuQi::kImageStretched)
        SetStretchBltMode(dc, GetDeviceCaps(dc, BITSPIXEL) > 16 ? HALFTONE : COLORONCOLOR);
    switch (mode) {
    case rg_ZuJianBuJuQi::kImageTiled: {
        const TileRange tiles =
            tilesCovering({clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top}, iw, ih);
        for (int row = 0; row < tiles.rows; ++row)
            for (int column = 0; column < tiles.columns; ++column)
                draw((tiles.firstColumn + column) * iw, (tiles.firstRow + row) * ih, iw, ih);
        break;
    }
    case rg_ZuJianBuJuQi::kImageFitted: {
        const Rect r = fittedImageRect(cw, ch, iw, ih);
        if (!r.empty())
            draw(r.x, r.y, r.width, r.height);
        break;
    }
    case rg_ZuJianBuJuQi::kImageStretched:
        draw(0, 0, cw, ch);
        break;
    default:
        draw(0, 0, iw, ih);
        break;
    }
    SelectObject(source, previous);
    DeleteDC(source);
}

namespace {

CQueltWindowImpl* makeWin32Impl(CQueltWinControl& control) {
    switch (control.windowKind()) {
    case WindowKind::container:
        return new CVWnd_Container(control);
    case WindowKind::form:
        return new CVWnd_WinForm(static_cast<rg_quelt_WTLJieMian_base::CQueltWinForm&>(control));
    default:
        return nullptr;
    }
}

} // namespace

void installWin32WindowLayer() { setWindowImplFactory(&makeWin32Impl); }
