#pragma once
// The input modes of the edit box (0..13): which typed characters a mode accepts,
// and the text a mode leaves behind when the edit box loses the focus.
//
//   0 free text, 1 read-only, 2 password  - no filter, no normalisation
//   3 digits and '-', 4 digits, '-' and '.' - filter only
//   5 byte (0..255), 6 16-bit, 7 32-bit, 8 64-bit integer
//   9 number to 6 significant digits, 10 to 13
//   11 date and time "YYYY-MM-DD HH:MM:SS", 12 date "YYYY-MM-DD"
//   13 currency: up to four decimals, no trailing zeros
//
// A lone "0" left by modes 5..10 and 13 becomes the empty text, so that an empty
// numeric box stays empty.
#include "runtime/core/WString.h"

#include <cstdint>
#include <string_view>

namespace quelt_gui {

inline constexpr std::int32_t kInputModeLast = 13;

enum EditInputMode : std::int32_t {
    kInputFree = 0,
    kInputReadOnly = 1,
    kInputPassword = 2,
    kInputSignedDigits = 3,
    kInputDecimalDigits = 4,
    kInputByte = 5,
    kInputShort = 6,
    kInputInt = 7,
    kInputLong = 8,
    kInputFloat = 9,
    kInputDouble = 10,
    kInputDateTime = 11,
    kInputDate = 12,
    kInputCurrency = 13,
};

// Values above 13 become 13, negative ones 0.
std::int32_t clampInputMode(std::int32_t mode);

// Whether a typed character passes the mode's filter. Control characters (below
// U+0020: backspace, Enter, the clipboard keys) always pass.
bool inputModeAccepts(std::int32_t mode, char16_t typed);

// The text as the mode leaves it; modes without normalisation return it unchanged.
CWString normalisedInputText(std::int32_t mode, std::u16string_view text);

} // namespace quelt_gui
