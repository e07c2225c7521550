#include "runtime/gui/WinForm.h"

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(CQueltWinForm, rg_ZuJianBuJuQi, "rg_quelt_WTLJieMian_base::CQueltWinForm")

CQueltWinForm::CQueltWinForm() : receiver_(this) {}

// A copied form is a new receiving object with its own event target and no
// bindings; it shares nothing of the original's window.
CQueltWinForm::CQueltWinForm(const CQueltWinForm& other) : rg_ZuJianBuJuQi(), receiver_(this) {
    borderKind_ = other.borderKind_;
    titleBar_ = other.titleBar_;
    maximiseBox_ = other.maximiseBox_;
    minimiseBox_ = other.minimiseBox_;
    movable_ = other.movable_;
    escCloses_ = other.escCloses_;
    helpFile_ = other.helpFile_;
    helpContext_ = other.helpContext_;
    dragByClientArea_ = other.dragByClientArea_;
    topmost_ = other.topmost_;
    keepCaptionActive_ = other.keepCaptionActive_;
    iconResource_ = other.iconResource_;
    designWidth_ = other.designWidth_;
    designHeight_ = other.designHeight_;
    windowObject().caption() = other.windowObject().caption();
}

CQueltWinForm& CQueltWinForm::operator=(const CQueltWinForm&) { return *this; }

CQueltWinForm::~CQueltWinForm() { teardown(); }

void CQueltWinForm::teardown() {
    receiver_.teardown();
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        impl->destroyNative();
    detachListener();
}

std::int32_t CQueltWinForm::showModal(std::uintptr_t owner) {
    CQueltCreationRecord record;
    record.parentWindow = owner;
    record.showModal = true;
    modalResult_ = 0;
    if (!create(record))
        return -1;
    return modalResult_;
}

void CQueltWinForm::endModal(std::int32_t result) {
    if (modal_) {
        modalResult_ = result;
        modal_ = false;
    }
}

quelt_gui::FormStyleInput CQueltWinForm::styleInput(bool hasParent) const {
    quelt_gui::FormStyleInput in;
    in.borderKind = borderKind_;
    in.titleBar = titleBar_;
    in.maximiseBox = maximiseBox_;
    in.minimiseBox = minimiseBox_;
    in.initialState = windowState();
    in.hasParent = hasParent;
    return in;
}

void CQueltWinForm::prepareCreation(CQueltCreationRecord& record, std::uint32_t& style,
                                    std::uint32_t& exStyle) {
    const std::uint32_t own = windowObject().style();
    rg_ZuJianBuJuQi::prepareCreation(record, style, exStyle);
    // A form given a parent window is owned by it, not inside it, unless it asks
    // to be a child.
    if ((own & quelt_gui::kWsChild) == 0)
        style &= ~quelt_gui::kWsChild;
    quelt_gui::applyFormStyles(styleInput(record.parentWindow != 0), windowObject().caption(), style,
                               exStyle);
}

} // namespace rg_quelt_WTLJieMian_base
