#pragma once
// CQueltWinForm: the base of the application's forms: a top-level layouter window
// with dialog-like keyboard handling, cancellable closing, activation events and
// modal display. The form is the receiving object of its controls' events: it owns
// the event target its slots are bound to.
//
// Teardown: a derived form whose handlers use its own members calls teardown()
// first thing in its destructor, so that no handler runs (and a handler running on
// another thread has returned) before those members go. The base destructor does
// the same for forms that do not.
#include "runtime/core/EventObjectPointer.h"
#include "runtime/gui/FormStyles.h"
#include "runtime/gui/rg_ChuangKouWeiZhiXianZhiXinXi.h"
#include "runtime/gui/rg_ZuJianBuJuQi.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_base {

class CQueltWinForm : public rg_ZuJianBuJuQi, public IWinFormEventListener {
    QUELT_CLASS(CQueltWinForm)

public:
    CQueltWinForm();
    CQueltWinForm(const CQueltWinForm& other);
    CQueltWinForm& operator=(const CQueltWinForm& other);
    ~CQueltWinForm() override;

    WindowKind windowKind() const override { return WindowKind::form; }

    // Creates the form as a modal window owned by `owner` (0: the active window)
    // and returns when its modal loop ends: -1 when it was closed or destroyed.
    std::int32_t showModal(std::uintptr_t owner = 0);
    // Ends a running modal loop with `result`.
    void endModal(std::int32_t result);
    bool isModal() const { return modal_; }
    std::int32_t modalResult() const { return modalResult_; }
    // Window-layer bookkeeping of the modal loop.
    void setModalState(bool modal, std::int32_t result) {
        modal_ = modal;
        modalResult_ = result;
    }

    CQueltEventObjectPointer* eventTarget() const { return receiver_.pointer(); }
    // Binds an event of `control` (or of the form itself) to a handler of this form.
    template <typename... Args>
    void bindEvent(CQueltWinControl& control, CQueltEventSlot<Args...>& slot,
                   typename CQueltEventSlot<Args...>::Handler handler, std::int32_t userArgument = 0) {
        control.bindEvent(slot, handler, eventTarget(), userArgument);
    }

    // Closes the event target (waiting for handlers on other threads) and destroys
    // the native window. Idempotent.
    void teardown();

    // Properties (applied at creation; the caption bits also when the caption changes).
    std::int32_t borderKind() const { return borderKind_; }
    void setBorderKind(std::int32_t kind) { borderKind_ = kind < 0 || kind > 6 ? 2 : kind; }
    bool titleBar() const { return titleBar_; }
    void setTitleBar(bool on) { titleBar_ = on; }
    bool maximiseBox() const { return maximiseBox_; }
    void setMaximiseBox(bool on) { maximiseBox_ = on; }
    bool minimiseBox() const { return minimiseBox_; }
    void setMinimiseBox(bool on) { minimiseBox_ = on; }
    bool movable() const { return movable_; }
    void setMovable(bool on) { movable_ = on; }
    bool escCloses() const { return escCloses_; }
    void setEscCloses(bool on) { escCloses_ = on; }
    const CWString& helpFile() const { return helpFile_; }
    void setHelpFile(const CWString& file) { helpFile_ = file; }
    std::int32_t helpContext() const { return helpContext_; }
    void setHelpContext(std::int32_t context) { helpContext_ = context; }
    bool dragByClientArea() const { return dragByClientArea_; }
    void setDragByClientArea(bool on) { dragByClientArea_ = on; }
    bool topmost() const { return topmost_; }
    void setTopmost(bool on) { topmost_ = on; }
    bool keepCaptionActive() const { return keepCaptionActive_; }
    void setKeepCaptionActive(bool on) { keepCaptionActive_ = on; }
    // 0: none.
    std::int32_t defaultButton() const { return defaultButton_; }
    void setDefaultButton(std::int32_t identifier) { defaultButton_ = identifier; }
    std::int32_t iconResource() const { return iconResource_; }
    void setIconResource(std::int32_t resource) { iconResource_ = resource; }
    // The client size a default width or height stands for.
    std::int32_t designClientWidth() const { return designWidth_; }
    std::int32_t designClientHeight() const { return designHeight_; }
    void setDesignClientSize(std::int32_t width, std::int32_t height) {
        designWidth_ = width;
        designHeight_ = height;
    }
    quelt_gui::FormStyleInput styleInput(bool hasParent) const;

    // Close request and query close answer "allow" unless a handler returns non-zero.
    bool allowsCloseRequest() { return closeRequest.fire(this) == 0; }
    bool allowsQueryClose() { return queryClose.fire(this) == 0; }

    bool onFormPreTranslate(void* message) override {
        return preTranslate.fire(this, reinterpret_cast<std::uintptr_t>(message)) != 0;
    }
    bool onFormQueryClose() override { return allowsQueryClose(); }
    bool onFormCloseRequest() override { return allowsCloseRequest(); }
    void onFormFirstActivation() override { firstActivation.fire(this); }
    void onFormActivated() override { activated.fire(this); }
    void onFormDeactivated() override { deactivated.fire(this); }
    void onFormTrayEvent(std::int32_t kind) override { trayEvent.fire(this, kind); }
    void onFormMenuSelected(std::int32_t identifier) override { menuSelected.fire(this, identifier); }
    bool onFormSizeLimits(rg_ChuangKouWeiZhiXianZhiXinXi& limits) override {
        return sizeLimits.fire(this, &limits) != 0;
    }
    void onFormModalLoopStarting() override { modalLoopStarting.fire(this); }

    // The ten form events, in their fixed order.
    CQueltEventSlot<std::uintptr_t> preTranslate; // the native MSG record
    CQueltEventSlot<> queryClose;
    CQueltEventSlot<> closeRequest;
    CQueltEventSlot<> firstActivation;
    CQueltEventSlot<> activated;
    CQueltEventSlot<> deactivated;
    CQueltEventSlot<std::int32_t> trayEvent; // 1 left click, 2 double click, 3 right click
    CQueltEventSlot<std::int32_t> menuSelected;
    CQueltEventSlot<rg_ChuangKouWeiZhiXianZhiXinXi*> sizeLimits;
    CQueltEventSlot<> modalLoopStarting;

protected:
    void prepareCreation(CQueltCreationRecord& record, std::uint32_t& style, std::uint32_t& exStyle) override;
    bool isForm() const override { return true; }

private:
    CQueltEventReceiver receiver_;
    std::int32_t borderKind_ = 2;
    bool titleBar_ = true;
    bool maximiseBox_ = false;
    bool minimiseBox_ = true;
    bool movable_ = true;
    bool escCloses_ = true;
    CWString helpFile_;
    std::int32_t helpContext_ = 0;
    bool dragByClientArea_ = false;
    bool topmost_ = false;
    bool keepCaptionActive_ = false;
    std::int32_t defaultButton_ = 0;
    std::int32_t iconResource_ = 100;
    std::int32_t designWidth_ = 0;
    std::int32_t designHeight_ = 0;
    bool modal_ = false;
    std::int32_t modalResult_ = 0;
};

} // namespace rg_quelt_WTLJieMian_base
