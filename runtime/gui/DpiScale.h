#pragma once
// The one rule by which the window layer turns the layout's numbers into device
// pixels. Forms, controls, list columns and fonts are designed at 96 DPI; a window
// shown at another DPI gets every position and size multiplied by dpi / 96,
// rounded to the nearest pixel (halves away from zero, as MulDiv rounds), so at
// 96 DPI every number stays exactly as given. Rectangles are scaled by their
// edges, so that controls that touch at 96 DPI still touch at any other.
#include "runtime/gui/Geometry.h"

#include <cstdint>

namespace quelt_gui {

constexpr std::int32_t kDesignDpi = 96;
constexpr std::int32_t kPointsPerInch = 72;

// `value` * `to` / `from`, rounded; a DPI below 1 counts as 96, and the layout's
// "default" coordinate (kDefaultCoordinate) passes unchanged.
std::int32_t rescaleForDpi(std::int32_t value, std::int32_t from, std::int32_t to);

// A 96-DPI number at `dpi`.
inline std::int32_t scaleToDpi(std::int32_t value, std::int32_t dpi) {
    return rescaleForDpi(value, kDesignDpi, dpi);
}

// A 96-DPI rectangle at `dpi`: its edges scaled, its size what lies between them.
Rect scaleToDpi(const Rect& designed, std::int32_t dpi);

// The LOGFONT height (negative: the character height) of a `points` font at `dpi`.
std::int32_t fontHeightForDpi(std::int32_t points, std::int32_t dpi);

} // namespace quelt_gui
