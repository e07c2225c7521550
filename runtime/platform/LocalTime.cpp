#include "runtime/platform/LocalTime.h"

#include <ctime>

namespace platform {

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

} // namespace

bool fileTimeToLocal(std::int64_t fileTime, LocalTimeParts& parts) {
    // Floor division, so that times before 1970 round towards the past too.
    std::int64_t seconds = fileTime / kTicksPerSecond;
    if (fileTime % kTicksPerSecond < 0)
        --seconds;
    const std::time_t unixTime = static_cast<std::time_t>(seconds - kSecondsFrom1601To1970);
    std::tm local{};
#if defined(_WIN32)
    if (localtime_s(&local, &unixTime) != 0)
        return false;
#else
    if (!localtime_r(&unixTime, &local))
        return false;
#endif
    parts = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
             local.tm_hour,        local.tm_min,     local.tm_sec > 59 ? 59 : local.tm_sec};
    return true;
}

bool localToFileTime(const LocalTimeParts& parts, std::int64_t& fileTime) {
    std::tm local{};
    local.tm_year = parts.year - 1900;
    local.tm_mon = parts.month - 1;
    local.tm_mday = parts.day;
    local.tm_hour = parts.hour;
    local.tm_min = parts.minute;
    local.tm_sec = parts.second;
    local.tm_isdst = -1; // the zone's own rule for that day
    const std::time_t unixTime = std::mktime(&local);
    // Also the last second of 1969, which no module carries; the Windows runtime
    // knows no time before 1970 at all.
    if (unixTime == static_cast<std::time_t>(-1))
        return false;
    fileTime = (static_cast<std::int64_t>(unixTime) + kSecondsFrom1601To1970) * kTicksPerSecond;
    return true;
}

} // namespace platform
