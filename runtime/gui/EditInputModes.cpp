#include "runtime/gui/EditInputModes.h"

#include "runtime/gui/LeadingNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quelt_gui {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

CWString fromAscii(std::string_view ascii) { return CWString::fromLatin1(ascii.data(), ascii.size()); }

CWString clampedInteger(std::u16string_view text, std::int64_t lowest, std::int64_t highest) {
    return CWString::fromInteger(std::clamp(leadingInteger64(text), lowest, highest));
}

// printf's "%.<precision>G", written without the locale.
CWString generalNumber(double value, int precision) {
    if (value == 0.0)
        value = 0.0; // no "-0"
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, precision);
    if (error != std::errc())
        return CWString();
    std::string out(buffer, end);
    for (char& c : out)
        if (c == 'e')
            c = 'E';
    return fromAscii(out);
}

// A currency amount is held exactly, in ten-thousandths.
constexpr std::int64_t kCurrencyScale = 10000;

CWString currency(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max();
    std::int64_t whole = 0;
    bool saturated = false;
    // Group separators in the whole part are skipped, so a grouped amount reads fully.
    for (; i < text.size() && (isDigit(text[i]) || text[i] == u','); ++i) {
        if (text[i] == u',')
            continue;
        const int digit = text[i] - u'0';
        if (whole > (limit / kCurrencyScale - digit) / 10)
            saturated = true;
        else
            whole = whole * 10 + digit;
    }
    std::int64_t fraction = 0;
    if (i < text.size() && text[i] == u'.') {
        std::int64_t scale = kCurrencyScale / 10;
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            const int digit = text[i] - u'0';
            if (scale > 0) {
                fraction += digit * scale;
                scale /= 10;
            } else if (scale == 0) {
                // The first digit beyond four decimals rounds, half away from zero.
                if (digit >= 5)
                    ++fraction;
                scale = -1;
            }
        }
    }
    std::int64_t amount = saturated ? limit : whole * kCurrencyScale;
    amount = amount > limit - fraction ? limit : amount + fraction;
    std::string out;
    if (negative && amount != 0)
        out += '-';
    out += std::to_string(amount / kCurrencyScale);
    std::int64_t rest = amount % kCurrencyScale;
    if (rest != 0) {
        std::string decimals = std::to_string(rest + kCurrencyScale).substr(1);
        decimals.erase(decimals.find_last_not_of('0') + 1);
        out += '.';
        out += decimals;
    }
    return fromAscii(out);
}

// Reads up to `maxDigits` digits; false when there is none.
bool readNumber(std::u16string_view text, std::size_t& i, int maxDigits, int& value) {
    const std::size_t start = i;
    value = 0;
    while (i < text.size() && isDigit(text[i]) && static_cast<int>(i - start) < maxDigits)
        value = value * 10 + (text[i++] - u'0');
    return i > start;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "Y-M-D", "Y/M/D" or "Y.M.D", optionally followed by a blank or 'T' and "H:M" or
// "H:M:S"; blanks around the whole. False for anything else or an invalid date.
bool parseDateTime(std::u16string_view text, DateTime& out, bool& hasTime) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
            ++i;
    };
    skipBlanks();
    if (!readNumber(text, i, 4, out.year) || i >= text.size())
        return false;
    const char16_t separator = text[i];
    if (separator != u'-' && separator != u'/' && separator != u'.')
        return false;
    ++i;
    if (!readNumber(text, i, 2, out.month) || i >= text.size() || text[i] != separator)
        return false;
    ++i;
    if (!readNumber(text, i, 2, out.day))
        return false;
    hasTime = false;
    if (i < text.size() && (text[i] == u' ' || text[i] == u'T')) {
        ++i;
        skipBlanks();
        if (i < text.size()) {
            if (!readNumber(text, i, 2, out.hour) || i >= text.size() || text[i] != u':')
                return false;
            ++i;
            if (!readNumber(text, i, 2, out.minute))
                return false;
            if (i < text.size() && text[i] == u':') {
                ++i;
                if (!readNumber(text, i, 2, out.second))
                    return false;
            }
            hasTime = true;
        }
    }
    skipBlanks();
    if (i != text.size())
        return false;
    return out.year >= 1 && out.month >= 1 && out.month <= 12 && out.day >= 1 &&
           out.day <= daysInMonth(out.year, out.month) && out.hour <= 23 && out.minute <= 59 &&
           out.second <= 59;
}

CWString formattedDate(std::u16string_view text, bool withTime) {
    DateTime value;
    bool hasTime = false;
    if (!parseDateTime(text, value, hasTime))
        return CWString();
    char buffer[32];
    auto two = [](char* at, int v) {
        at[0] = static_cast<char>('0' + v / 10);
        at[1] = static_cast<char>('0' + v % 10);
    };
    buffer[0] = static_cast<char>('0' + value.year / 1000);
    buffer[1] = static_cast<char>('0' + value.year / 100 % 10);
    two(buffer + 2, value.year % 100);
    buffer[4] = '-';
    two(buffer + 5, value.month);
    buffer[7] = '-';
    two(buffer + 8, value.day);
    std::size_t length = 10;
    if (withTime) {
        buffer[10] = ' ';
        two(buffer + 11, value.hour);
        buffer[13] = ':';
        two(buffer + 14, value.minute);
        buffer[16] = ':';
        two(buffer + 17, value.second);
        length = 19;
    }
    return fromAscii(std::string_view(buffer, length));
}

} // namespace

std::int32_t clampInputMode(std::int32_t mode) { return std::clamp(mode, 0, kInputModeLast); }

bool inputModeAccepts(std::int32_t mode, char16_t typed) {
    if (typed < u' ')
        return true;
    switch (clampInputMode(mode)) {
    case kInputByte:
        return isDigit(typed);
    case kInputSignedDigits:
    case kInputShort:
    case kInputInt:
    case kInputLong:
        return isDigit(typed) || typed == u'-';
    case kInputDecimalDigits:
    case kInputFloat:
    case kInputDouble:
        return isDigit(typed) || typed == u'-' || typed == u'.';
    default:
        return true;
    }
}

CWString normalisedInputText(std::int32_t mode, std::u16string_view text) {
    CWString out;
    switch (clampInputMode(mode)) {
    case kInputByte:
        out = clampedInteger(text, 0, 255);
        break;
    case kInputShort:
        out = clampedInteger(text, -32768, 32767);
        break;
    case kInputInt:
        out = clampedInteger(text, std::numeric_limits<std::int32_t>::min(),
                             std::numeric_limits<std::int32_t>::max());
        break;
    case kInputLong:
        out = CWString::fromInteger(leadingInteger64(text));
        break;
    case kInputFloat:
        out = generalNumber(leadingNumber(text), 6);
        break;
    case kInputDouble:
        out = generalNumber(leadingNumber(text), 13);
        break;
    case kInputDateTime:
        return formattedDate(text, true);
    case kInputDate:
        return formattedDate(text, false);
    case kInputCurrency:
        out = currency(text);
        break;
    default:
        return CWString(text);
    }
    if (out == u"0")
        return CWString();
    return out;
}

} // namespace quelt_gui
