#pragma once
// rg_button1: a push button. A style with BS_DEFPUSHBUTTON makes it its form's
// default button when its window is created.
#include "runtime/gui/rg_AnNiuJiChuLei.h"

namespace rg_quelt_WTLJieMian_base {

class rg_button1 : public rg_AnNiuJiChuLei {
    QUELT_CLASS(rg_button1)

public:
    rg_button1();
};

} // namespace rg_quelt_WTLJieMian_base
