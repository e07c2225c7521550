#include "runtime/platform/SpinLock.h"

#include <thread>

namespace platform {

void spinYield(unsigned round) {
    // Short waits stay on the core; a long one gives the holder a chance to run,
    // which matters when there are more threads than cores.
    if (round < 64)
        cpuPause();
    else
        std::this_thread::yield();
}

} // namespace platform
