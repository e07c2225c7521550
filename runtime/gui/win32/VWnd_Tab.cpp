#include "runtime/gui/win32/VWnd_Tab.h"

#include "runtime/gui/EventListeners.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/TabCaptions.h"
#include "runtime/gui/TabPageLayout.h"
#include "runtime/gui/rg_XuanZeGa.h"
#include "runtime/gui/win32/WideText.h"

#include <commctrl.h>

#include <vector>

using namespace quelt_gui;
using namespace win32_text;
using rg_quelt_WTLJieMian_base::rg_XuanZeGa;

namespace {

bool takesFocus(HWND window) { return IsWindowVisible(window) && IsWindowEnabled(window); }

// The first control in tab order at `window` or inside it: the window itself when it
// is a tab stop, else the first one among its children when it holds controls (a
// group box), in the order of the children, as the dialog manager tabs.
HWND firstTabStopAt(HWND window) {
    if (!takesFocus(window))
        return nullptr;
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP)
        return window;
    if (!(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT))
        return nullptr;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND found = firstTabStopAt(child))
            return found;
    return nullptr;
}

} // namespace

CVWnd_Tab::CVWnd_Tab(rg_XuanZeGa& tab) : CVWnd_Window(tab), tab_(tab) {}

bool CVWnd_Tab::createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                             std::uint32_t exStyle) {
    if (!createSuperclassed(WC_TABCONTROLW, L"Quelt_CVWnd_Tab", record, caption, style, exStyle,
                            recordRect(record)))
        return false;
    if (tab_.imageList())
        SendMessageW(hwnd(), TCM_SETIMAGELIST, 0, static_cast<LPARAM>(tab_.imageList()));
    insertTabs();
    // The page controls come after the tab selector; the form sorts out their
    // visibility once the build has made them.
    postSelectionChanged();
    return true;
}

void CVWnd_Tab::insertTabs() {
    const bool images = SendMessageW(hwnd(), TCM_GETIMAGELIST, 0, 0) != 0;
    int index = 0;
    for (const TabCaption& tab : parseTabCaptions(tab_.captions().view())) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM | (images ? TCIF_IMAGE : 0);
        item.pszText = wideField(tab.caption);
        item.iImage = tab.image;
        item.lParam = 0;
        if (SendMessageW(hwnd(), TCM_INSERTITEMW, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&item)) != -1)
            ++index;
    }
}

void CVWnd_Tab::destroyPageControls() {
    // Collected first: destroying a window changes the chain being walked.
    std::vector<HWND> pages;
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::int32_t page = -1;
        if (SendMessageW(child, kMsgGetPageIndex, reinterpret_cast<WPARAM>(&page), kFrameworkMagic) ==
                kFrameworkMagic &&
            page >= 0)
            pages.push_back(child);
    }
    for (HWND page : pages)
        if (IsWindow(page))
            DestroyWindow(page);
}

void CVWnd_Tab::releasePageWindows() {
    for (const rg_XuanZeGa::PageWindow& page : tab_.pageWindows()) {
        HWND window = reinterpret_cast<HWND>(page.window);
        if (!window || !IsWindow(window))
            continue;
        if (page.keep)
            ShowWindow(window, SW_HIDE);
        else
            DestroyWindow(window);
    }
    tab_.releasePageWindows();
}

void CVWnd_Tab::placePageWindows() {
    RECT area{};
    GetClientRect(hwnd(), &area);
    SendMessageW(hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    const Rect display{area.left, area.top, area.right - area.left, area.bottom - area.top};
    for (const rg_XuanZeGa::PageWindow& page : tab_.pageWindows()) {
        HWND window = reinterpret_cast<HWND>(page.window);
        RECT own{};
        if (!window || !IsWindow(window) || !GetWindowRect(window, &own))
            continue;
        const Rect r = tabPageRect(display, own.right - own.left, own.bottom - own.top, page.placement);
        // The page may be a child of the tab selector or of its parent.
        POINT origin{r.x, r.y};
        MapWindowPoints(hwnd(), GetParent(window), &origin, 1);
        SetWindowPos(window, nullptr, origin.x, origin.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool CVWnd_Tab::showSelectedPage(bool focus) {
    const std::int32_t selected = currentSelection();
    const auto& pages = tab_.pageWindows();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        HWND window = reinterpret_cast<HWND>(pages[i].window);
        if (!window || !IsWindow(window) || static_cast<std::int32_t>(i) == selected)
            continue;
        ShowWindow(window, SW_HIDE);
    }
    if (selected < 0 || static_cast<std::size_t>(selected) >= pages.size())
        return false;
    HWND page = reinterpret_cast<HWND>(pages[static_cast<std::size_t>(selected)].window);
    if (!page || !IsWindow(page))
        return false;
    ShowWindow(page, SW_SHOW);
    InvalidateRect(page, nullptr, TRUE);
    if (focus)
        SetFocus(page);
    return true;
}

void CVWnd_Tab::focusSelectedPageControl() {
    const std::int32_t selected = currentSelection();
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::int32_t page = -1;
        if (SendMessageW(child, kMsgGetPageIndex, reinterpret_cast<WPARAM>(&page), kFrameworkMagic) !=
                kFrameworkMagic ||
            page != selected)
            continue;
        if (HWND first = firstTabStopAt(child)) {
            SetFocus(first);
            return;
        }
    }
}

void CVWnd_Tab::arrangePageWindows() {
    placePageWindows();
    showSelectedPage(false);
}

void CVWnd_Tab::applyCaptions() {
    releasePageWindows();
    SendMessageW(hwnd(), TCM_DELETEALLITEMS, 0, 0);
    destroyPageControls();
    insertTabs();
    postSelectionChanged();
}

std::int32_t CVWnd_Tab::currentSelection() const {
    return static_cast<std::int32_t>(SendMessageW(hwnd(), TCM_GETCURSEL, 0, 0));
}

void CVWnd_Tab::postSelectionChanged() {
    HWND desktop = GetDesktopWindow();
    for (HWND ancestor = GetAncestor(hwnd(), GA_PARENT); ancestor && ancestor != desktop;
         ancestor = GetAncestor(ancestor, GA_PARENT))
        PostMessageW(ancestor, kMsgTabSelectionChanged, reinterpret_cast<WPARAM>(hwnd()), kFrameworkMagic);
}

void CVWnd_Tab::sendSelectionChanged() {
    HWND desktop = GetDesktopWindow();
    for (HWND ancestor = GetAncestor(hwnd(), GA_PARENT); ancestor && ancestor != desktop;
         ancestor = GetAncestor(ancestor, GA_PARENT))
        if (SendMessageW(ancestor, kMsgTabSelectionChanged, reinterpret_cast<WPARAM>(hwnd()),
                         kFrameworkMagic) == kFrameworkMagic)
            return;
}

bool CVWnd_Tab::handlePrivate(UINT message, WPARAM wparam, LRESULT& result) {
    if (message == kMsgGetTabSelection) {
        if (!wparam)
            return false;
        *reinterpret_cast<std::int32_t*>(wparam) = currentSelection();
        result = kFrameworkMagic;
        return true;
    }
    return CVWnd_Window::handlePrivate(message, wparam, result);
}

bool CVWnd_Tab::handleMessage(UINT message, WPARAM, LPARAM lparam, LRESULT& result) {
    if (message == WM_SIZE) {
        if (LOWORD(lparam) > 0 && HIWORD(lparam) > 0)
            placePageWindows();
        return false;
    }
    if (message != WM_NOTIFY + kReflectOffset || !lparam)
        return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header->hwndFrom != hwnd())
        return false;
    auto* listener = dynamic_cast<ITabEventListener*>(this->listener());
    switch (header->code) {
    case static_cast<UINT>(TCN_SELCHANGING):
        // TRUE refuses the change.
        result = listener && !listener->onTabSelectionChanging() ? TRUE : FALSE;
        return true;
    case static_cast<UINT>(TCN_SELCHANGE): {
        const HWND self = hwnd();
        sendSelectionChanged();
        // The keyboard goes with the page: to its window, or to its first control,
        // never left on a control the page change has hidden.
        if (IsWindow(self) && !showSelectedPage(true) && IsWindow(self))
            focusSelectedPageControl();
        // The form's handling may have changed what listens.
        if (IsWindow(self))
            if (auto* now = dynamic_cast<ITabEventListener*>(this->listener()))
                now->onTabSelectionChanged();
        result = 0;
        return true;
    }
    case static_cast<UINT>(NM_CLICK):
        if (listener)
            listener->onTabClicked();
        result = 0;
        return true;
    default:
        return false;
    }
}
