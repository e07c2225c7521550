#include "runtime/gui/TabCaptions.h"

#include "runtime/gui/LeadingNumber.h"

namespace quelt_gui {

std::vector<TabCaption> parseTabCaptions(std::u16string_view text) {
    std::vector<std::u16string_view> fields;
    if (!text.empty()) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = text.find(u'\n', start);
            fields.push_back(text.substr(start, end == std::u16string_view::npos ? end : end - start));
            if (end == std::u16string_view::npos)
                break;
            start = end + 1;
        }
    }
    std::vector<TabCaption> tabs;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2)
        tabs.push_back({CWString(fields[i]), leadingInteger32(fields[i + 1])});
    return tabs;
}

} // namespace quelt_gui
