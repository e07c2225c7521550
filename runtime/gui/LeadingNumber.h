#pragma once
// Reading the number at the start of a text the way the C runtime's _wtoi, _wtoi64
// and _wtof do: leading blanks, an optional sign, then digits up to the first
// character that is not one. No digits read as 0. Used by the edit box's input
// modes, the spin button and the tab captions text.
#include <cstdint>
#include <string_view>

namespace quelt_gui {

// Saturates at the 64-bit limits.
std::int64_t leadingInteger64(std::u16string_view text);
// Saturates at the 32-bit limits.
std::int32_t leadingInteger32(std::u16string_view text);
// A decimal number with an optional fraction and exponent; an exponent too large
// for a double gives the largest finite value of that sign, one too small gives 0.
double leadingNumber(std::u16string_view text);

} // namespace quelt_gui
