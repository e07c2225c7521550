#include "runtime/platform/SystemInfo.h"

#include <windows.h>

namespace platform {

std::uint64_t currentThreadId() { return GetCurrentThreadId(); }

std::uint64_t tickCount() { return GetTickCount64(); }

unsigned processorCount() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors ? info.dwNumberOfProcessors : 1u;
}

bool debuggerPresent() { return IsDebuggerPresent() != 0; }

std::int64_t processStartTime() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        GetSystemTimeAsFileTime(&created);
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(created.dwHighDateTime) << 32) |
                                     created.dwLowDateTime);
}

} // namespace platform
