#include "updater/AnswerBodyLine.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace rg_quelt_app {
namespace {

bool isTextType(std::string_view contentType) {
    std::string type(contentType.substr(0, contentType.find(';')));
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    while (!type.empty() && type.back() == ' ')
        type.pop_back();
    const auto endsWith = [&](std::string_view tail) {
        return type.size() >= tail.size() && type.compare(type.size() - tail.size(), tail.size(), tail) == 0;
    };
    return type == "text/plain" || type == "application/json" || endsWith("+json");
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000; }

} // namespace

CWString answerBodyLine(std::string_view head, std::string_view contentType, bool complete) {
    if (!isTextType(contentType))
        return CWString();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = head.find('\n', start);
        // A line that runs past what was kept is not known whole.
        if (end == std::string_view::npos && !complete)
            return CWString();
        const std::string_view line = head.substr(start, end == std::string_view::npos ? end : end - start);
        const CWString decoded = CWString::fromUtf8(line);
        std::u16string kept;
        for (const char16_t c : decoded.view()) {
            if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
                continue;
            kept.push_back(c);
        }
        while (!kept.empty() && isBlank(kept.back()))
            kept.pop_back();
        std::size_t first = 0;
        while (first < kept.size() && isBlank(kept[first]))
            ++first;
        kept.erase(0, first);
        if (!kept.empty()) {
            // Counted in characters; a pair of surrogates is one.
            std::size_t units = 0;
            for (std::size_t chars = 0; units < kept.size() && chars < kLongestBodyLine; ++chars)
                units += (kept[units] >= 0xD800 && kept[units] < 0xDC00 && units + 1 < kept.size()) ? 2 : 1;
            kept.resize(units);
            return CWString(kept);
        }
        if (end == std::string_view::npos)
            return CWString();
        start = end + 1;
    }
}

} // namespace rg_quelt_app
