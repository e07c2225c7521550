#include "runtime/gui/win32/VWnd_WinForm.h"

#include "runtime/core/Paths.h"
#include "runtime/gui/CreationRecord.h"
#include "runtime/gui/DpiScale.h"
#include "runtime/gui/FormStyles.h"
#include "runtime/gui/Geometry.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/KeyCodes.h"
#include "runtime/gui/MainWindow.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/win32/MainMessageLoop.h"
#include "runtime/gui/win32/WideText.h"
#include "runtime/gui/win32/WindowDpi.h"

#include <commctrl.h>

#include <string>

using namespace quelt_gui;
using namespace win32_text;
using rg_quelt_WTLJieMian_base::CQueltWinForm;
using rg_quelt_WTLJieMian_base::rg_ChuangKouWeiZhiXianZhiXinXi;

namespace {

constexpr UINT kForwardMessage = 0x037F; // WM_FORWARDMSG: a child's chance to take a queued message
constexpr UINT kMenuClosed = 0xFFFF;     // WM_MENUSELECT's flags when the menu closes
constexpr UINT kDpiChanged = 0x02E0;     // WM_DPICHANGED, which older headers lack
// The kinds of a tray icon's mouse event the form reports.
constexpr std::int32_t kTrayClick = 1;
constexpr std::int32_t kTrayDoubleClick = 2;
constexpr std::int32_t kTrayMenu = 3;

bool classIs(HWND window, const wchar_t* name) {
    wchar_t buffer[64] = {};
    return window && GetClassNameW(window, buffer, 64) > 0 && lstrcmpiW(buffer, name) == 0;
}

// A child with `identifier` under `parent`, also inside nested containers.
HWND findChild(HWND parent, int identifier) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == identifier)
            return child;
        if (HWND inner = findChild(child, identifier))
            return inner;
    }
    return nullptr;
}

struct EnumRecord {
    std::vector<HWND>* windows;
    DWORD process;
};

BOOL CALLBACK collectEnabled(HWND window, LPARAM parameter) {
    auto* record = reinterpret_cast<EnumRecord*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == record->process && window != GetDesktopWindow() && IsWindowVisible(window) &&
        IsWindowEnabled(window))
        record->windows->push_back(window);
    return TRUE;
}

// What a dialog-framed modal form is made with, whatever its own properties say.
constexpr std::uint32_t kDialogFrameStyle = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;

// The owner of a modal form: the top-level window above the given parent; without
// one, the last active popup of the main window; else the active window, else the
// desktop.
HWND modalOwnerFor(HWND parent) {
    HWND owner = nullptr;
    if (parent) {
        owner = GetAncestor(parent, GA_ROOT);
    } else {
        HWND start = reinterpret_cast<HWND>(mainWindowHandle());
        while (start && IsWindow(start) && (GetWindowLongPtrW(start, GWL_STYLE) & WS_CHILD))
            start = GetParent(start);
        if (start && IsWindow(start))
            owner = GetLastActivePopup(start);
    }
    if (!owner)
        owner = GetActiveWindow();
    if (!owner)
        owner = GetDesktopWindow();
    return owner;
}

bool isTabSelector(HWND window) {
    std::int32_t selected = -1;
    return SendMessageW(window, kMsgGetTabSelection, reinterpret_cast<WPARAM>(&selected), kFrameworkMagic) ==
           kFrameworkMagic;
}

// Ctrl+Tab and Ctrl+Shift+Tab turn to the next or previous page, as a click on its
// tab would, with the same notifications.
void turnPage(HWND tab, bool back) {
    const auto count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    if (count < 2)
        return;
    const auto current = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    const int next = ((current < 0 ? 0 : current) + (back ? count - 1 : 1)) % count;
    SendMessageW(tab, TCM_SETCURFOCUS, static_cast<WPARAM>(next), 0);
}

} // namespace

HWND CVWnd_WinForm::tabSelectorFor(HWND focus) const {
    HWND self = hwnd();
    // The one the focus is on or in, else the form's first.
    for (HWND window = focus; window && window != self; window = GetParent(window))
        if (isTabSelector(window))
            return window;
    for (HWND child = GetWindow(self, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && IsWindowEnabled(child) && isTabSelector(child))
            return child;
    return nullptr;
}

CVWnd_WinForm::CVWnd_WinForm(CQueltWinForm& form) : CVWnd_Container(form), form_(form) {}

void CVWnd_WinForm::creationRect(const CQueltCreationRecord& record, std::uint32_t style,
                                 std::uint32_t exStyle, RECT& rect) {
    // A top-level form opens on the primary monitor, or on its owner's: the design
    // is scaled for that one's DPI. A screen position is no layout and stays.
    const int dpi = windowDpi(reinterpret_cast<HWND>(record.parentWindow));
    setLayoutDpi(dpi);
    const bool child = (style & WS_CHILD) != 0;
    std::int32_t width = scaleToDpi(record.width, dpi);
    std::int32_t height = scaleToDpi(record.height, dpi);
    if (width == kDefaultCoordinate || height == kDefaultCoordinate) {
        const Rect frame = frameExtra(style, exStyle, record.menu != 0 && record.parentWindow == 0, dpi);
        if (width == kDefaultCoordinate)
            width = windowExtentFromClient(scaleToDpi(form_.designClientWidth(), dpi), frame.width);
        if (height == kDefaultCoordinate)
            height = windowExtentFromClient(scaleToDpi(form_.designClientHeight(), dpi), frame.height);
    }
    std::int32_t x = child ? scaleToDpi(record.x, dpi) : record.x;
    std::int32_t y = child ? scaleToDpi(record.y, dpi) : record.y;
    if (x == kDefaultCoordinate)
        x = child ? 0 : centredOrigin(GetSystemMetrics(SM_CXSCREEN), width);
    if (y == kDefaultCoordinate)
        y = child ? 0 : centredOrigin(GetSystemMetrics(SM_CYSCREEN), height);
    rect = {x, y, x + width, y + height};
    // A form inside another moves with the layout when the DPI changes.
    if (child)
        rememberDesign({x == 0 ? 0 : record.x, y == 0 ? 0 : record.y, rescaleForDpi(width, dpi, kDesignDpi),
                        rescaleForDpi(height, dpi, kDesignDpi)});
}

Rect CVWnd_WinForm::frameExtra(std::uint32_t style, std::uint32_t exStyle, bool menu, int dpi) {
    RECT frame{0, 0, 0, 0};
    adjustWindowRectForDpi(frame, style, menu, exStyle, dpi);
    return {0, 0, frame.right - frame.left, frame.bottom - frame.top};
}

void CVWnd_WinForm::fitDesignToDpi(const CQueltCreationRecord& record, std::uint32_t style,
                                   std::uint32_t exStyle) {
    // Made on a monitor of another DPI than the one it was sized for (the controls,
    // made during creation, already took the window's own): the designed client
    // size again, at the window's DPI.
    const int actual = windowDpi(hwnd());
    if (actual == dpi())
        return;
    setLayoutDpi(actual);
    if (record.width != kDefaultCoordinate && record.height != kDefaultCoordinate)
        return;
    RECT now{};
    GetWindowRect(hwnd(), &now);
    const Rect frame = frameExtra(style, exStyle, record.menu != 0 && record.parentWindow == 0, actual);
    const int width =
        record.width != kDefaultCoordinate
            ? now.right - now.left
            : windowExtentFromClient(scaleToDpi(form_.designClientWidth(), actual), frame.width);
    const int height =
        record.height != kDefaultCoordinate
            ? now.bottom - now.top
            : windowExtentFromClient(scaleToDpi(form_.designClientHeight(), actual), frame.height);
    SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The caption shows the small icon, Alt+Tab the big one: each drawn for its size
// at the form's DPI (the icon resource holds 16 to 256 pixels), rather than one
// image stretched by the system. Where the sizes cannot be had, the shared icon.
void CVWnd_WinForm::applyIcons(int dpi) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const wchar_t* resource = MAKEINTRESOURCEW(form_.iconResource());
    auto load = [&](int width, int height) {
        return static_cast<HICON>(LoadImageW(instance, resource, IMAGE_ICON, systemMetricForDpi(width, dpi),
                                             systemMetricForDpi(height, dpi), LR_DEFAULTCOLOR));
    };
    HICON small = load(SM_CXSMICON, SM_CYSMICON);
    HICON big = load(SM_CXICON, SM_CYICON);
    HICON shared = small && big ? nullptr : LoadIconW(instance, resource);
    if (!small && !big && !shared)
        return;
    HWND self = hwnd();
    SendMessageW(self, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small : shared));
    SendMessageW(self, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big ? big : shared));
    // The icons the window showed until now are no longer in use.
    for (HICON old : {smallIcon_, bigIcon_})
        if (old)
            DestroyIcon(old);
    smallIcon_ = small;
    bigIcon_ = big;
}

void CVWnd_WinForm::releaseIcons() {
    if (!smallIcon_ && !bigIcon_)
        return;
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, 0);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, 0);
    for (HICON icon : {smallIcon_, bigIcon_})
        if (icon)
            DestroyIcon(icon);
    smallIcon_ = bigIcon_ = nullptr;
}

// The system suggests where the form goes at its new DPI; every window of the
// framework inside it is laid out again from its 96-DPI numbers.
void CVWnd_WinForm::onDpiChanged(int newDpi, const RECT* suggested) {
    HWND self = hwnd();
    if (newDpi <= 0)
        return;
    if (suggested)
        SetWindowPos(self, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    applyDpi(newDpi);
    applyIcons(newDpi);
    // Parents come before their children, so a group is in place before what it holds.
    EnumChildWindows(
        self,
        [](HWND child, LPARAM dpi) -> BOOL {
            if (CVWnd_Window* window = fromWindow(child))
                window->applyDpi(static_cast<int>(dpi));
            return TRUE;
        },
        static_cast<LPARAM>(newDpi));
    RedrawWindow(self, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool CVWnd_WinForm::createNative(const CQueltCreationRecord& given, const CWString& caption,
                                 std::uint32_t style, std::uint32_t exStyle) {
    CQueltCreationRecord record = given;
    if (record.showModal) {
        disabled_.clear();
        focusBefore_ = GetFocus();
        EnumRecord collect{&disabled_, GetCurrentProcessId()};
        EnumWindows(&collectEnabled, reinterpret_cast<LPARAM>(&collect));
        for (HWND w : disabled_)
            EnableWindow(w, FALSE);
        HWND owner = modalOwnerFor(reinterpret_cast<HWND>(record.parentWindow));
        modalOwner_ = owner;
        if (owner == GetDesktopWindow())
            owner = nullptr;
        record.parentWindow = reinterpret_cast<std::uintptr_t>(owner);
        if (owner && (style & (WS_CHILD | WS_POPUP)) == 0)
            style |= WS_POPUP;
    }
    dialogFrame_ = record.showModal && record.dialogFrame;
    bool created = false;
    if (dialogFrame_) {
        // Sized for the ordinary frame, centred on the owner's monitor, then made
        // with the dialog's own styles.
        RECT rect{};
        creationRect(record, style, exStyle, rect);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        HMONITOR monitor = modalOwner_ ? MonitorFromWindow(modalOwner_, MONITOR_DEFAULTTONEAREST) : nullptr;
        if (monitor && GetMonitorInfoW(monitor, &info) && record.x == kDefaultCoordinate &&
            record.y == kDefaultCoordinate)
            OffsetRect(&rect, info.rcMonitor.left, info.rcMonitor.top);
        created = createAt(record, caption, kDialogFrameStyle, kWsExDlgModalFrame, rect);
    } else {
        created = CVWnd_Container::createNative(record, caption, style, exStyle);
    }
    if (!created) {
        for (HWND w : disabled_)
            if (IsWindow(w))
                EnableWindow(w, TRUE);
        disabled_.clear();
        return false;
    }
    HWND self = hwnd();
    fitDesignToDpi(record, style, exStyle);
    if (!dialogFrame_)
        applyCaptionBits();
    applyIcons(dpi());
    applyShape(form_.windowShape());
    if (form_.topmost())
        SetWindowPos(self, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!form_.movable())
        if (HMENU system = GetSystemMenu(self, FALSE))
            DeleteMenu(system, SC_MOVE, MF_BYCOMMAND);
    if (record.menu && record.parentWindow == 0)
        SetMenu(self, reinterpret_cast<HMENU>(record.menu));
    if (IsWindowVisible(self) && !(GetWindowLongPtrW(self, GWL_STYLE) & WS_CHILD))
        applyState(form_.windowState());
    return true;
}

void CVWnd_WinForm::afterCreation(CQueltCreationRecord& record) {
    if (record.showModal)
        runModalLoop(record);
}

void CVWnd_WinForm::endModalWith(std::int32_t result) {
    if (form_.isModal()) {
        form_.endModal(result);
        PostMessageW(hwnd(), WM_NULL, 0, 0);
    }
}

void CVWnd_WinForm::runModalLoop(CQueltCreationRecord& record) {
    HWND self = hwnd();
    const std::uintptr_t previousMain = mainWindowHandle();
    if (previousMain == 0)
        setMainWindowHandle(reinterpret_cast<std::uintptr_t>(self));
    form_.setModalState(true, 0);
    form_.onFormModalLoopStarting();
    bool quit = false;
    WPARAM quitCode = 0;
    if (IsWindow(self) && form_.isModal()) {
        MSG message;
        while (form_.isModal()) {
            const BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got == -1)
                continue;
            if (got == 0) {
                // The application is ending: leave the loop and pass the quit on.
                quit = true;
                quitCode = message.wParam;
                break;
            }
            if (!preTranslateChain(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    const std::int32_t result = form_.isModal() ? -1 : form_.modalResult();
    form_.setModalState(false, result);
    record.modalResult = result;
    if (previousMain == 0)
        setMainWindowHandle(0);
    for (HWND w : disabled_)
        if (IsWindow(w))
            EnableWindow(w, TRUE);
    disabled_.clear();
    if (modalOwner_ && IsWindow(modalOwner_))
        SetActiveWindow(modalOwner_);
    if (IsWindow(self))
        DestroyWindow(self);
    if (focusBefore_ && IsWindow(focusBefore_))
        SetFocus(focusBefore_);
    focusBefore_ = nullptr;
    modalOwner_ = nullptr;
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}

void CVWnd_WinForm::applyCaptionBits() {
    HWND self = hwnd();
    const std::uint32_t current = style();
    const std::uint32_t wanted =
        (current & ~kCaptionBitsMask) | captionBits(form_.styleInput(false), text().view());
    if (wanted != current)
        applyStyles(wanted, exStyle());
    (void)self;
}

bool CVWnd_WinForm::openHelp() {
    const CWString path = helpFilePath(form_.helpFile());
    if (path.isEmpty())
        return false;
    const std::int32_t context = form_.helpContext();
    helpOpened_ = WinHelpW(hwnd(), wide(path), context ? HELP_CONTEXT : HELP_FINDER,
                           static_cast<ULONG_PTR>(context)) != FALSE;
    return true;
}

bool CVWnd_WinForm::preTranslate(MSG& message) {
    HWND self = hwnd();
    if (form_.onFormPreTranslate(&message))
        return true;
    const bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const auto key = static_cast<std::uint32_t>(message.wParam);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (keyDown && normaliseKeyCode(key, ctrl) != 0 && !IsWindowEnabled(message.hwnd))
        return false;
    if (keyDown && key == VK_ESCAPE) {
        if (!form_.escCloses())
            return false;
        PostMessageW(self, WM_CLOSE, 0, 0);
        return true;
    }
    if (message.message == WM_LBUTTONDOWN && form_.dragByClientArea() &&
        (message.hwnd == self || (SendMessageW(message.hwnd, WM_GETDLGCODE, 0, 0) & DLGC_STATIC))) {
        ReleaseCapture();
        PostMessageW(self, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return true;
    }
    HWND focus = GetFocus();
    const bool inEdit = classIs(focus, L"Edit");
    if (keyDown && ctrl && inEdit && (key == 'A' || key == 'C' || key == 'V' || key == 'X'))
        return false;
    if (keyDown && key == VK_TAB && ctrl) {
        if (HWND tab = tabSelectorFor(focus)) {
            turnPage(tab, GetKeyState(VK_SHIFT) < 0);
            return true;
        }
    }
    if (keyDown && key == VK_TAB && !inEdit) {
        const bool back = GetKeyState(VK_SHIFT) < 0;
        if (HWND next = GetNextDlgTabItem(self, focus, back ? TRUE : FALSE))
            SetFocus(next);
        return true;
    }
    if (keyDown && key == VK_RETURN && form_.defaultButton() == 0)
        return false;
    if (keyDown && key == VK_F1 && openHelp())
        return true;
    // The focused child directly under the form may take the message itself.
    HWND direct = focus;
    while (direct && GetParent(direct) && GetParent(direct) != self)
        direct = GetParent(direct);
    if (direct && GetParent(direct) == self &&
        SendMessageW(direct, kForwardMessage, 0, reinterpret_cast<LPARAM>(&message)) == 1)
        return true;
    if (message.message == WM_CHAR)
        return false;
    enterKey_ = keyDown && key == VK_RETURN;
    const bool consumed = IsDialogMessageW(self, &message) != FALSE;
    enterKey_ = false;
    return consumed;
}

bool CVWnd_WinForm::handlePrivate(UINT message, WPARAM wparam, LRESULT& result) {
    if (message == kMsgPreTranslate) {
        auto* queued = reinterpret_cast<MSG*>(wparam);
        if (!queued || !preTranslate(*queued))
            return false;
        result = kFrameworkMagic;
        return true;
    }
    if (message == kMsgTabSelectionChanged) {
        HWND tab = reinterpret_cast<HWND>(wparam);
        std::int32_t selected = -1;
        if (!tab || SendMessageW(tab, kMsgGetTabSelection, reinterpret_cast<WPARAM>(&selected),
                                 kFrameworkMagic) != kFrameworkMagic)
            return false;
        for (HWND child = GetWindow(tab, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            std::int32_t page = -1;
            if (SendMessageW(child, kMsgGetPageIndex, reinterpret_cast<WPARAM>(&page), kFrameworkMagic) !=
                    kFrameworkMagic ||
                page < 0)
                continue;
            std::int32_t visible = 0;
            SendMessageW(child, kMsgGetVisibleFlag, reinterpret_cast<WPARAM>(&visible), kFrameworkMagic);
            ShowWindow(child, page == selected && visible ? SW_SHOWNA : SW_HIDE);
        }
        InvalidateRect(tab, nullptr, TRUE);
        result = kFrameworkMagic;
        return true;
    }
    return CVWnd_Container::handlePrivate(message, wparam, result);
}

bool CVWnd_WinForm::handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_DESTROY:
        return onLifetimeMessage(message, wparam, lparam, result);
    case WM_ACTIVATE:
    case WM_NCACTIVATE:
        return onActivationMessage(message, wparam, lparam, result);
    case WM_GETMINMAXINFO:
    case WM_SIZE:
        return onGeometryMessage(message, wparam, lparam, result);
    case kDpiChanged:
        onDpiChanged(LOWORD(wparam), reinterpret_cast<const RECT*>(lparam));
        result = 0;
        return true;
    case WM_MENUSELECT:
    case kMsgDeferredNotify:
        return onMenuOrTrayMessage(message, wparam, lparam, result);
    case DM_GETDEFID:
    case WM_COMMAND:
        return onDialogMessage(message, wparam, lparam, result);
    case WM_PAINT:
    case WM_SETTEXT:
        return onFrameMessage(message, wparam, lparam, result);
    default:
        return CVWnd_Container::handleMessage(message, wparam, lparam, result);
    }
}

bool CVWnd_WinForm::onLifetimeMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    HWND self = hwnd();
    if (message == WM_QUERYENDSESSION) {
        result = form_.onFormQueryClose() ? TRUE : FALSE;
        return true;
    }
    if (message == WM_CLOSE) {
        result = 0;
        // Either question may destroy the window: it is asked after each.
        if (!form_.onFormCloseRequest() || !IsWindow(self) || !form_.onFormQueryClose() || !IsWindow(self))
            return true;
        if (form_.isModal()) {
            endModalWith(-1);
            return true;
        }
        return false; // default processing destroys the window
    }
    if (helpOpened_) {
        WinHelpW(self, nullptr, HELP_QUIT, 0);
        helpOpened_ = false;
    }
    releaseIcons();
    if (form_.isModal())
        endModalWith(-1);
    return CVWnd_Container::handleMessage(message, wparam, lparam, result);
}

bool CVWnd_WinForm::onActivationMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (message == WM_NCACTIVATE) {
        // A caption kept active is drawn as active also while another window is.
        if (wparam == FALSE && form_.keepCaptionActive()) {
            result = defaultProcessing(message, IsWindowEnabled(hwnd()), lparam);
            return true;
        }
        return false;
    }
    // A handler may activate another window: the events of that do not nest.
    if (activating_)
        return false;
    activating_ = true;
    if (LOWORD(wparam) == WA_INACTIVE) {
        form_.onFormDeactivated();
    } else {
        if (!activatedOnce_) {
            activatedOnce_ = true;
            form_.onFormFirstActivation();
        }
        form_.onFormActivated();
    }
    activating_ = false;
    return false;
}

bool CVWnd_WinForm::onGeometryMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (message == WM_SIZE) {
        applyShape(form_.windowShape());
        return CVWnd_Container::handleMessage(message, wparam, lparam, result);
    }
    result = defaultProcessing(message, wparam, lparam);
    auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
    if (!info)
        return true;
    info->ptMinTrackSize = {1, 1};
    rg_ChuangKouWeiZhiXianZhiXinXi limits;
    limits.maximisedSize = {info->ptMaxSize.x, info->ptMaxSize.y};
    limits.maximisedPosition = {info->ptMaxPosition.x, info->ptMaxPosition.y};
    limits.minimumTrackingSize = {info->ptMinTrackSize.x, info->ptMinTrackSize.y};
    limits.maximumTrackingSize = {info->ptMaxTrackSize.x, info->ptMaxTrackSize.y};
    if (form_.onFormSizeLimits(limits)) {
        info->ptMaxSize = {limits.maximisedSize.width, limits.maximisedSize.height};
        info->ptMaxPosition = {limits.maximisedPosition.x, limits.maximisedPosition.y};
        info->ptMinTrackSize = {limits.minimumTrackingSize.width, limits.minimumTrackingSize.height};
        info->ptMaxTrackSize = {limits.maximumTrackingSize.width, limits.maximumTrackingSize.height};
    }
    return true;
}

bool CVWnd_WinForm::onMenuOrTrayMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (message == WM_MENUSELECT) {
        const UINT flags = HIWORD(wparam);
        // Closed, a submenu (the system menu's too) or a separator: no item.
        const bool none =
            (flags == kMenuClosed && lparam == 0) || (flags & MF_POPUP) || (flags & MF_SEPARATOR);
        form_.onFormMenuSelected(none ? 0 : LOWORD(wparam));
        return false;
    }
    const UINT mouse = static_cast<UINT>(lparam);
    const std::int32_t kind = mouse == WM_LBUTTONUP                                ? kTrayClick
                              : mouse == WM_LBUTTONDBLCLK                          ? kTrayDoubleClick
                              : (mouse == WM_RBUTTONUP || mouse == WM_CONTEXTMENU) ? kTrayMenu
                                                                                   : 0;
    if (kind)
        form_.onFormTrayEvent(kind);
    result = 0;
    return true;
}

bool CVWnd_WinForm::onDialogMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    if (message == DM_GETDEFID) {
        if (form_.defaultButton() != 0 && findChild(hwnd(), form_.defaultButton())) {
            result = MAKELRESULT(form_.defaultButton(), DC_HASDEFID);
            return true;
        }
        return false;
    }
    // Enter from a button that is not the default push button is not a click.
    const HWND from = reinterpret_cast<HWND>(lparam);
    if (enterKey_ && from && classIs(from, L"BUTTON") &&
        (GetWindowLongPtrW(from, GWL_STYLE) & BS_TYPEMASK) != BS_DEFPUSHBUTTON) {
        result = 0;
        return true;
    }
    return CVWnd_Container::handleMessage(message, wparam, lparam, result);
}

bool CVWnd_WinForm::onFrameMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    HWND self = hwnd();
    if (message == WM_SETTEXT) {
        result = defaultProcessing(message, wparam, lparam);
        // A dialog frame keeps the bits it was made with.
        if (!dialogFrame_)
            applyCaptionBits();
        return true;
    }
    // A minimised form shows its icon.
    if (IsIconic(self)) {
        if (HICON icon = reinterpret_cast<HICON>(SendMessageW(self, WM_GETICON, ICON_BIG, 0))) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(self, &ps);
            RECT r{};
            GetClientRect(self, &r);
            DrawIcon(dc, centredOrigin(r.right, GetSystemMetrics(SM_CXICON)),
                     centredOrigin(r.bottom, GetSystemMetrics(SM_CYICON)), icon);
            EndPaint(self, &ps);
            result = 0;
            return true;
        }
    }
    return CVWnd_Container::handleMessage(message, wparam, lparam, result);
}
