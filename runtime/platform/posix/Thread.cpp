#include "runtime/platform/Thread.h"

#include <algorithm>
#include <climits>
#include <new>
#include <pthread.h>

namespace platform {
namespace {

struct Launch {
    ThreadRoutine routine;
    void* parameter;
};

void* trampoline(void* raw) {
    const Launch launch = *static_cast<Launch*>(raw);
    delete static_cast<Launch*>(raw);
    launch.routine(launch.parameter);
    return nullptr;
}

} // namespace

bool startDetachedThread(ThreadRoutine routine, void* parameter, std::size_t stackSize) {
    if (!routine)
        return false;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    bool ok = pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED) == 0;
    if (ok && stackSize)
        ok = pthread_attr_setstacksize(&attributes, std::max(stackSize, std::size_t(PTHREAD_STACK_MIN))) == 0;
    Launch* launch = ok ? new (std::nothrow) Launch{routine, parameter} : nullptr;
    if (launch) {
        pthread_t thread;
        ok = pthread_create(&thread, &attributes, trampoline, launch) == 0;
        if (!ok)
            delete launch;
    } else {
        ok = false;
    }
    pthread_attr_destroy(&attributes);
    return ok;
}

} // namespace platform
