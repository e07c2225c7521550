#pragma once
// rg_edit_box: a text box with an input mode (typing filter and normalisation when
// the focus leaves, see EditInputModes.h), an optional password character, maximum
// length and multi-line flag, and an optional companion spin button: spin mode 0
// none, 1 automatic (steps the number in the box, wrapping within the range), any
// other value manual (fires spin with -1 or +1).
//
// Got focus and lost focus fire from the edit notifications, so lost focus sees the
// normalised text. Properties other than the input mode take effect at creation.
#include "runtime/gui/WinControl.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_base {

class rg_edit_box : public CQueltWinControl, public IEditEventListener {
    QUELT_CLASS(rg_edit_box)

public:
    static constexpr std::int32_t kSpinNone = 0;
    static constexpr std::int32_t kSpinAutomatic = 1;
    static constexpr std::int32_t kSpinManual = 2;

    rg_edit_box();

    WindowKind windowKind() const override { return WindowKind::edit; }

    // 0..13 (above 13 counts as 13); applied at once to an existing window.
    void setInputMode(std::int32_t mode);
    std::int32_t inputMode() const { return inputMode_; }
    void setMultiLine(bool multiLine) { multiLine_ = multiLine; }
    bool multiLine() const { return multiLine_; }
    // Shown instead of each character in input mode 2.
    void setPasswordChar(char16_t unit) { passwordChar_ = unit; }
    char16_t passwordChar() const { return passwordChar_; }
    // 0: the system's limit.
    void setMaxLength(std::int32_t length) { maxLength_ = length < 0 ? 0 : length; }
    std::int32_t maxLength() const { return maxLength_; }
    void setSpinMode(std::int32_t mode) { spinMode_ = mode; }
    std::int32_t spinMode() const { return spinMode_; }
    void setSpinMinimum(std::int32_t value) { spinMinimum_ = value; }
    std::int32_t spinMinimum() const { return spinMinimum_; }
    void setSpinMaximum(std::int32_t value) { spinMaximum_ = value; }
    std::int32_t spinMaximum() const { return spinMaximum_; }

    bool onWindowMessage(CQueltMessageRecord& record) override;
    void onEditContentChanged() override { contentChanged.fire(this); }
    void onEditSpin(std::int32_t direction) override { spin.fire(this, direction); }

    CQueltEventSlot<> contentChanged;
    CQueltEventSlot<std::int32_t> spin; // -1 down, +1 up

protected:
    void styleFromProperties(std::uint32_t& style, std::uint32_t& exStyle) override;

private:
    std::int32_t inputMode_ = 0;
    bool multiLine_ = false;
    char16_t passwordChar_ = u'*';
    std::int32_t maxLength_ = 0;
    std::int32_t spinMode_ = kSpinNone;
    std::int32_t spinMinimum_ = 0;
    std::int32_t spinMaximum_ = 100;
};

} // namespace rg_quelt_WTLJieMian_base
