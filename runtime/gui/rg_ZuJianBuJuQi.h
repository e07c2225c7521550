#pragma once
// rg_ZuJianBuJuQi: the component layouter, the container on which forms are built.
// It paints its own background (colour, then image), reports its life and geometry
// as events, and keeps the window shape and state that forms apply. Children sit at
// the pixel positions the layout code gives; nothing is repositioned for them.
//
// The background image is a native bitmap handle the caller keeps alive.
#include "runtime/gui/WinContainer.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_base {

class rg_ZuJianBuJuQi : public CQueltWinContainer, public IContainerEventListener {
    QUELT_CLASS(rg_ZuJianBuJuQi)

public:
    static constexpr std::uint32_t kSystemFaceColour = 0xFF000000u;

    enum ImageMode : std::int32_t {
        kImageTopLeft = 0,
        kImageTiled = 1,
        kImageFitted = 2,
        kImageStretched = 3
    };
    enum Shape : std::int32_t { kShapeRectangle = 0, kShapeEllipse = 1, kShapeRoundRect = 2 };
    enum State : std::int32_t {
        kStateNormal = 0,
        kStateCentred = 1,
        kStateMinimised = 2,
        kStateMaximised = 3
    };

    rg_ZuJianBuJuQi() = default;

    std::uint32_t backgroundColour() const { return backgroundColour_; }
    void setBackgroundColour(std::uint32_t colour);
    bool transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    std::uintptr_t backgroundImage() const { return backgroundImage_; }
    void setBackgroundImage(std::uintptr_t bitmap);
    std::int32_t imageMode() const { return imageMode_; }
    void setImageMode(std::int32_t mode);

    // Clamped to 0..2; applied at once when the window exists.
    void setWindowShape(std::int32_t shape);
    std::int32_t windowShape() const { return windowShape_; }
    // Clamped to 0..3; applied at once only to an existing, visible top-level window.
    void setWindowState(std::int32_t state);
    std::int32_t windowState() const { return windowState_; }

    // The container events, in their fixed order (the window message event is the
    // control's own).
    CQueltEventSlot<> containerCreated;
    CQueltEventSlot<> containerDestroyed;
    CQueltEventSlot<> containerReserved;
    CQueltEventSlot<> sizeChanged;
    CQueltEventSlot<std::int32_t> shown;
    CQueltEventSlot<> moved;
    CQueltEventSlot<std::int32_t> command;

    bool onWindowMessage(CQueltMessageRecord& record) override {
        return CQueltWinControl::onWindowMessage(record);
    }
    void onContainerCreated() override;
    void onContainerDestroyed() override { containerDestroyed.fire(this); }
    void onContainerReserved() override { containerReserved.fire(this); }
    void onContainerSizeChanged() override { sizeChanged.fire(this); }
    void onContainerShown(bool isShown) override { shown.fire(this, isShown ? 1 : 0); }
    void onContainerMoved() override { moved.fire(this); }
    bool onContainerCommand(std::int32_t identifier) override { return command.fire(this, identifier) != 0; }

protected:
    // Runs when the window is being created, before the created event: a form's
    // layout code creates its controls and binds its events here.
    virtual void build() {}
    void prepareCreation(CQueltCreationRecord& record, std::uint32_t& style, std::uint32_t& exStyle) override;
    bool repaintsOnCaption() const override { return false; }

private:
    void repaintIfVisible();

    std::uint32_t backgroundColour_ = kSystemFaceColour;
    bool transparent_ = false;
    std::uintptr_t backgroundImage_ = 0;
    std::int32_t imageMode_ = kImageTopLeft;
    std::int32_t windowShape_ = kShapeRectangle;
    std::int32_t windowState_ = kStateNormal;
};

} // namespace rg_quelt_WTLJieMian_base
