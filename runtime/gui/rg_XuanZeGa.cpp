#include "runtime/gui/rg_XuanZeGa.h"

#include "runtime/gui/ControlStyles.h"
#include "runtime/gui/StandardControlWindows.h"

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(rg_XuanZeGa, CQueltWinContainer, "rg_quelt_WTLJieMian_base::rg_XuanZeGa")

rg_XuanZeGa::rg_XuanZeGa() { windowObject().setStyle(quelt_gui::kTabStyle); }

void rg_XuanZeGa::setCaptions(const CWString& text) {
    captions_ = text;
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        if (auto* tab = dynamic_cast<ITabWindow*>(impl))
            tab->applyCaptions();
}

void rg_XuanZeGa::setPageWindow(std::int32_t index, std::uintptr_t window, bool keep,
                                std::int32_t placement) {
    if (index < 0)
        return;
    if (pages_.size() <= static_cast<std::size_t>(index))
        pages_.resize(static_cast<std::size_t>(index) + 1);
    pages_[static_cast<std::size_t>(index)] = {window, keep, placement};
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        if (auto* tab = dynamic_cast<ITabWindow*>(impl))
            tab->arrangePageWindows();
}

std::int32_t rg_XuanZeGa::currentSelection() const {
    if (!hasWindow())
        return -1;
    const auto* tab = dynamic_cast<const ITabWindow*>(windowObject().existingImpl());
    return tab ? tab->currentSelection() : -1;
}

bool rg_XuanZeGa::onTabSelectionChanging() {
    // An unbound slot answers 0, which would pin every tab selector without a
    // handler to its first page.
    if (!selectionChanging.isBound())
        return true;
    return selectionChanging.fire(this) != 0;
}

} // namespace rg_quelt_WTLJieMian_base
