#include "runtime/gui/Geometry.h"

#include <algorithm>

namespace quelt_gui {

Rect fittedImageRect(std::int32_t clientWidth, std::int32_t clientHeight, std::int32_t imageWidth,
                     std::int32_t imageHeight) {
    if (clientWidth <= 0 || clientHeight <= 0 || imageWidth <= 0 || imageHeight <= 0)
        return {};
    std::int64_t width = imageWidth;
    std::int64_t height = imageHeight;
    if (imageWidth > clientWidth || imageHeight > clientHeight) {
        // Compare the two ratios exactly: cw/iw < ch/ih  <=>  cw*ih < ch*iw.
        const bool widthBinds =
            std::int64_t(clientWidth) * imageHeight <= std::int64_t(clientHeight) * imageWidth;
        if (widthBinds) {
            width = clientWidth;
            height = std::int64_t(imageHeight) * clientWidth / imageWidth;
        } else {
            height = clientHeight;
            width = std::int64_t(imageWidth) * clientHeight / imageHeight;
        }
    }
    Rect r;
    r.width = static_cast<std::int32_t>(width);
    r.height = static_cast<std::int32_t>(height);
    r.x = centredOrigin(clientWidth, r.width);
    r.y = centredOrigin(clientHeight, r.height);
    return r;
}

TileRange tilesCovering(const Rect& clip, std::int32_t imageWidth, std::int32_t imageHeight) {
    TileRange t;
    if (clip.empty() || imageWidth <= 0 || imageHeight <= 0)
        return t;
    auto floorDiv = [](std::int64_t a, std::int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const std::int64_t left = floorDiv(clip.x, imageWidth);
    const std::int64_t top = floorDiv(clip.y, imageHeight);
    const std::int64_t right = floorDiv(std::int64_t(clip.x) + clip.width - 1, imageWidth);
    const std::int64_t bottom = floorDiv(std::int64_t(clip.y) + clip.height - 1, imageHeight);
    t.firstColumn = static_cast<std::int32_t>(std::max<std::int64_t>(left, 0));
    t.firstRow = static_cast<std::int32_t>(std::max<std::int64_t>(top, 0));
    t.columns = static_cast<std::int32_t>(std::max<std::int64_t>(right - t.firstColumn + 1, 0));
    t.rows = static_cast<std::int32_t>(std::max<std::int64_t>(bottom - t.firstRow + 1, 0));
    return t;
}

std::int32_t roundCornerSize(std::int32_t windowWidth, std::int32_t windowHeight) {
    return std::min(windowWidth / 5, windowHeight / 5);
}

Rect centredIn(const Rect& monitor, const Rect& window) {
    Rect r = window;
    r.x = monitor.x + centredOrigin(monitor.width, window.width);
    r.y = monitor.y + centredOrigin(monitor.height, window.height);
    return r;
}

} // namespace quelt_gui
