#pragma once
// rg_label1: a text label that paints itself: background colour (unless
// transparent), a background image, then the caption in its font, colour and
// alignment. kSystemColour stands for the system's window text colour (text) and
// button face (background). The font and the bitmap are native handles the caller
// keeps alive; the window paints with its own copy of the font.
#include "runtime/gui/ControlStyles.h"
#include "runtime/gui/WinControl.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_base {

class rg_label1 : public CQueltWinControl, public ILabelEventListener {
    QUELT_CLASS(rg_label1)

public:
    enum HorizontalAlignment : std::int32_t { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };
    enum VerticalAlignment : std::int32_t { kAlignTop = 0, kAlignMiddle = 1, kAlignBottom = 2 };

    rg_label1();

    WindowKind windowKind() const override { return WindowKind::label; }

    // 0: the framework's default font.
    std::uintptr_t font() const { return font_; }
    void setFont(std::uintptr_t font);
    std::uint32_t textColour() const { return textColour_; }
    void setTextColour(std::uint32_t colour);
    std::uint32_t backgroundColour() const { return backgroundColour_; }
    void setBackgroundColour(std::uint32_t colour);
    bool transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    std::uintptr_t backgroundImage() const { return backgroundImage_; }
    void setBackgroundImage(std::uintptr_t bitmap);
    // The container image modes: 0 top-left, 1 tiled, 2 fitted, 3 stretched.
    std::int32_t imageMode() const { return imageMode_; }
    void setImageMode(std::int32_t mode);
    // Out-of-range alignments count as left and top.
    std::int32_t horizontalAlignment() const { return horizontal_; }
    void setHorizontalAlignment(std::int32_t alignment);
    std::int32_t verticalAlignment() const { return vertical_; }
    void setVerticalAlignment(std::int32_t alignment);
    bool multiLine() const { return multiLine_; }
    void setMultiLine(bool multiLine);

    bool onWindowMessage(CQueltMessageRecord& record) override {
        return CQueltWinControl::onWindowMessage(record);
    }
    std::intptr_t onLabelNotification(std::uintptr_t wparam, std::intptr_t lparam) override {
        return labelNotification.fire(this, wparam, lparam);
    }

    CQueltEventSlot<std::uintptr_t, std::intptr_t> labelNotification;

protected:
    void prepareCreation(CQueltCreationRecord& record, std::uint32_t& style, std::uint32_t& exStyle) override;
    void styleFromProperties(std::uint32_t& style, std::uint32_t& exStyle) override;

private:
    void repaint();

    std::uintptr_t font_ = 0;
    std::uint32_t textColour_ = quelt_gui::kSystemColour;
    std::uint32_t backgroundColour_ = quelt_gui::kSystemColour;
    bool transparent_ = false;
    std::uintptr_t backgroundImage_ = 0;
    std::int32_t imageMode_ = 0;
    std::int32_t horizontal_ = kAlignLeft;
    std::int32_t vertical_ = kAlignTop;
    bool multiLine_ = false;
};

} // namespace rg_quelt_WTLJieMian_base
