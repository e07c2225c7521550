#include "runtime/platform/SystemInfo.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

std::uint64_t currentThreadId() { return static_cast<std::uint64_t>(syscall(SYS_gettid)); }

std::uint64_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

unsigned processorCount() {
    const long count = sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<unsigned>(count) : 1u;
}

bool debuggerPresent() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return false;
    char line[256];
    bool traced = false;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "TracerPid:", 10) == 0) {
            traced = std::strtol(line + 10, nullptr, 10) != 0;
            break;
        }
    }
    std::fclose(status);
    return traced;
}

namespace {

constexpr std::int64_t kUnixEpochIn1601 = 11644473600LL; // seconds
constexpr std::int64_t kUnitsPerSecond = 10000000;

std::int64_t nowFileTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<std::int64_t>(now.tv_sec) + kUnixEpochIn1601) * kUnitsPerSecond + now.tv_nsec / 100;
}

// The start from the kernel's account: the boot time ("btime" of /proc/stat)
// and the start after boot in clock ticks (field 22 of /proc/self/stat, after
// the name in parentheses, which may itself hold blanks and parentheses).
bool startFromProc(std::int64_t& fileTime) {
    long long bootSeconds = -1;
    if (std::FILE* stat = std::fopen("/proc/stat", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, stat))
            if (std::sscanf(line, "btime %lld", &bootSeconds) == 1)
                break;
        std::fclose(stat);
    }
    char text[1024] = {};
    std::FILE* self = std::fopen("/proc/self/stat", "r");
    if (!self)
        return false;
    const std::size_t length = std::fread(text, 1, sizeof text - 1, self);
    std::fclose(self);
    text[length] = 0;
    const char* field = std::strrchr(text, ')');
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (bootSeconds < 0 || !field || ticksPerSecond <= 0)
        return false;
    // Fields 3 to 21 come before the start time.
    for (int skip = 0; skip < 20 && field; ++skip)
        field = std::strchr(field + 1, ' ');
    if (!field)
        return false;
    const long long ticks = std::strtoll(field + 1, nullptr, 10);
    fileTime = (bootSeconds + kUnixEpochIn1601) * kUnitsPerSecond + ticks * kUnitsPerSecond / ticksPerSecond;
    return true;
}

// Read while the program starts, so that later calls neither read /proc again
// nor see a later time than the start where /proc cannot be read.
const std::int64_t processStart = [] {
    std::int64_t fileTime = 0;
    return startFromProc(fileTime) ? fileTime : nowFileTime();
}();

} // namespace

std::int64_t processStartTime() { return processStart; }

} // namespace platform
