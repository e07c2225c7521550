#include "runtime/gui/rg_ZuJianBuJuQi.h"

#include <algorithm>

using namespace quelt_gui;

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(rg_ZuJianBuJuQi, CQueltWinContainer, "rg_quelt_WTLJieMian_base::rg_ZuJianBuJuQi")

void rg_ZuJianBuJuQi::prepareCreation(CQueltCreationRecord& record, std::uint32_t& style,
                                      std::uint32_t& exStyle) {
    const bool noStyle = windowObject().style() == 0;
    CQueltWinContainer::prepareCreation(record, style, exStyle);
    style &= ~kWsTabStop;
    if (transparent_)
        exStyle |= kWsExTransparent;
    if (noStyle)
        style = kDefaultContainerStyle;
}

void rg_ZuJianBuJuQi::onContainerCreated() {
    build();
    containerCreated.fire(this);
}

void rg_ZuJianBuJuQi::repaintIfVisible() {
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->window() != 0 && impl->exists() && (impl->style() & kWsVisible))
        impl->invalidate(true);
}

void rg_ZuJianBuJuQi::setBackgroundColour(std::uint32_t colour) {
    backgroundColour_ = colour;
    repaintIfVisible();
}

void rg_ZuJianBuJuQi::setTransparent(bool transparent) {
    transparent_ = transparent;
    repaintIfVisible();
}

void rg_ZuJianBuJuQi::setBackgroundImage(std::uintptr_t bitmap) {
    backgroundImage_ = bitmap;
    repaintIfVisible();
}

void rg_ZuJianBuJuQi::setImageMode(std::int32_t mode) {
    imageMode_ = std::clamp(mode, 0, 3);
    repaintIfVisible();
}

void rg_ZuJianBuJuQi::setWindowShape(std::int32_t shape) {
    windowShape_ = std::clamp(shape, 0, 2);
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        impl->applyShape(windowShape_);
}

void rg_ZuJianBuJuQi::setWindowState(std::int32_t state) {
    windowState_ = std::clamp(state, 0, 3);
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->window() != 0 && impl->exists() && (impl->style() & kWsVisible) &&
        !(impl->style() & kWsChild))
        impl->applyState(windowState_);
}

} // namespace rg_quelt_WTLJieMian_base
