#include "runtime/gui/rg_check_box.h"

#include "runtime/gui/StandardControlWindows.h"

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(rg_check_box, rg_AnNiuJiChuLei, "rg_quelt_WTLJieMian_base::rg_check_box")

rg_check_box::rg_check_box() { windowObject().setStyle(quelt_gui::kCheckBoxStyle); }

bool rg_check_box::isChecked() const {
    if (!hasWindow())
        return false;
    const auto* button = dynamic_cast<const IButtonWindow*>(windowObject().existingImpl());
    return button && button->checkState() == 1;
}

void rg_check_box::setChecked(bool checked) {
    if (!hasWindow())
        return;
    if (auto* button = dynamic_cast<IButtonWindow*>(windowObject().existingImpl()))
        button->setCheckState(checked ? 1 : 0);
}

} // namespace rg_quelt_WTLJieMian_base
