#pragma once
// The geometry rules of containers and forms that need no window: where a fitted
// background image goes, which tiles cover a clip rectangle, the corner size of a
// rounded form, centring, and a window size from a client size and its frame.
// All values are pixels; an empty rectangle has zero width or height.
#include <cstdint>

namespace quelt_gui {

struct Rect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const Rect&) const = default;
};

// Image mode 2 in a client area of clientWidth x clientHeight: an image that fits
// keeps its size, a larger one is scaled down keeping its aspect ratio; either is
// centred. An empty image or client area gives an empty rectangle.
Rect fittedImageRect(std::int32_t clientWidth, std::int32_t clientHeight, std::int32_t imageWidth,
                     std::int32_t imageHeight);

// Image mode 1: the first tile (top-left) and how many columns and rows of tiles,
// laid from the client origin, are needed to cover `clip`.
struct TileRange {
    std::int32_t firstColumn = 0;
    std::int32_t firstRow = 0;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
};
TileRange tilesCovering(const Rect& clip, std::int32_t imageWidth, std::int32_t imageHeight);

// Window shape 2: the width and height of the corner ellipses.
std::int32_t roundCornerSize(std::int32_t windowWidth, std::int32_t windowHeight);

// The origin that centres `size` in `area` along one axis.
inline std::int32_t centredOrigin(std::int32_t area, std::int32_t size) { return (area - size) / 2; }

// The window extent for a designed client extent and the frame's extra pixels;
// a client extent below 1 gives 0.
inline std::int32_t windowExtentFromClient(std::int32_t client, std::int32_t frameExtra) {
    return client < 1 ? 0 : client + frameExtra;
}

// Centres `window` in `monitor`: the new origin.
Rect centredIn(const Rect& monitor, const Rect& window);

} // namespace quelt_gui
