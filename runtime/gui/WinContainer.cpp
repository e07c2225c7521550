#include "runtime/gui/WinContainer.h"

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(CQueltWinContainer, CQueltWinControl, "rg_quelt_WTLJieMian_base::CQueltWinContainer")

void CQueltWinContainer::prepareCreation(CQueltCreationRecord& record, std::uint32_t& style,
                                         std::uint32_t& exStyle) {
    CQueltWinControl::prepareCreation(record, style, exStyle);
    exStyle |= quelt_gui::kWsExControlParent;
}

} // namespace rg_quelt_WTLJieMian_base
