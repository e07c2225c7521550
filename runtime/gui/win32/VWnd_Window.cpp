#include "runtime/gui/win32/VWnd_Window.h"

#include "runtime/gui/CreationRecord.h"
#include "runtime/gui/DpiScale.h"
#include "runtime/gui/EventListeners.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/MainWindow.h"
#include "runtime/gui/WinControl.h"
#include "runtime/gui/win32/WideText.h"
#include "runtime/gui/win32/WindowDpi.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

using namespace quelt_gui;
using namespace win32_text;
using rg_quelt_WTLJieMian_base::CQueltWinControl;

namespace {

constexpr wchar_t kImplProperty[] = L"Quelt_CVWnd_Impl";

// The query object message's record.
struct QueryObjectRecord {
    const char* typeName;
    void* object;
};

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

// The system procedure behind each superclass of ours, found by class atom for the
// messages a window receives before its implementation is known.
struct Superclass {
    ATOM atom;
    WNDPROC systemProc;
};
std::vector<Superclass>& superclasses() {
    static std::vector<Superclass> list;
    return list;
}

WNDPROC systemProcOf(HWND window) {
    const auto atom = static_cast<ATOM>(GetClassLongPtrW(window, GCW_ATOM));
    for (const Superclass& s : superclasses())
        if (s.atom == atom)
            return s.systemProc;
    return nullptr;
}

} // namespace

CVWnd_Window::CVWnd_Window(CQueltWinControl& control) : control_(control) {}

CVWnd_Window::~CVWnd_Window() {
    if (window_ != 0 && exists())
        destroyNative();
}

CVWnd_Window* CVWnd_Window::fromWindow(HWND window) {
    return window ? static_cast<CVWnd_Window*>(GetPropW(window, kImplProperty)) : nullptr;
}

RECT CVWnd_Window::recordRect(const CQueltCreationRecord& record) {
    auto coordinate = [](std::int32_t v) { return v == kDefaultCoordinate ? 0 : v; };
    design_ = {coordinate(record.x), coordinate(record.y), coordinate(record.width),
               coordinate(record.height)};
    designed_ = true;
    dpi_ = windowDpi(reinterpret_cast<HWND>(record.parentWindow));
    const Rect scaled = scaleToDpi(design_, dpi_);
    return {scaled.x, scaled.y, scaled.x + scaled.width, scaled.y + scaled.height};
}

void CVWnd_Window::applyDpi(int dpi) {
    if (!exists() || dpi <= 0)
        return;
    dpi_ = dpi;
    if (ownerPlaced_)
        return;
    if (designed_) {
        const Rect r = scaleToDpi(design_, dpi);
        SetWindowPos(hwnd(), nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Only the framework's own default font is remade; one the program chose is its
    // own business.
    CWtlWndObject& object = control_.windowObject();
    if (!object.fontCreated() || !usesDefaultFont())
        return;
    if (HFONT font = createDefaultFontForDpi(dpi)) {
        setFont(reinterpret_cast<std::uintptr_t>(font));
        object.replaceFont(reinterpret_cast<std::uintptr_t>(font));
    }
}

bool CVWnd_Window::usesDefaultFont() const {
    return static_cast<std::uintptr_t>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)) ==
           control_.windowObject().font();
}

HMENU CVWnd_Window::menuArgument(const CQueltCreationRecord& record, std::uint32_t style) {
    return (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(record.identifier))
                              : reinterpret_cast<HMENU>(record.menu);
}

bool CVWnd_Window::createOwnClass(const wchar_t* className, const CQueltCreationRecord& record,
                                  const CWString& caption, std::uint32_t style, std::uint32_t exStyle,
                                  const RECT& rect) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!GetClassInfoExW(instance, className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CVWnd_Window::windowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc))
            return false;
    }
    previous_ = nullptr;
    return CreateWindowExW(exStyle, className, wide(caption), style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top,
                           reinterpret_cast<HWND>(record.parentWindow), menuArgument(record, style), instance,
                           this) != nullptr;
}

bool CVWnd_Window::createSubclassed(const wchar_t* systemClass, const CQueltCreationRecord& record,
                                    const CWString& caption, std::uint32_t style, std::uint32_t exStyle,
                                    const RECT& rect) {
    HWND window = CreateWindowExW(exStyle, systemClass, wide(caption), style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top,
                                  reinterpret_cast<HWND>(record.parentWindow), menuArgument(record, style),
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return false;
    if (!SetPropW(window, kImplProperty, this)) {
        DestroyWindow(window);
        return false;
    }
    window_ = reinterpret_cast<std::uintptr_t>(window);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CVWnd_Window::windowProc)));
    if (!previous_) {
        RemovePropW(window, kImplProperty);
        window_ = 0;
        DestroyWindow(window);
        return false;
    }
    return true;
}

bool CVWnd_Window::createSuperclassed(const wchar_t* systemClass, const wchar_t* superName,
                                      const CQueltCreationRecord& record, const CWString& caption,
                                      std::uint32_t style, std::uint32_t exStyle, const RECT& rect) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(nullptr, systemClass, &wc))
        return false;
    const WNDPROC systemProc = wc.lpfnWndProc;
    WNDCLASSEXW mine{};
    mine.cbSize = sizeof(mine);
    if (!GetClassInfoExW(instance, superName, &mine)) {
        wc.cbSize = sizeof(wc);
        wc.style &= ~CS_GLOBALCLASS;
        wc.lpfnWndProc = &CVWnd_Window::windowProc;
        wc.hInstance = instance;
        wc.lpszClassName = superName;
        const ATOM atom = RegisterClassExW(&wc);
        if (!atom)
            return false;
        superclasses().push_back({atom, systemProc});
    }
    previous_ = systemProc;
    return CreateWindowExW(exStyle, superName, wide(caption), style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top,
                           reinterpret_cast<HWND>(record.parentWindow), menuArgument(record, style), instance,
                           this) != nullptr;
}

bool CVWnd_Window::exists() const { return window_ != 0 && IsWindow(hwnd()); }

void CVWnd_Window::destroyNative() {
    if (exists())
        DestroyWindow(hwnd());
}

void CVWnd_Window::setText(const CWString& text) { SetWindowTextW(hwnd(), wide(text)); }

CWString CVWnd_Window::text() const {
    const int length = GetWindowTextLengthW(hwnd());
    if (length <= 0)
        return CWString();
    CWString out;
    char16_t* units = out.resizeForOverwrite(static_cast<std::size_t>(length));
    const int read = GetWindowTextW(hwnd(), wideBuffer(units), length + 1);
    return CWString(units, static_cast<std::size_t>(std::clamp(read, 0, length)));
}

void CVWnd_Window::invalidate(bool erase) { InvalidateRect(hwnd(), nullptr, erase ? TRUE : FALSE); }

std::uint32_t CVWnd_Window::style() const {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd(), GWL_STYLE));
}

std::uint32_t CVWnd_Window::exStyle() const {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE));
}

void CVWnd_Window::applyStyles(std::uint32_t style, std::uint32_t exStyle) {
    SetWindowLongPtrW(hwnd(), GWL_STYLE, static_cast<LONG_PTR>(style));
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The system's own call: it takes the focus and the mouse capture away from a
// window being disabled, and the control repaints itself dimmed.
void CVWnd_Window::enableInput(bool on) { EnableWindow(hwnd(), on ? TRUE : FALSE); }

std::uint32_t CVWnd_Window::dialogCode() {
    return static_cast<std::uint32_t>(SendMessageW(hwnd(), WM_GETDLGCODE, 0, 0));
}

void CVWnd_Window::setFont(std::uintptr_t font) {
    SendMessageW(hwnd(), WM_SETFONT, static_cast<WPARAM>(font), TRUE);
}

std::uintptr_t CVWnd_Window::createDefaultFont(std::uintptr_t parentWindow) {
    return reinterpret_cast<std::uintptr_t>(
        createDefaultFontForDpi(windowDpi(reinterpret_cast<HWND>(parentWindow))));
}

void CVWnd_Window::deleteFont(std::uintptr_t font) {
    if (font)
        DeleteObject(reinterpret_cast<HFONT>(font));
}

bool CVWnd_Window::keyIsDown(std::uint32_t virtualKey) const {
    return GetKeyState(static_cast<int>(virtualKey)) < 0;
}

void CVWnd_Window::showCursor(std::uintptr_t cursor) { SetCursor(reinterpret_cast<HCURSOR>(cursor)); }

std::uintptr_t CVWnd_Window::waitCursor() const {
    return reinterpret_cast<std::uintptr_t>(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
}

// The system asks for the cursor only when the mouse moves: ask the window under it
// now, as a move would.
void CVWnd_Window::refreshCursor() {
    POINT at{};
    if (!GetCursorPos(&at))
        return;
    HWND under = WindowFromPoint(at);
    if (!under || (under != hwnd() && !IsChild(hwnd(), under)))
        return;
    const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}

bool CVWnd_Window::startTimer(std::uint32_t id, std::uint32_t intervalMs) {
    return SetTimer(hwnd(), static_cast<UINT_PTR>(id), intervalMs, nullptr) != 0;
}

void CVWnd_Window::stopTimer(std::uint32_t id) { KillTimer(hwnd(), static_cast<UINT_PTR>(id)); }

void CVWnd_Window::takeDroppedFiles(std::uintptr_t drop, rg_quelt_base::rg_WenBenShuZuLei& paths) {
    HDROP files = reinterpret_cast<HDROP>(drop);
    if (!files)
        return;
    const UINT count = DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        wchar_t path[MAX_PATH + 1] = {};
        const UINT length = DragQueryFileW(files, i, path, MAX_PATH);
        if (length > 0)
            paths.Append(narrowView(path, std::min<UINT>(length, MAX_PATH)));
    }
    DragFinish(files);
}

LRESULT CALLBACK CVWnd_Window::windowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    CVWnd_Window* self = fromWindow(window);
    if (!self && message == WM_NCCREATE) {
        self = static_cast<CVWnd_Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        if (self) {
            SetPropW(window, kImplProperty, self);
            self->window_ = reinterpret_cast<std::uintptr_t>(window);
        }
    }
    if (!self) {
        // A superclassed window before its first message to us, or after its last.
        if (WNDPROC system = systemProcOf(window))
            return CallWindowProcW(system, window, message, wparam, lparam);
        return DefWindowProcW(window, message, wparam, lparam);
    }
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

LRESULT CVWnd_Window::defaultProcessing(UINT message, WPARAM wparam, LPARAM lparam) {
    if (previous_)
        return CallWindowProcW(previous_, hwnd(), message, wparam, lparam);
    return DefWindowProcW(hwnd(), message, wparam, lparam);
}

bool CVWnd_Window::handlePrivate(UINT message, WPARAM wparam, LRESULT& result) {
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
    default:
        return false;
    }
}

bool CVWnd_Window::reflectToChild(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    HWND child = notifyingChild(hwnd(), message, wparam, lparam);
    if (!child || child == hwnd() || !IsWindow(child) || !IsChild(hwnd(), child))
        return false;
    // Only the framework's own windows understand reflected notifications.
    if (!fromWindow(child))
        return false;
    result = SendMessageW(child, message + kReflectOffset, wparam, lparam);
    return true;
}

LRESULT CVWnd_Window::route(UINT message, WPARAM wparam, LPARAM lparam) {
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

    if (handleMessage(message, wparam, lparam, result))
        return result;
    if (message >= kReflectOffset && isReflectable(message - kReflectOffset))
        return DefWindowProcW(self, message - kReflectOffset, wparam, lparam);
    if (isReflectable(message) && reflectToChild(message, wparam, lparam, result))
        return result;
    return defaultProcessing(message, wparam, lparam);
}
