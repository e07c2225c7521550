#include "runtime/gui/rg_edit_box.h"

#include "runtime/gui/ControlStyles.h"
#include "runtime/gui/EditInputModes.h"
#include "runtime/gui/StandardControlWindows.h"

using namespace quelt_gui;

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(rg_edit_box, CQueltWinControl, "rg_quelt_WTLJieMian_base::rg_edit_box")

rg_edit_box::rg_edit_box() { windowObject().setStyle(kEditStyle); }

void rg_edit_box::setInputMode(std::int32_t mode) {
    inputMode_ = clampInputMode(mode);
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        if (auto* edit = dynamic_cast<IEditWindow*>(impl))
            edit->applyInputMode();
}

void rg_edit_box::styleFromProperties(std::uint32_t& style, std::uint32_t&) {
    if (multiLine_) {
        style |= kEsMultiLineSet;
        style &= ~kEsAutoHScroll;
    } else {
        style |= kEsAutoHScroll;
    }
}

bool rg_edit_box::onWindowMessage(CQueltMessageRecord& record) {
    // Focus events come from the edit notifications instead, after normalisation.
    if (record.message == kWmSetFocus || record.message == kWmKillFocus) {
        if (windowMessage.fire(this, record.window, record.message, record.wparam, record.lparam) == 0)
            return false;
        record.result = 0;
        return true;
    }
    return CQueltWinControl::onWindowMessage(record);
}

} // namespace rg_quelt_WTLJieMian_base
