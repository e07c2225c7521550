#include "updater/DateTimeValue.h"

#include "runtime/platform/FileSystem.h"
#include "runtime/platform/LocalTime.h"

namespace rg_quelt_app {
namespace {

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int monthLength(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to a proleptic Gregorian date.
std::int64_t daysFromCivil(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<std::int64_t>(era) * 146097 + doe - 719468;
}

// Reads up to `maxDigits` decimal digits at `pos`; 0 when there are none.
int readNumber(std::u16string_view text, std::size_t& pos, int maxDigits) {
    int value = 0;
    for (int n = 0; n < maxDigits && pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'; ++n, ++pos)
        value = value * 10 + (text[pos] - u'0');
    return value;
}

void skipOne(std::u16string_view text, std::size_t& pos, std::u16string_view separators) {
    if (pos < text.size() && separators.find(text[pos]) != std::u16string_view::npos)
        ++pos;
}

int clamp(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

} // namespace

std::optional<double> dateTimeValue(int year, int month, int day, int hour, int minute, int second) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > monthLength(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    // 1899-12-30 is day 0.
    const std::int64_t days = daysFromCivil(year, month, day) - daysFromCivil(1899, 12, 30);
    const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
    // One linear scale, also before day 0, so that later always compares greater.
    return static_cast<double>(days) + fraction;
}

namespace {

// The fields of a year-first text, clamped into range; nothing when it does not parse.
std::optional<platform::LocalTimeParts> yearFirstParts(std::u16string_view text) {
    if (text.empty())
        return std::nullopt;
    std::size_t pos = 0;
    const int year = readNumber(text, pos, 4);
    skipOne(text, pos, u"-./:年");
    const int month = readNumber(text, pos, 2);
    skipOne(text, pos, u"-./:月");
    const int day = readNumber(text, pos, 2);
    skipOne(text, pos, u" -./:日");
    const int hour = readNumber(text, pos, 2);
    skipOne(text, pos, u"-./:时");
    const int minute = readNumber(text, pos, 2);
    skipOne(text, pos, u"-./:分");
    const int second = readNumber(text, pos, 2);
    if (pos < text.size() && text[pos] == u'秒')
        ++pos;
    if (pos != text.size())
        return std::nullopt;
    const int y = clamp(year, 100, 9999);
    const int m = clamp(month, 1, 12);
    return platform::LocalTimeParts{y,
                                    m,
                                    clamp(day, 1, monthLength(y, m)),
                                    clamp(hour, 0, 23),
                                    clamp(minute, 0, 59),
                                    clamp(second, 0, 59)};
}

} // namespace

std::optional<double> parseYearFirstDateTime(std::u16string_view text) {
    const auto parts = yearFirstParts(text);
    if (!parts)
        return std::nullopt;
    return dateTimeValue(parts->year, parts->month, parts->day, parts->hour, parts->minute, parts->second);
}

std::optional<std::int64_t> fileTimeOfYearFirst(std::u16string_view text) {
    const auto parts = yearFirstParts(text);
    std::int64_t fileTime = 0;
    if (!parts || !platform::localToFileTime(*parts, fileTime))
        return std::nullopt;
    return fileTime;
}

bool localFileDateTime(const CWString& path, double& value) {
    std::int64_t fileTime = 0;
    if (!platform::fileLastWriteTime(path.view(), fileTime))
        return false;
    platform::LocalTimeParts local{};
    value = platform::fileTimeToLocal(fileTime, local)
                ? dateTimeValue(local.year, local.month, local.day, local.hour, local.minute, local.second)
                      .value_or(kEarliestDateTime)
                : kEarliestDateTime;
    return true;
}

double localFileDateTime(const CWString& path) {
    double value = kEarliestDateTime;
    localFileDateTime(path, value);
    return value;
}

} // namespace rg_quelt_app
