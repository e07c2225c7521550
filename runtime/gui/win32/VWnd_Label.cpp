#include "runtime/gui/win32/VWnd_Label.h"

#include "runtime/gui/ControlStyles.h"
#include "runtime/gui/EventListeners.h"
#include "runtime/gui/rg_label1.h"
#include "runtime/gui/win32/BackgroundImage.h"
#include "runtime/gui/win32/WideText.h"

using namespace quelt_gui;
using namespace win32_text;
using rg_quelt_WTLJieMian_base::rg_label1;

CVWnd_Label::CVWnd_Label(rg_label1& label) : CVWnd_Window(label), label_(label) {}

CVWnd_Label::~CVWnd_Label() {
    if (window_ != 0 && exists())
        destroyNative();
    keepFont(nullptr);
}

bool CVWnd_Label::createNative(const CQueltCreationRecord& record, const CWString& caption,
                               std::uint32_t style, std::uint32_t exStyle) {
    return createOwnClass(L"Quelt_CVWnd_Label", record, caption, style, exStyle, recordRect(record));
}

// The window answers with its copy; whether that copies the default font is the
// label's to say.
bool CVWnd_Label::usesDefaultFont() const { return label_.font() == 0; }

void CVWnd_Label::keepFont(HFONT font) {
    HFONT copy = nullptr;
    LOGFONTW face{};
    if (font && GetObjectW(font, sizeof(face), &face) != 0)
        copy = CreateFontIndirectW(&face);
    if (font_)
        DeleteObject(font_);
    font_ = copy;
}

void CVWnd_Label::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    if (!dc)
        return;
    RECT client{}, clip{}, area{};
    GetClientRect(hwnd(), &client);
    GetClipBox(dc, &clip);
    if (IntersectRect(&area, &clip, &client)) {
        if (!label_.transparent())
            fillBackground(dc, area, label_.backgroundColour());
        drawBackgroundImage(dc, reinterpret_cast<HBITMAP>(label_.backgroundImage()), label_.imageMode(),
                            client, area);
        const CWString caption = text();
        if (!caption.isEmpty()) {
            HGDIOBJ font = font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT);
            HGDIOBJ previous = SelectObject(dc, font);
            SetBkMode(dc, TRANSPARENT);
            const std::uint32_t colour = label_.textColour();
            SetTextColor(dc, colour == kSystemColour ? GetSysColor(COLOR_WINDOWTEXT) : colour);
            UINT format = DT_NOPREFIX;
            switch (label_.horizontalAlignment()) {
            case rg_label1::kAlignCentre:
                format |= DT_CENTER;
                break;
            case rg_label1::kAlignRight:
                format |= DT_RIGHT;
                break;
            default:
                format |= DT_LEFT;
                break;
            }
            if (label_.multiLine()) {
                format |= DT_WORDBREAK;
            } else {
                format |= DT_SINGLELINE;
                if (label_.verticalAlignment() == rg_label1::kAlignMiddle)
                    format |= DT_VCENTER;
                else if (label_.verticalAlignment() == rg_label1::kAlignBottom)
                    format |= DT_BOTTOM;
            }
            RECT box = client;
            DrawTextW(dc, wide(caption), static_cast<int>(caption.length()), &box, format);
            if (previous)
                SelectObject(dc, previous);
        }
    }
    EndPaint(hwnd(), &ps);
}

bool CVWnd_Label::handleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
    case kMsgLabelNotify:
        if (auto* listener = dynamic_cast<ILabelEventListener*>(this->listener()))
            result = listener->onLabelNotification(wparam, lparam);
        else
            result = 0;
        return true;
    case WM_SETFONT:
        keepFont(reinterpret_cast<HFONT>(wparam));
        if (LOWORD(lparam))
            InvalidateRect(hwnd(), nullptr, TRUE);
        result = 0;
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(font_);
        return true;
    case WM_GETDLGCODE:
        result = DLGC_STATIC;
        return true;
    case WM_SETTEXT:
        // The text is painted from the window text, so a new one repaints.
        result = defaultProcessing(message, wparam, lparam);
        InvalidateRect(hwnd(), nullptr, TRUE);
        return true;
    case WM_ERASEBKGND:
        // Painting covers the background (or leaves it, when transparent).
        result = 1;
        return true;
    case WM_PAINT:
        paint();
        result = 0;
        return true;
    case WM_MOVE:
        if (label_.transparent()) {
            // What lay under the label shows through at its new place.
            HWND top = GetAncestor(hwnd(), GA_ROOT);
            RECT r{};
            GetClientRect(hwnd(), &r);
            MapWindowPoints(hwnd(), top, reinterpret_cast<POINT*>(&r), 2);
            RedrawWindow(top, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        return false;
    default:
        return false;
    }
}
