#pragma once
// rg_AnNiuJiChuLei: the base of push buttons and check boxes. It fires clicked when
// the button is clicked (by mouse, keyboard or BM_CLICK), and keeps the text and
// background colours its window paints with; kSystemColour as background means the
// system's button face.
#include "runtime/gui/ControlStyles.h"
#include "runtime/gui/WinControl.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_base {

class rg_AnNiuJiChuLei : public CQueltWinControl, public IButtonEventListener {
    QUELT_CLASS(rg_AnNiuJiChuLei)

public:
    rg_AnNiuJiChuLei() = default;

    WindowKind windowKind() const override { return WindowKind::button; }

    std::uint32_t textColour() const { return textColour_; }
    void setTextColour(std::uint32_t colour);
    std::uint32_t backgroundColour() const { return backgroundColour_; }
    void setBackgroundColour(std::uint32_t colour);

    bool onWindowMessage(CQueltMessageRecord& record) override {
        return CQueltWinControl::onWindowMessage(record);
    }
    void onButtonClicked() override { clicked.fire(this); }

    CQueltEventSlot<> clicked;

private:
    void repaint();

    std::uint32_t textColour_ = 0;
    std::uint32_t backgroundColour_ = quelt_gui::kSystemColour;
};

} // namespace rg_quelt_WTLJieMian_base
