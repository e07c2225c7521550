#include "runtime/gui/TabPageLayout.h"

namespace quelt_gui {

Rect tabPageRect(const Rect& displayArea, std::int32_t pageWidth, std::int32_t pageHeight,
                 std::int32_t placement) {
    switch (placement) {
    case 1:
        return {displayArea.x, displayArea.y, pageWidth, pageHeight};
    case 2:
        return {displayArea.x + centredOrigin(displayArea.width, pageWidth),
                displayArea.y + centredOrigin(displayArea.height, pageHeight), pageWidth, pageHeight};
    case 3:
        return {displayArea.x + displayArea.width - pageWidth,
                displayArea.y + displayArea.height - pageHeight, pageWidth, pageHeight};
    default:
        return displayArea;
    }
}

} // namespace quelt_gui
