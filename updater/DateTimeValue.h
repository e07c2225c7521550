#pragma once
// Date-time values as the list rules compare them: days since 30 December 1899,
// the time of day as the fraction. The earliest value, -657434 (1 January 100),
// stands for "unknown".
#include "runtime/core/WString.h"

#include <cstdint>
#include <optional>

namespace rg_quelt_app {

inline constexpr double kEarliestDateTime = -657434.0;

// The value of a calendar date and time; nothing when a field is out of range
// (year 100-9999, the month's real length, hour 0-23, minute and second 0-59).
std::optional<double> dateTimeValue(int year, int month, int day, int hour, int minute, int second);

// The year-first reading of a date-time text: up to 4 digits of year, then up to 2
// each of month, day, hour, minute and second, each field followed by one of its
// separators ("-", ".", "/", ":" and 年 月 日 时 分; a space also after the day),
// optionally closed by "秒". Missing fields count as 0 and are clamped into range.
// Nothing for an empty text or one with anything else left over (such as an ISO
// "T" between date and time).
std::optional<double> parseYearFirstDateTime(std::u16string_view text);

// The same reading as a file time (platform::fileLastWriteTime's scale), taking the
// text as local time; nothing when it does not parse or the system cannot convert it.
std::optional<std::int64_t> fileTimeOfYearFirst(std::u16string_view text);

// The local last-write time of a file as a date-time value, to the whole second;
// the earliest value when the file cannot be found or the time not converted.
double localFileDateTime(const CWString& path);
// The same, telling whether the file was found: false leaves `value` alone.
bool localFileDateTime(const CWString& path, double& value);

} // namespace rg_quelt_app
