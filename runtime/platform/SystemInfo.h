#pragma once
// Small facts about the running process and machine.
#include <cstdint>

namespace platform {

std::uint64_t currentThreadId();
// Milliseconds from a fixed point in the past; never goes backwards.
std::uint64_t tickCount();
unsigned processorCount();
bool debuggerPresent();
// When the running process started, in the scale of fileLastWriteTime
// (100-nanosecond units since 1 January 1601 UTC).
std::int64_t processStartTime();

} // namespace platform
