#pragma once
// Threads that nobody joins: the thread's resources go when its routine returns, and
// the process may end while it runs.
#include <cstddef>

namespace platform {

// The routine of a new thread; it must not let an exception escape. Its result is
// the thread's exit code.
using ThreadRoutine = unsigned (*)(void* parameter);

// Runs routine(parameter) on a new thread. `stackSize` 0 takes the platform's
// default (the executable's stack reserve on Windows, the default pthread stack
// elsewhere); otherwise it is the stack reservation in bytes. Returns false when
// the thread could not be created or started: the routine then never runs and
// `parameter` stays the caller's.
bool startDetachedThread(ThreadRoutine routine, void* parameter, std::size_t stackSize = 0);

} // namespace platform
