#include "runtime/gui/win32/VWnd_ListViewEdit.h"

#include "runtime/gui/CreationRecord.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/win32/VWnd_ListView.h"

using namespace quelt_gui;

CVWnd_ListViewEdit::CVWnd_ListViewEdit(CVWnd_ListView& owner) : CVWnd_Window(owner.control()), owner_(owner) {
    placedByOwner();
}

CVWnd_ListViewEdit::~CVWnd_ListViewEdit() {
    if (exists())
        destroyNative();
}

bool CVWnd_ListViewEdit::createNative(const CQueltCreationRecord& record, const CWString& caption,
                                      std::uint32_t style, std::uint32_t exStyle) {
    if (!createSuperclassed(L"EDIT", L"Quelt_CVWnd_ListViewEdit", record, caption, style, exStyle,
                            recordRect(record)))
        return false;
    // The editor takes part in pre-translation, which is how it sees Enter and Esc
    // before a form turns them into its default and cancel actions.
    SetWindowLongPtrW(hwnd(), GWLP_USERDATA, kFrameworkMagic);
    return true;
}

bool CVWnd_ListViewEdit::handlePrivate(UINT message, WPARAM wparam, LRESULT& result) {
    if (message != kMsgPreTranslate)
        return CVWnd_Window::handlePrivate(message, wparam, result);
    const MSG* queued = reinterpret_cast<const MSG*>(wparam);
    if (!queued || queued->hwnd != hwnd() || queued->message != WM_KEYDOWN)
        return false;
    if (queued->wParam == VK_RETURN || queued->wParam == VK_ESCAPE) {
        owner_.finishCellEdit(queued->wParam == VK_RETURN);
        result = kFrameworkMagic;
        return true;
    }
    return false;
}

bool CVWnd_ListViewEdit::handleMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_KILLFOCUS:
        owner_.finishCellEdit(true);
        return false;
    case WM_GETDLGCODE:
        // The editor keeps every key while it is open, Tab and arrows included.
        result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
        return true;
    default:
        return false;
    }
}
