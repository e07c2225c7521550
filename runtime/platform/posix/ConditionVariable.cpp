#include "runtime/platform/ConditionVariable.h"

#include "runtime/platform/CriticalSection.h"

#include <pthread.h>
#include <time.h>

namespace platform {

static_assert(sizeof(pthread_cond_t) <= 64, "native storage too small");

namespace {

pthread_cond_t* native(unsigned char* storage) { return reinterpret_cast<pthread_cond_t*>(storage); }

} // namespace

ConditionVariable::ConditionVariable() {
    // A timed wait must not stretch when someone sets the clock back.
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(native(native_), &attributes);
    pthread_condattr_destroy(&attributes);
}

ConditionVariable::~ConditionVariable() { pthread_cond_destroy(native(native_)); }

void ConditionVariable::wait(CriticalSection& section) {
    pthread_cond_wait(native(native_), reinterpret_cast<pthread_mutex_t*>(section.native_));
}

void ConditionVariable::waitFor(CriticalSection& section, std::uint32_t milliseconds) {
    timespec until{};
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_sec += static_cast<time_t>(milliseconds / 1000);
    until.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
        until.tv_nsec -= 1000000000L;
        ++until.tv_sec;
    }
    pthread_cond_timedwait(native(native_), reinterpret_cast<pthread_mutex_t*>(section.native_), &until);
}

void ConditionVariable::notifyAll() { pthread_cond_broadcast(native(native_)); }

} // namespace platform
