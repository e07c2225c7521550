#pragma once
// Where a tab selector puts a page that is a window of its own: in the display area
// (the part inside the tabs), by the page's placement - 0 fills the area, otherwise
// the page keeps its size at the top-left corner (1), centred (2) or at the
// bottom-right corner (3). Other placements count as 0.
#include "runtime/gui/Geometry.h"

#include <cstdint>

namespace quelt_gui {

Rect tabPageRect(const Rect& displayArea, std::int32_t pageWidth, std::int32_t pageHeight,
                 std::int32_t placement);

} // namespace quelt_gui
