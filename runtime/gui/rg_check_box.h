#pragma once
// rg_check_box: a check box that toggles itself when clicked and fires clicked.
#include "runtime/gui/rg_AnNiuJiChuLei.h"

namespace rg_quelt_WTLJieMian_base {

class rg_check_box : public rg_AnNiuJiChuLei {
    QUELT_CLASS(rg_check_box)

public:
    rg_check_box();

    // True only while the box shows a check; false without a window.
    bool isChecked() const;
    // Shows a check or none; does nothing without a window.
    void setChecked(bool checked);
};

} // namespace rg_quelt_WTLJieMian_base
