#include "runtime/net/ByteRange.h"

#include <limits>

namespace rg_quelt_windows_WangLao {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A decimal number of at most 18 digits (no sign): nothing in a file of this
// system's sizes comes near it, and it cannot overflow.
bool number(std::string_view text, std::int64_t& value) {
    if (text.empty() || text.size() > 18)
        return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

} // namespace

ContentRange parseContentRange(std::string_view value) {
    ContentRange range;
    value = trimmed(value);
    constexpr std::string_view kUnit = "bytes";
    if (value.size() <= kUnit.size() || value.substr(0, kUnit.size()) != kUnit ||
        !isBlank(value[kUnit.size()]))
        return range;
    value = trimmed(value.substr(kUnit.size()));
    const std::size_t dash = value.find('-');
    const std::size_t slash = value.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash)
        return range;
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t total = -1;
    const std::string_view whole = value.substr(slash + 1);
    if (!number(value.substr(0, dash), first) || !number(value.substr(dash + 1, slash - dash - 1), last) ||
        last < first || (whole != "*" && (!number(whole, total) || last >= total)))
        return range;
    range.first = first;
    range.last = last;
    range.total = total;
    return range;
}

std::string rangeHeaderFrom(std::int64_t from) { return "Range: bytes=" + std::to_string(from) + "-"; }

std::string ifRangeHeader(std::string_view validator) { return "If-Range: " + std::string(validator); }

} // namespace rg_quelt_windows_WangLao
