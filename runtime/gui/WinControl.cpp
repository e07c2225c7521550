#include "runtime/gui/WinControl.h"

#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/KeyCodes.h"

using namespace quelt_gui;

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(CQueltWinControl, CQueltRefObject, "rg_quelt_WTLJieMian_base::CQueltWinControl")

CQueltWinControl::CQueltWinControl() : SharedRecordRef(new CWtlWndObject(*this)) {}

// A copy shares the window object; its slots start unbound.
CQueltWinControl::CQueltWinControl(const CQueltWinControl& other)
    : SharedRecordRef(other), value_(other.value_), data_(other.data_) {}

CQueltWinControl& CQueltWinControl::operator=(const CQueltWinControl& other) {
    if (this != &other) {
        detachListener();
        windowObject().detachControl(this);
        SharedRecordRef::operator=(other);
        value_ = other.value_;
        data_ = other.data_;
    }
    return *this;
}

CQueltWinControl::~CQueltWinControl() {
    if (record()) {
        detachListener();
        windowObject().detachControl(this);
    }
}

bool CQueltWinControl::hasWindow() const { return record() && windowObject().hasWindow(); }

std::uintptr_t CQueltWinControl::window() const {
    CQueltWindowImpl* impl = record() ? windowObject().existingImpl() : nullptr;
    return impl ? impl->window() : 0;
}

void CQueltWinControl::attachListener() {
    if (CQueltWindowImpl* impl = windowObject().impl())
        impl->setListener(this);
}

void CQueltWinControl::detachListener() {
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->listener() == this)
        impl->setListener(nullptr);
}

bool CQueltWinControl::create(CQueltCreationRecord& record) {
    CQueltWindowImpl* impl = windowObject().impl();
    if (!impl)
        return false;
    if (impl->window() != 0 && impl->exists())
        return false;
    impl->setPageIndex(record.pageIndex);
    // A container's build step and the generic events need the listener from the
    // first message on.
    impl->setListener(this);
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    prepareCreation(record, style, exStyle);
    styleFromProperties(style, exStyle);
    const std::uint32_t requested = style;
    record.style = style;
    record.exStyle = exStyle;
    if (!impl->createNative(record, *record.caption, style, exStyle) || impl->window() == 0 ||
        !impl->exists())
        return false;
    completeCreation(*impl, record, requested);
    impl->afterCreation(record);
    return true;
}

void CQueltWinControl::prepareCreation(CQueltCreationRecord& record, std::uint32_t& style,
                                       std::uint32_t& exStyle) {
    CWtlWndObject& object = windowObject();
    record.caption = &object.caption();
    style = object.style();
    exStyle = object.exStyle();
    if (record.parentWindow != 0 && (style & kWsPopup) == 0)
        style |= kWsChild;
    else
        style &= ~kWsChild;
    record.font = object.font(record.parentWindow);
}

void CQueltWinControl::styleFromProperties(std::uint32_t&, std::uint32_t&) {}

void CQueltWinControl::completeCreation(CQueltWindowImpl& impl, CQueltCreationRecord& record,
                                        std::uint32_t requestedStyle) {
    if (record.font)
        impl.setFont(record.font);
    std::uint32_t style = impl.style();
    const std::uint32_t exStyle = impl.exStyle();
    bool changed = false;
    if ((requestedStyle & kWsTabStop) == 0 && (impl.dialogCode() & kDlgcInputBits) != 0 &&
        (style & kWsTabStop) == 0) {
        style |= kWsTabStop;
        changed = true;
    }
    if ((requestedStyle & kWsBorder) == 0 && (style & kWsBorder) != 0) {
        style &= ~kWsBorder;
        changed = true;
    }
    if (changed)
        impl.applyStyles(style, exStyle);
    impl.setVisibleFlag((impl.style() & kWsVisible) != 0);
    if (record.parentControl && record.parentControl->hasWindow())
        created.fire(this, record.parentControl, record.identifier);
}

void CQueltWinControl::setCaption(const CWString& text) {
    CWtlWndObject& object = windowObject();
    CQueltWindowImpl* impl = object.existingImpl();
    if (impl && impl->window() != 0 && impl->exists()) {
        impl->setText(text);
        if (repaintsOnCaption())
            impl->invalidate(true);
    } else {
        object.caption() = text;
    }
}

CWString CQueltWinControl::getCaption() const {
    CWtlWndObject& object = windowObject();
    CQueltWindowImpl* impl = object.existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        return impl->text();
    return object.caption();
}

void CQueltWinControl::setWaitCursor(bool on) {
    CQueltWindowImpl* impl = windowObject().impl();
    if (!impl)
        return;
    windowObject().setCursor(on ? impl->waitCursor() : 0);
    // The cursor is chosen where the control hears its messages.
    if (on)
        attachListener();
    if (impl->window() != 0 && impl->exists())
        impl->refreshCursor();
}

bool CQueltWinControl::startTimer(std::uint32_t id, std::uint32_t intervalMs) {
    CQueltWindowImpl* impl = windowObject().existingImpl();
    return impl && impl->window() != 0 && impl->exists() && impl->startTimer(id, intervalMs);
}

void CQueltWinControl::stopTimer(std::uint32_t id) {
    CQueltWindowImpl* impl = windowObject().existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        impl->stopTimer(id);
}

void CQueltWinControl::setEnabled(bool on) {
    CWtlWndObject& object = windowObject();
    object.setStyle(on ? object.style() & ~kWsDisabled : object.style() | kWsDisabled);
    CQueltWindowImpl* impl = object.existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        impl->enableInput(on);
}

bool CQueltWinControl::isEnabled() const {
    CWtlWndObject& object = windowObject();
    CQueltWindowImpl* impl = object.existingImpl();
    if (impl && impl->window() != 0 && impl->exists())
        return (impl->style() & kWsDisabled) == 0;
    return (object.style() & kWsDisabled) == 0;
}

void CQueltWinControl::setThinBorder() {
    if (isForm())
        return;
    CWtlWndObject& object = windowObject();
    auto thin = [](std::uint32_t& style, std::uint32_t& exStyle) {
        style &= ~kWsBorder;
        exStyle &= ~(kWsExDlgModalFrame | kWsExClientEdge);
        exStyle |= kWsExStaticEdge;
    };
    std::uint32_t style = object.style();
    std::uint32_t exStyle = object.exStyle();
    thin(style, exStyle);
    object.setStyle(style);
    object.setExStyle(exStyle);
    CQueltWindowImpl* impl = object.existingImpl();
    if (impl && impl->window() != 0 && impl->exists()) {
        style = impl->style();
        exStyle = impl->exStyle();
        thin(style, exStyle);
        impl->applyStyles(style, exStyle);
    }
}

std::int32_t CQueltWinControl::keyModifiers(CQueltWindowImpl* impl) const {
    if (!impl)
        return 0;
    std::int32_t mods = 0;
    if (impl->keyIsDown(kVkControl))
        mods |= kModCtrl;
    if (impl->keyIsDown(kVkMenu))
        mods |= kModAlt;
    if (impl->keyIsDown(kVkShift))
        mods |= kModShift;
    return mods;
}

// Mouse messages carry Ctrl and Shift in their key flags; Alt is asked of the keyboard.
std::int32_t CQueltWinControl::mouseModifiers(std::uintptr_t keyFlags, CQueltWindowImpl* impl) {
    std::int32_t mods = 0;
    if (keyFlags & kMkControl)
        mods |= kModCtrl;
    if (keyFlags & kMkShift)
        mods |= kModShift;
    if (impl && impl->keyIsDown(kVkMenu))
        mods |= kModAlt;
    return mods;
}

std::int32_t CQueltWinControl::fireMouse(MouseSlot& slot, const CQueltMessageRecord& record,
                                         CQueltWindowImpl* impl) {
    const auto x = static_cast<std::int16_t>(record.lparam & 0xFFFF);
    const auto y = static_cast<std::int16_t>((record.lparam >> 16) & 0xFFFF);
    return slot.fire(this, x, y, mouseModifiers(record.wparam, impl));
}

bool CQueltWinControl::onWindowMessage(CQueltMessageRecord& record) {
    CQueltWindowImpl* impl = windowObject().existingImpl();
    auto consumed = [&record](std::int32_t answer) {
        if (answer == 0)
            return false;
        record.result = 0;
        return true;
    };
    if (consumed(windowMessage.fire(this, record.window, record.message, record.wparam, record.lparam)))
        return true;

    switch (record.message) {
    case kWmSetFocus:
        return consumed(gotFocus.fire(this));
    case kWmKillFocus:
        return consumed(lostFocus.fire(this));
    case kWmSetCursor:
        if (windowObject().cursor() != 0 && impl) {
            impl->showCursor(windowObject().cursor());
            record.result = 1;
            return true;
        }
        return false;
    case kWmKeyDown:
    case kWmSysKeyDown:
    case kWmKeyUp:
    case kWmSysKeyUp: {
        const bool ctrl = impl && impl->keyIsDown(kVkControl);
        const std::int32_t code = normaliseKeyCode(static_cast<std::uint32_t>(record.wparam), ctrl);
        if (code == 0)
            return false;
        KeySlot& slot = (record.message == kWmKeyDown || record.message == kWmSysKeyDown) ? keyDown : keyUp;
        return consumed(slot.fire(this, code, keyModifiers(impl)));
    }
    case kWmChar: {
        const std::int32_t answer = character.fire(this, static_cast<std::int32_t>(record.wparam));
        if (answer < 0) {
            record.result = 0;
            return true;
        }
        if (answer > 0)
            record.wparam = static_cast<std::uintptr_t>(answer);
        return false;
    }
    case kWmMouseMove:
        return consumed(fireMouse(mouseMove, record, impl));
    case kWmLButtonDown:
        return consumed(fireMouse(leftButtonDown, record, impl));
    case kWmLButtonUp:
        return consumed(fireMouse(leftButtonUp, record, impl));
    case kWmLButtonDblClk:
        return consumed(fireMouse(leftDoubleClick, record, impl));
    case kWmRButtonDown:
        return consumed(fireMouse(rightButtonDown, record, impl));
    case kWmRButtonUp:
        return consumed(fireMouse(rightButtonUp, record, impl));
    case kWmMButtonDown:
        return consumed(fireMouse(middleButtonDown, record, impl));
    case kWmMButtonUp:
        return consumed(fireMouse(middleButtonUp, record, impl));
    case kWmMouseWheel: {
        const auto delta = static_cast<std::int16_t>((record.wparam >> 16) & 0xFFFF);
        return consumed(wheel.fire(this, delta / 120, mouseModifiers(record.wparam, impl)));
    }
    case kWmDropFiles: {
        if (!impl)
            return false;
        rg_quelt_base::rg_WenBenShuZuLei paths;
        impl->takeDroppedFiles(record.wparam, paths);
        if (paths.Count() > 0)
            filesDropped.fire(this, &paths);
        record.result = 0;
        return true;
    }
    default:
        return false;
    }
}

bool CQueltWinControl::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const CQueltWinControl&>(other);
    return record() == o.record() && value_.equals(o.value_) && data_.equals(o.data_);
}

} // namespace rg_quelt_WTLJieMian_base
