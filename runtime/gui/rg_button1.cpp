#include "runtime/gui/rg_button1.h"

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(rg_button1, rg_AnNiuJiChuLei, "rg_quelt_WTLJieMian_base::rg_button1")

rg_button1::rg_button1() { windowObject().setStyle(quelt_gui::kButtonStyle); }

} // namespace rg_quelt_WTLJieMian_base
