#include "runtime/gui/rg_label1.h"

#include <algorithm>

using namespace quelt_gui;

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(rg_label1, CQueltWinControl, "rg_quelt_WTLJieMian_base::rg_label1")

rg_label1::rg_label1() { windowObject().setStyle(kLabelStyle); }

void rg_label1::prepareCreation(CQueltCreationRecord& record, std::uint32_t& style, std::uint32_t& exStyle) {
    CQueltWinControl::prepareCreation(record, style, exStyle);
    if (font_ != 0)
        record.font = font_;
}

void rg_label1::styleFromProperties(std::uint32_t&, std::uint32_t& exStyle) {
    // Siblings under a transparent label paint first.
    if (transparent_)
        exStyle |= kWsExTransparent;
}

void rg_label1::repaint() {
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        impl->invalidate(true);
}

void rg_label1::setFont(std::uintptr_t font) {
    font_ = font;
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (font != 0 && impl && impl->window() != 0 && impl->exists())
        impl->setFont(font); // repaints
}

void rg_label1::setTextColour(std::uint32_t colour) {
    textColour_ = colour;
    repaint();
}

void rg_label1::setBackgroundColour(std::uint32_t colour) {
    backgroundColour_ = colour;
    repaint();
}

void rg_label1::setTransparent(bool transparent) {
    transparent_ = transparent;
    repaint();
}

void rg_label1::setBackgroundImage(std::uintptr_t bitmap) {
    backgroundImage_ = bitmap;
    repaint();
}

void rg_label1::setImageMode(std::int32_t mode) {
    imageMode_ = std::clamp(mode, 0, 3);
    repaint();
}

void rg_label1::setHorizontalAlignment(std::int32_t alignment) {
    horizontal_ = alignment >= kAlignLeft && alignment <= kAlignRight ? alignment : kAlignLeft;
    repaint();
}

void rg_label1::setVerticalAlignment(std::int32_t alignment) {
    vertical_ = alignment >= kAlignTop && alignment <= kAlignBottom ? alignment : kAlignTop;
    repaint();
}

void rg_label1::setMultiLine(bool multiLine) {
    multiLine_ = multiLine;
    repaint();
}

} // namespace rg_quelt_WTLJieMian_base
