#include "runtime/gui/rg_FenZuKuang.h"

#include "runtime/gui/ControlStyles.h"

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(rg_FenZuKuang, CQueltWinContainer, "rg_quelt_WTLJieMian_base::rg_FenZuKuang")

rg_FenZuKuang::rg_FenZuKuang() { windowObject().setStyle(quelt_gui::kGroupBoxStyle); }

} // namespace rg_quelt_WTLJieMian_base
