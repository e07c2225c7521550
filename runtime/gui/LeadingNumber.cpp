#include "runtime/gui/LeadingNumber.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <limits>
#include <string>

namespace quelt_gui {

namespace {

bool isBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Skips blanks and reads a sign; returns the index of the first character after them.
std::size_t skipBlanksAndSign(std::u16string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    return i;
}

} // namespace

std::int64_t leadingInteger64(std::u16string_view text) {
    bool negative = false;
    std::size_t i = skipBlanksAndSign(text, negative);
    // Accumulated as a negative number, whose range is the larger one.
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    bool saturated = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const int digit = text[i] - u'0';
        if (saturated)
            continue;
        if (value < (lowest + digit) / 10) {
            saturated = true;
            continue;
        }
        value = value * 10 - digit;
    }
    if (saturated)
        return negative ? lowest : std::numeric_limits<std::int64_t>::max();
    if (!negative)
        return value == lowest ? std::numeric_limits<std::int64_t>::max() : -value;
    return value;
}

std::int32_t leadingInteger32(std::u16string_view text) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(leadingInteger64(text),
                                                              std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

double leadingNumber(std::u16string_view text) {
    bool negative = false;
    std::size_t i = skipBlanksAndSign(text, negative);
    // The number's characters in ASCII, for from_chars (which ignores the locale).
    std::string digits;
    bool any = false;
    for (; i < text.size() && isDigit(text[i]); ++i, any = true)
        digits += static_cast<char>(text[i]);
    if (i < text.size() && text[i] == u'.') {
        digits += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i, any = true)
            digits += static_cast<char>(text[i]);
    }
    if (!any)
        return 0.0;
    bool smallExponent = false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'-' || text[j] == u'+'))
            exponent += static_cast<char>(text[j++]);
        if (j < text.size() && isDigit(text[j])) {
            for (; j < text.size() && isDigit(text[j]); ++j)
                exponent += static_cast<char>(text[j]);
            smallExponent = exponent[1] == '-';
            digits += exponent;
        }
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range)
        value = smallExponent ? 0.0 : DBL_MAX;
    else if (error != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

} // namespace quelt_gui
