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

} // namespace platform
