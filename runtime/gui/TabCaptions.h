#pragma once
// The tab selector's captions text: line-feed separated fields, two per tab -
// the caption, then the image index (read like _wtoi, used only with an image
// list). A trailing single field makes no tab.
#include "runtime/core/WString.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quelt_gui {

struct TabCaption {
    CWString caption;
    std::int32_t image = 0;
};

std::vector<TabCaption> parseTabCaptions(std::u16string_view text);

} // namespace quelt_gui
