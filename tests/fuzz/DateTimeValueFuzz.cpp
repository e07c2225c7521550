// The year-first date rule on any text: a text with a character the rule does not
// know is invalid; a valid one lies between 100-01-01 00:00:00 and 9999-12-31
// 23:59:59, and the same date and time written out in full reads back as the same
// value.
#include "updater/DateTimeValue.h"

#include "tests/fuzz/FuzzInput.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

// The civil date of a day count since 1970-01-01 (proleptic Gregorian).
void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0));
}

std::u16string twoDigits(int value) {
    return {static_cast<char16_t>(u'0' + value / 10), static_cast<char16_t>(u'0' + value % 10)};
}

// The value written as "YYYY-MM-DD HH:MM:SS".
std::u16string fullText(double value) {
    const double days = std::floor(value);
    const auto seconds = static_cast<int>(std::lround((value - days) * 86400.0));
    int year, month, day;
    // Day 0 is 1899-12-30, which is 25569 days before 1970-01-01.
    civilFromDays(static_cast<std::int64_t>(days) - 25569, year, month, day);
    return twoDigits(year / 100) + twoDigits(year % 100) + u"-" + twoDigits(month) + u"-" + twoDigits(day) +
           u" " + twoDigits(seconds / 3600) + u":" + twoDigits(seconds / 60 % 60) + u":" +
           twoDigits(seconds % 60);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rg_quelt_app;
    const CWString text = CWString::fromUtf8(reinterpret_cast<const char*>(data), size);
    const std::optional<double> value = parseYearFirstDateTime(text.view());
    if (!value)
        return 0;
    FUZZ_CHECK(text.view().find_first_not_of(u"0123456789-./: 年月日时分秒") == std::u16string_view::npos);
    FUZZ_CHECK(std::isfinite(*value));
    FUZZ_CHECK(*value >= *dateTimeValue(100, 1, 1, 0, 0, 0));
    FUZZ_CHECK(*value <= *dateTimeValue(9999, 12, 31, 23, 59, 59));
    const std::optional<double> again = parseYearFirstDateTime(fullText(*value));
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(std::fabs(*again - *value) < 0.5 / 86400.0);
    return 0;
}
