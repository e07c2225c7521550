#include "runtime/gui/win32/VWnd_Edit.h"

#include "runtime/gui/ControlStyles.h"
#include "runtime/gui/CreationRecord.h"
#include "runtime/gui/DpiScale.h"
#include "runtime/gui/EditInputModes.h"
#include "runtime/gui/EventListeners.h"
#include "runtime/gui/LeadingNumber.h"
#include "runtime/gui/SpinRule.h"
#include "runtime/gui/rg_edit_box.h"
#include "runtime/gui/win32/WindowDpi.h"

#include <commctrl.h>
#include <windowsx.h>

using namespace quelt_gui;
using rg_quelt_WTLJieMian_base::rg_edit_box;

namespace {
constexpr std::int32_t kSpinIdentifierOffset = 1000;
} // namespace

CVWnd_Edit::CVWnd_Edit(rg_edit_box& edit) : CVWnd_Window(edit), edit_(edit) {}

CVWnd_Edit::~CVWnd_Edit() {
    if (window_ != 0 && exists())
        destroyNative();
    spin_.reset();
}

HWND CVWnd_Edit::spinWindow() const { return spin_ && spin_->exists() ? spin_->hwnd() : nullptr; }

bool CVWnd_Edit::createNative(const CQueltCreationRecord& record, const CWString& caption,
                              std::uint32_t style, std::uint32_t exStyle) {
    if (!createSuperclassed(L"EDIT", L"Quelt_CVWnd_Edit", record, caption, style, exStyle,
                            recordRect(record)))
        return false;
    if (edit_.maxLength() > 0)
        SendMessageW(hwnd(), EM_LIMITTEXT, static_cast<WPARAM>(edit_.maxLength()), 0);
    applyInputMode();
    if (!edit_.multiLine() && edit_.spinMode() != rg_edit_box::kSpinNone)
        createSpin(record, style);
    return true;
}

void CVWnd_Edit::createSpin(const CQueltCreationRecord& record, std::uint32_t style) {
    auto spin = std::make_unique<CEditSpin>(edit_, *this);
    CQueltCreationRecord spinRecord;
    spinRecord.parentWindow = record.parentWindow;
    spinRecord.identifier = record.identifier + kSpinIdentifierOffset;
    // In the record's own 96-DPI numbers; placeSpin puts it beside the box.
    spinRecord.x = record.x + record.width;
    spinRecord.y = record.y;
    spinRecord.width = systemMetricForDpi(SM_CXVSCROLL, kDesignDpi);
    spinRecord.height = record.height;
    const std::uint32_t spinStyle = WS_CHILD | (style & (WS_VISIBLE | WS_DISABLED));
    if (!spin->createNative(spinRecord, CWString(), spinStyle, 0) || !spin->exists()) {
        // Without its button the box works as one without spin.
        edit_.setSpinMode(rg_edit_box::kSpinNone);
        return;
    }
    spin->setRange(edit_.spinMinimum(), edit_.spinMaximum());
    spin_ = std::move(spin);
    placeSpin(0);
}

void CVWnd_Edit::placeSpin(UINT showOrHide) {
    HWND spin = spinWindow();
    if (!spin)
        return;
    RECT r{};
    GetWindowRect(hwnd(), &r);
    MapWindowPoints(nullptr, GetParent(hwnd()), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(spin, hwnd(), r.right, r.top, systemMetricForDpi(SM_CXVSCROLL, dpi()), r.bottom - r.top,
                 SWP_NOACTIVATE | showOrHide);
}

void CVWnd_Edit::applyInputMode() {
    const std::int32_t mode = edit_.inputMode();
    SendMessageW(hwnd(), EM_SETPASSWORDCHAR,
                 mode == kInputPassword ? static_cast<WPARAM>(edit_.passwordChar()) : 0, 0);
    SendMessageW(hwnd(), EM_SETREADONLY, mode == kInputReadOnly ? TRUE : FALSE, 0);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void CVWnd_Edit::normalise() {
    const CWString current = text();
    const CWString wanted = normalisedInputText(edit_.inputMode(), current.view());
    if (wanted.view() == current.view())
        return;
    DWORD start = 0;
    SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    rewriting_ = true;
    setText(wanted);
    rewriting_ = false;
    SendMessageW(hwnd(), EM_SETSEL, start, start);
    SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
}

void CVWnd_Edit::onSpinDelta(int delta) {
    if (!IsWindowEnabled(hwnd()) || !IsWindowVisible(hwnd()))
        return;
    if (edit_.spinMode() == rg_edit_box::kSpinAutomatic) {
        const LRESULT range = SendMessageW(spinWindow(), UDM_GETRANGE, 0, 0);
        const SpinRange limits{static_cast<std::int16_t>(HIWORD(range)),
                               static_cast<std::int16_t>(LOWORD(range))};
        const std::int64_t value = spinStep(leadingInteger64(text().view()), delta, limits);
        setText(CWString::fromInteger(value));
        SendMessageW(hwnd(), EM_SETSEL, 0, -1);
        SendMessageW(hwnd(), EM_SCROLLCARET, 0, 0);
        SetFocus(hwnd());
    } else if (edit_.spinMode() != rg_edit_box::kSpinNone) {
        if (auto* listener = dynamic_cast<IEditEventListener*>(this->listener()))
            listener->onEditSpin(spinDirection(delta));
    }
}

bool CVWnd_Edit::centred() const { return !edit_.multiLine() && lineHeight_ > 0; }

HBRUSH CVWnd_Edit::backgroundBrush() const {
    const bool grey = !IsWindowEnabled(hwnd()) || (style() & kEsReadOnly);
    return GetSysColorBrush(grey ? COLOR_BTNFACE : COLOR_WINDOW);
}

void CVWnd_Edit::fitFont() {
    HDC dc = GetDC(hwnd());
    if (!dc)
        return;
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    const bool measured = GetTextMetricsW(dc, &metrics) != FALSE;
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(hwnd(), dc);
    if (!measured)
        return;
    lineHeight_ = metrics.tmHeight;
    const int minimum = metrics.tmHeight + 2 * systemMetricForDpi(SM_CYEDGE, dpi()) + scaleToDpi(2, dpi());
    RECT r{};
    GetWindowRect(hwnd(), &r);
    if (r.bottom - r.top < minimum)
        SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, minimum,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool CVWnd_Edit::handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND + kReflectOffset: {
        auto* listener = this->listener();
        switch (HIWORD(wparam)) {
        case EN_CHANGE:
            if (!rewriting_)
                if (auto* edit = dynamic_cast<IEditEventListener*>(listener))
                    edit->onEditContentChanged();
            break;
        case EN_SETFOCUS:
            if (listener)
                edit_.gotFocus.fire(&edit_);
            break;
        case EN_KILLFOCUS:
            normalise();
            if (listener)
                edit_.lostFocus.fire(&edit_);
            break;
        default:
            return false;
        }
        result = 0;
        return true;
    }
    case WM_CHAR:
        if (!inputModeAccepts(edit_.inputMode(), static_cast<char16_t>(wparam))) {
            MessageBeep(MB_ICONEXCLAMATION);
            result = 0;
            return true;
        }
        return false;
    case WM_KEYDOWN:
        // A multi-line box would close its dialog on Esc.
        if (wparam == VK_ESCAPE && edit_.multiLine()) {
            result = 0;
            return true;
        }
        return false;
    case WM_SETFONT:
        result = defaultProcessing(message, wparam, lparam);
        if (!edit_.multiLine())
            fitFont();
        return true;
    case WM_NCCALCSIZE: {
        result = defaultProcessing(message, wparam, lparam);
        if (centred() && lparam) {
            RECT& client = wparam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam)->rgrc[0]
                                  : *reinterpret_cast<RECT*>(lparam);
            const int space = client.bottom - client.top;
            if (space > lineHeight_) {
                client.top += (space - lineHeight_) / 2;
                client.bottom = client.top + lineHeight_;
            }
        }
        return true;
    }
    case WM_NCHITTEST: {
        result = defaultProcessing(message, wparam, lparam);
        if (centred()) {
            POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
            RECT window{}, client{};
            GetWindowRect(hwnd(), &window);
            GetClientRect(hwnd(), &client);
            MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
            if (PtInRect(&window, p) && !PtInRect(&client, p))
                result = HTBORDER;
        }
        return true;
    }
    case WM_NCPAINT:
        if (centred()) {
            if (HDC dc = GetWindowDC(hwnd())) {
                RECT window{}, client{};
                GetWindowRect(hwnd(), &window);
                GetClientRect(hwnd(), &client);
                MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
                OffsetRect(&client, -window.left, -window.top);
                OffsetRect(&window, -window.left, -window.top);
                ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
                FillRect(dc, &window, backgroundBrush());
                ReleaseDC(hwnd(), dc);
            }
        }
        return false;
    case WM_WINDOWPOSCHANGED: {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lparam);
        UINT showOrHide = 0;
        if (position && (position->flags & SWP_SHOWWINDOW))
            showOrHide = SWP_SHOWWINDOW;
        else if (position && (position->flags & SWP_HIDEWINDOW))
            showOrHide = SWP_HIDEWINDOW;
        placeSpin(showOrHide);
        return false;
    }
    case WM_ENABLE:
        if (HWND spin = spinWindow())
            EnableWindow(spin, wparam ? TRUE : FALSE);
        return false;
    case WM_DESTROY:
        if (spin_)
            spin_->destroyNative();
        return false;
    default:
        return false;
    }
}
