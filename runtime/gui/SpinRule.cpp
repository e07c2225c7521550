#include "runtime/gui/SpinRule.h"

#include <algorithm>
#include <limits>

namespace quelt_gui {

namespace {
// The limits a 16-bit up-down range accepts.
constexpr std::int32_t kSpinLowest = -0x7FFF;
constexpr std::int32_t kSpinHighest = 0x7FFF;
} // namespace

SpinRange spinRangeOf(std::int32_t first, std::int32_t second) {
    const std::int32_t low = std::clamp(std::min(first, second), kSpinLowest, kSpinHighest);
    const std::int32_t high = std::clamp(std::max(first, second), kSpinLowest, kSpinHighest);
    return {low, high};
}

std::int64_t spinStep(std::int64_t value, std::int32_t direction, const SpinRange& range) {
    const bool up = spinDirection(direction) > 0;
    // At the ends of the 64-bit range the step itself would overflow; it is beyond
    // the spin range either way.
    if (up && value == std::numeric_limits<std::int64_t>::max())
        return range.minimum;
    if (!up && value == std::numeric_limits<std::int64_t>::min())
        return range.maximum;
    const std::int64_t next = up ? value + 1 : value - 1;
    if (next < range.minimum)
        return range.maximum;
    if (next > range.maximum)
        return range.minimum;
    return next;
}

} // namespace quelt_gui
