#pragma once
// CQueltWinControl: the control object the application programs against. It holds
// its window object (shared by reference), a text value and a byte buffer, and the
// 17 generic event slots, and it is the listener of its window implementation:
// native messages arrive in onWindowMessage and leave as events.
//
// A control is embedded by value in its form; properties set before its window
// exists are kept in the window object and applied at creation. Everything runs on
// the thread that owns the window. Destroying the control detaches it from its
// window implementation.
#include "runtime/core/EventSlot.h"
#include "runtime/core/QueltMem.h"
#include "runtime/core/SharedRecordRef.h"
#include "runtime/core/WString.h"
#include "runtime/core/rg_WenBenShuZuLei.h"
#include "runtime/gui/CreationRecord.h"
#include "runtime/gui/EventListeners.h"
#include "runtime/gui/WtlWndObject.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_base {

class CQueltWinControl : public SharedRecordRef<CWtlWndObject>, public IBaseEventListener {
    QUELT_CLASS(CQueltWinControl)

public:
    using MouseSlot = CQueltEventSlot<std::int32_t, std::int32_t, std::int32_t>; // x, y, modifiers
    using WheelSlot = CQueltEventSlot<std::int32_t, std::int32_t>;               // delta / 120, modifiers
    using KeySlot = CQueltEventSlot<std::int32_t, std::int32_t>;                 // key code, modifiers
    using PlainSlot = CQueltEventSlot<>;
    using CharSlot = CQueltEventSlot<std::int32_t>;
    using MessageSlot = CQueltEventSlot<std::uintptr_t, std::uint32_t, std::uintptr_t, std::intptr_t>;
    using CreatedSlot = CQueltEventSlot<CQueltWinControl*, std::int32_t>; // parent control, identifier
    using FilesSlot = CQueltEventSlot<rg_quelt_base::rg_WenBenShuZuLei*>;

    CQueltWinControl();
    CQueltWinControl(const CQueltWinControl& other);
    CQueltWinControl& operator=(const CQueltWinControl& other);
    ~CQueltWinControl() override;

    // Creates the native window; false when it exists already or creation failed.
    bool create(CQueltCreationRecord& record);
    bool hasWindow() const;
    std::uintptr_t window() const;

    void attachListener();
    void detachListener();

    void setCaption(const CWString& text);
    CWString getCaption() const;
    void setThinBorder();
    // Whether the control takes input (clicks, keys, the focus); a disabled one is
    // shown dimmed and fires no clicked event. Kept for a window not made yet.
    void setEnabled(bool on);
    bool isEnabled() const;
    void setCursor(std::uintptr_t cursor) { windowObject().setCursor(cursor); }
    // Over this control and every control inside it that keeps the default cursor,
    // the system's busy cursor while `on`; shown at once where the mouse is.
    void setWaitCursor(bool on);
    // The timer message (kWmTimer with `id` as wparam, through windowMessage) every
    // `intervalMs` while the window exists; false without a window or timer.
    bool startTimer(std::uint32_t id, std::uint32_t intervalMs);
    void stopTimer(std::uint32_t id);

    // Binds `slot` of this control to `handler` of the receiving object behind
    // `target`, then attaches the listener so that the events arrive.
    template <typename... Args>
    void bindEvent(CQueltEventSlot<Args...>& slot, typename CQueltEventSlot<Args...>::Handler handler,
                   CQueltEventObjectPointer* target, std::int32_t userArgument = 0) {
        slot.bind(handler, target, userArgument);
        attachListener();
    }

    CWtlWndObject& windowObject() const { return *get(); }
    CWString& value() { return value_; }
    CQueltMem& data() { return data_; }

    bool onWindowMessage(CQueltMessageRecord& record) override;
    bool equals(const CQueltObject& other) const override;

    // The 17 generic events, in their fixed order.
    MouseSlot leftButtonDown;
    MouseSlot leftButtonUp;
    MouseSlot leftDoubleClick;
    MouseSlot rightButtonDown;
    MouseSlot rightButtonUp;
    MouseSlot middleButtonDown;
    MouseSlot middleButtonUp;
    MouseSlot mouseMove;
    WheelSlot wheel;
    KeySlot keyDown;
    KeySlot keyUp;
    PlainSlot gotFocus;
    PlainSlot lostFocus;
    CharSlot character;
    MessageSlot windowMessage;
    CreatedSlot created;
    FilesSlot filesDropped;

    // Which window implementation this control needs; none makes create() fail.
    virtual WindowKind windowKind() const { return WindowKind::none; }

protected:
    // The steps around the native creation. prepareCreation fills the record's
    // caption, styles and font; styleFromProperties adds a class's own styles.
    virtual void prepareCreation(CQueltCreationRecord& record, std::uint32_t& style, std::uint32_t& exStyle);
    virtual void styleFromProperties(std::uint32_t& style, std::uint32_t& exStyle);
    virtual void completeCreation(CQueltWindowImpl& impl, CQueltCreationRecord& record,
                                  std::uint32_t requestedStyle);
    // Whether setCaption repaints an existing window (layouter containers do not).
    virtual bool repaintsOnCaption() const { return true; }
    virtual bool isForm() const { return false; }

private:
    std::int32_t fireMouse(MouseSlot& slot, const CQueltMessageRecord& record, CQueltWindowImpl* impl);
    std::int32_t keyModifiers(CQueltWindowImpl* impl) const;
    static std::int32_t mouseModifiers(std::uintptr_t keyFlags, CQueltWindowImpl* impl);

    CWString value_;
    CQueltMem data_;
};

} // namespace rg_quelt_WTLJieMian_base
