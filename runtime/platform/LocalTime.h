#pragma once
// Calendar time in the machine's local time zone.
#include <cstdint>

namespace platform {

struct LocalTimeParts {
    int year;
    int month;  // 1-12
    int day;    // 1-31
    int hour;   // 0-23
    int minute; // 0-59
    int second; // 0-59 (a leap second reads as 59)
};

// A file time (100-nanosecond units since 1 January 1601 UTC) in local time, to the
// whole second; false when the system cannot convert it.
bool fileTimeToLocal(std::int64_t fileTime, LocalTimeParts& parts);

// The file time of a local date and time. A time that the clock skips (the hour a
// change to summer time leaves out) is taken as the system does, an hour later;
// false when the system cannot convert it (on Windows: any time before 1970).
bool localToFileTime(const LocalTimeParts& parts, std::int64_t& fileTime);

} // namespace platform
