#include "runtime/gui/DpiScale.h"

#include "runtime/gui/GuiConstants.h"

namespace quelt_gui {

namespace {

std::int32_t effectiveDpi(std::int32_t dpi) { return dpi < 1 ? kDesignDpi : dpi; }

// value * numerator / denominator, rounded half away from zero; 64-bit inside, so
// no large coordinate overflows on the way.
std::int32_t mulDivRounded(std::int32_t value, std::int32_t numerator, std::int32_t denominator) {
    const std::int64_t product = std::int64_t(value) * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    if (rounded > INT32_MAX)
        return INT32_MAX;
    if (rounded < INT32_MIN + 1)
        return INT32_MIN + 1;
    return static_cast<std::int32_t>(rounded);
}

} // namespace

std::int32_t rescaleForDpi(std::int32_t value, std::int32_t from, std::int32_t to) {
    from = effectiveDpi(from);
    to = effectiveDpi(to);
    if (value == kDefaultCoordinate || from == to)
        return value;
    return mulDivRounded(value, to, from);
}

Rect scaleToDpi(const Rect& designed, std::int32_t dpi) {
    const std::int32_t left = scaleToDpi(designed.x, dpi);
    const std::int32_t top = scaleToDpi(designed.y, dpi);
    const std::int32_t right = scaleToDpi(designed.x + designed.width, dpi);
    const std::int32_t bottom = scaleToDpi(designed.y + designed.height, dpi);
    return {left, top, right - left, bottom - top};
}

std::int32_t fontHeightForDpi(std::int32_t points, std::int32_t dpi) {
    return -mulDivRounded(points, effectiveDpi(dpi), kPointsPerInch);
}

} // namespace quelt_gui
