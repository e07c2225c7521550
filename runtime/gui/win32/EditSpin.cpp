#include "runtime/gui/win32/EditSpin.h"

#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/SpinRule.h"
#include "runtime/gui/win32/VWnd_Edit.h"

#include <commctrl.h>

using namespace quelt_gui;

CEditSpin::CEditSpin(rg_quelt_WTLJieMian_base::CQueltWinControl& editControl, CVWnd_Edit& edit)
    : CVWnd_Window(editControl), edit_(edit) {
    placedByOwner();
}

bool CEditSpin::createNative(const CQueltCreationRecord& record, const CWString& caption, std::uint32_t style,
                             std::uint32_t exStyle) {
    return createSuperclassed(UPDOWN_CLASSW, L"Quelt_CEditSpin", record, caption, style, exStyle,
                              recordRect(record));
}

void CEditSpin::setRange(std::int32_t first, std::int32_t second) {
    const SpinRange range = spinRangeOf(first, second);
    SendMessageW(hwnd(), UDM_SETRANGE, 0,
                 MAKELPARAM(static_cast<WORD>(static_cast<std::int16_t>(range.maximum)),
                            static_cast<WORD>(static_cast<std::int16_t>(range.minimum))));
}

bool CEditSpin::handleMessage(UINT message, WPARAM, LPARAM lparam, LRESULT& result) {
    if (message != WM_NOTIFY + kReflectOffset || !lparam)
        return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header->code != static_cast<UINT>(UDN_DELTAPOS))
        return false;
    edit_.onSpinDelta(reinterpret_cast<const NMUPDOWN*>(lparam)->iDelta);
    result = 0;
    return true;
}
