#pragma once
// CQueltWindowImpl: what a control object needs from its window implementation,
// the native part that owns the window (the CVWnd_... classes of the Win32 layer,
// or a test's stand-in). Native handles are opaque words here.
//
// The window layer installs a factory (setWindowImplFactory) before the first
// control is created; without one, creating a control fails. All calls are made on
// the thread that owns the window.
#include "runtime/core/WString.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/WindowProcFilters.h"

#include <cstdint>

class IBaseEventListener;
namespace rg_quelt_WTLJieMian_base {
class CQueltWinControl;
}
struct CQueltCreationRecord;

namespace rg_quelt_base {
class rg_WenBenShuZuLei;
}

// The kind of native window a control needs; the window layer makes one per kind.
enum class WindowKind { none, container, form, button, label, edit, tab, listView };

class CQueltWindowImpl {
public:
    static constexpr std::uint32_t kFlagVisible = 1u << 0;

    virtual ~CQueltWindowImpl() = default;

    // The type name the query object message compares ("CVWnd_Container", ...).
    virtual const char* typeName() const = 0;

    std::uintptr_t window() const { return window_; }
    // Whether the native window exists (it may have been destroyed natively).
    virtual bool exists() const = 0;

    // Creates the native window; false when the system refused.
    virtual bool createNative(const CQueltCreationRecord& record, const CWString& caption,
                              std::uint32_t style, std::uint32_t exStyle) = 0;
    virtual void destroyNative() = 0;
    // After the control's creation steps are complete (a modal form runs its loop
    // here).
    virtual void afterCreation(CQueltCreationRecord&) {}

    virtual void setText(const CWString& text) = 0;
    virtual CWString text() const = 0;
    virtual void invalidate(bool erase) = 0;
    virtual std::uint32_t style() const = 0;
    virtual std::uint32_t exStyle() const = 0;
    // Applies new styles; the frame is recomputed for them at once.
    virtual void applyStyles(std::uint32_t style, std::uint32_t exStyle) = 0;
    // Lets the window take input, or not (it then shows itself dimmed); by default
    // through its disabled style.
    virtual void enableInput(bool on) {
        const std::uint32_t now = style();
        applyStyles(on ? now & ~quelt_gui::kWsDisabled : now | quelt_gui::kWsDisabled, exStyle());
    }
    virtual std::uint32_t dialogCode() = 0;
    virtual void setFont(std::uintptr_t font) = 0;
    // A 9-point font from the default GUI font, at the DPI of a window made under
    // `parentWindow` (0: a top-level one); 0 when the system has none.
    virtual std::uintptr_t createDefaultFont(std::uintptr_t parentWindow) = 0;
    virtual void deleteFont(std::uintptr_t font) = 0;

    // Layouter windows: window shape (0..2) and window state (0..3).
    virtual void applyShape(std::int32_t) {}
    virtual void applyState(std::int32_t) {}

    // Services of the event translation.
    virtual bool keyIsDown(std::uint32_t virtualKey) const = 0;
    virtual void showCursor(std::uintptr_t cursor) = 0;
    // The system's busy cursor; 0 where there is none.
    virtual std::uintptr_t waitCursor() const { return 0; }
    // Shows at once the cursor of the window under the mouse when that is this
    // window or one inside it, rather than at the next move of the mouse.
    virtual void refreshCursor() {}
    // A timer of the window: the timer message (kWmTimer, wparam `id`) reaches the
    // control every `intervalMs` until stopped or the window goes. False where
    // there is no timer.
    virtual bool startTimer(std::uint32_t, std::uint32_t) { return false; }
    virtual void stopTimer(std::uint32_t) {}
    // Reads the dropped paths into `paths` and releases the drop record.
    virtual void takeDroppedFiles(std::uintptr_t drop, rg_quelt_base::rg_WenBenShuZuLei& paths) = 0;

    IBaseEventListener* listener() const { return listener_; }
    void setListener(IBaseEventListener* listener) { listener_ = listener; }
    std::int32_t pageIndex() const { return pageIndex_; }
    void setPageIndex(std::int32_t index) { pageIndex_ = index; }
    bool visibleFlag() const { return (flags_ & kFlagVisible) != 0; }
    void setVisibleFlag(bool visible) {
        flags_ = visible ? (flags_ | kFlagVisible) : (flags_ & ~kFlagVisible);
    }
    CQueltWindowProcFilters& filters() { return filters_; }

protected:
    std::uintptr_t window_ = 0;

private:
    IBaseEventListener* listener_ = nullptr;
    std::int32_t pageIndex_ = -1;
    std::uint32_t flags_ = 0;
    CQueltWindowProcFilters filters_;
};

// Makes the window implementation a control needs (its windowKind()); null when
// there is none for that kind.
using WindowImplFactory = CQueltWindowImpl* (*)(rg_quelt_WTLJieMian_base::CQueltWinControl& control);
void setWindowImplFactory(WindowImplFactory factory);
WindowImplFactory windowImplFactory();
