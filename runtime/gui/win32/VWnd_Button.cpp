#include "runtime/gui/win32/VWnd_Button.h"

#include "runtime/gui/ControlStyles.h"
#include "runtime/gui/CreationRecord.h"
#include "runtime/gui/EventListeners.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_AnNiuJiChuLei.h"

using namespace quelt_gui;
using rg_quelt_WTLJieMian_base::CQueltWinControl;
using rg_quelt_WTLJieMian_base::CQueltWinForm;
using rg_quelt_WTLJieMian_base::rg_AnNiuJiChuLei;

namespace {

// The record the query object message fills.
struct QueryObjectRecord {
    const char* typeName;
    void* object;
};

COLORREF effectiveBackground(std::uint32_t colour) {
    return colour == kSystemColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

} // namespace

CVWnd_Button::CVWnd_Button(CQueltWinControl& control) : CVWnd_Window(control) {}

CVWnd_Button::~CVWnd_Button() {
    // The window goes first: it may still paint with the brush.
    if (window_ != 0 && exists())
        destroyNative();
    if (brush_)
        DeleteObject(brush_);
}

bool CVWnd_Button::createNative(const CQueltCreationRecord& record, const CWString& caption,
                                std::uint32_t style, std::uint32_t exStyle) {
    if (!createSubclassed(L"BUTTON", record, caption, style, exStyle, recordRect(record)))
        return false;
    if ((style & kBsKindMask) == kBsDefPushButton)
        registerAsDefault(record.identifier);
    return true;
}

void CVWnd_Button::registerAsDefault(std::int32_t identifier) {
    for (HWND ancestor = GetParent(hwnd()); ancestor; ancestor = GetParent(ancestor)) {
        QueryObjectRecord query{"CVWnd_WinForm", nullptr};
        if (SendMessageW(ancestor, kMsgQueryObject, reinterpret_cast<WPARAM>(&query), kFrameworkMagic) ==
                kFrameworkMagic &&
            query.object) {
            auto* form = dynamic_cast<CQueltWinForm*>(&static_cast<CVWnd_Window*>(query.object)->control());
            if (form)
                form->setDefaultButton(identifier);
            return;
        }
        if (!(GetWindowLongPtrW(ancestor, GWL_STYLE) & WS_CHILD))
            return;
    }
}

std::int32_t CVWnd_Button::checkState() const {
    return static_cast<std::int32_t>(SendMessageW(hwnd(), BM_GETCHECK, 0, 0));
}

void CVWnd_Button::setCheckState(std::int32_t state) {
    SendMessageW(hwnd(), BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

HBRUSH CVWnd_Button::backgroundBrush() {
    const auto* button = dynamic_cast<rg_AnNiuJiChuLei*>(&control_);
    const COLORREF colour = effectiveBackground(button ? button->backgroundColour() : kSystemColour);
    if (!brush_ || brushColour_ != colour) {
        HBRUSH made = CreateSolidBrush(colour);
        if (!made)
            return brush_ ? brush_ : GetSysColorBrush(COLOR_BTNFACE);
        if (brush_)
            DeleteObject(brush_);
        brush_ = made;
        brushColour_ = colour;
    }
    return brush_;
}

bool CVWnd_Button::handleMessage(UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_COMMAND + kReflectOffset:
        if (HIWORD(wparam) == BN_CLICKED) {
            if (auto* listener = dynamic_cast<IButtonEventListener*>(this->listener()))
                listener->onButtonClicked();
            result = 0;
            return true;
        }
        return false;
    case WM_CTLCOLORMSGBOX + kReflectOffset:
    case WM_CTLCOLOREDIT + kReflectOffset:
    case WM_CTLCOLORLISTBOX + kReflectOffset:
    case WM_CTLCOLORBTN + kReflectOffset:
    case WM_CTLCOLORDLG + kReflectOffset:
    case WM_CTLCOLORSCROLLBAR + kReflectOffset:
    case WM_CTLCOLORSTATIC + kReflectOffset: {
        HDC dc = reinterpret_cast<HDC>(wparam);
        const auto* button = dynamic_cast<rg_AnNiuJiChuLei*>(&control_);
        SetTextColor(dc, button ? static_cast<COLORREF>(button->textColour()) : 0);
        SetBkColor(dc, effectiveBackground(button ? button->backgroundColour() : kSystemColour));
        result = reinterpret_cast<LRESULT>(backgroundBrush());
        return true;
    }
    case WM_ERASEBKGND:
        // Check boxes, radio buttons and group boxes show their background around
        // the part the system draws.
        if ((style() & 0x7) != 0) {
            RECT client{};
            GetClientRect(hwnd(), &client);
            FillRect(reinterpret_cast<HDC>(wparam), &client, backgroundBrush());
            result = 1;
            return true;
        }
        return false;
    default:
        return false;
    }
}
