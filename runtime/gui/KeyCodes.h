#pragma once
// Which keys the framework reports, and the codes it reports them with. A key
// without a name is not reported. Numeric-keypad digits and signs are reported as
// the main keyboard's keys, so a handler checks one code for either.
#include <cstdint>

namespace quelt_gui {

// The key's name ("Enter", "F1", "A"), or null for a key that is not reported.
const char16_t* keyName(std::uint32_t virtualKey);

// The reported code: 0 for a key that is not reported; Ctrl adds kModCtrl.
std::int32_t normaliseKeyCode(std::uint32_t virtualKey, bool ctrlDown);

} // namespace quelt_gui
