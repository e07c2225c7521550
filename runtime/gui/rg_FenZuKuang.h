#pragma once
// rg_FenZuKuang: a group box, a framed caption that holds other controls. Its
// children are created with the group box as parent window and follow it when a
// tab page shows or hides it.
#include "runtime/gui/WinContainer.h"

namespace rg_quelt_WTLJieMian_base {

class rg_FenZuKuang : public CQueltWinContainer, public IButtonEventListener {
    QUELT_CLASS(rg_FenZuKuang)

public:
    rg_FenZuKuang();

    WindowKind windowKind() const override { return WindowKind::button; }

    bool onWindowMessage(CQueltMessageRecord& record) override {
        return CQueltWinControl::onWindowMessage(record);
    }
    // A group box has no click event of its own.
    void onButtonClicked() override {}
};

} // namespace rg_quelt_WTLJieMian_base
