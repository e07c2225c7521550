#include "runtime/gui/rg_AnNiuJiChuLei.h"

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(rg_AnNiuJiChuLei, CQueltWinControl, "rg_quelt_WTLJieMian_base::rg_AnNiuJiChuLei")

void rg_AnNiuJiChuLei::repaint() {
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        impl->invalidate(true);
}

void rg_AnNiuJiChuLei::setTextColour(std::uint32_t colour) {
    textColour_ = colour;
    repaint();
}

void rg_AnNiuJiChuLei::setBackgroundColour(std::uint32_t colour) {
    backgroundColour_ = colour;
    repaint();
}

} // namespace rg_quelt_WTLJieMian_base
