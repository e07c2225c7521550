#pragma once
// How a form's properties become window styles: at creation, and again for the
// caption-related bits whenever the caption changes. Pure rules on numbers, so that
// the window layer and the tests share them.
#include "runtime/core/WString.h"

#include <cstdint>
#include <string_view>

namespace quelt_gui {

// The caption a form shows when it has a title bar but no caption of its own.
inline constexpr const char16_t* kDefaultFormCaption = u"Quelt应用程序";

struct FormStyleInput {
    std::int32_t borderKind = 2; // 0 none ... 6 fixed with client edge
    bool titleBar = true;
    bool maximiseBox = false;
    bool minimiseBox = true;
    std::int32_t initialState = 0;
    bool hasParent = false;
};

// Adds the form's bits to `style` and `exStyle` (after the common preparation) and
// replaces an empty caption of a form with a title bar by the default caption.
void applyFormStyles(const FormStyleInput& input, CWString& caption, std::uint32_t& style,
                     std::uint32_t& exStyle);

// The caption-related bits (caption, system menu, the two boxes) a form with this
// caption should have; the frame bits outside kCaptionBitsMask are left alone.
inline constexpr std::uint32_t kCaptionBitsMask = 0x00C00000u | 0x00080000u | 0x00020000u | 0x00010000u;
std::uint32_t captionBits(const FormStyleInput& input, std::u16string_view caption);

} // namespace quelt_gui
