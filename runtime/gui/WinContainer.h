#pragma once
// CQueltWinContainer: a control that holds other controls. Its window is a control
// parent, so dialog navigation walks into it.
#include "runtime/gui/WinControl.h"

namespace rg_quelt_WTLJieMian_base {

class CQueltWinContainer : public CQueltWinControl {
    QUELT_CLASS(CQueltWinContainer)

public:
    CQueltWinContainer() = default;

    WindowKind windowKind() const override { return WindowKind::container; }

protected:
    void prepareCreation(CQueltCreationRecord& record, std::uint32_t& style, std::uint32_t& exStyle) override;
};

} // namespace rg_quelt_WTLJieMian_base
