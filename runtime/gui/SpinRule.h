#pragma once
// The rules of an edit box's companion spin button: the range it is given, and the
// value an automatic spin step leaves in the edit box.
#include <cstdint>
#include <string_view>

namespace quelt_gui {

struct SpinRange {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
};

// The two limits in order, each within what a 16-bit spin range can hold
// (-32767..32767), whichever way round they were given.
SpinRange spinRangeOf(std::int32_t first, std::int32_t second);

// One automatic step from `value` (read from the edit text) in `direction` (negative:
// down, otherwise up); a step beyond one end wraps around to the other.
std::int64_t spinStep(std::int64_t value, std::int32_t direction, const SpinRange& range);

// The spin event direction for a position delta: -1 for a negative one, else +1.
inline std::int32_t spinDirection(std::int32_t delta) { return delta < 0 ? -1 : 1; }

} // namespace quelt_gui
