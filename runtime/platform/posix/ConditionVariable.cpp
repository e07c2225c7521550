#include "runtime/platform/ConditionVariable.h"

#include "runtime/platform/CriticalSection.h"

#include <pthread.h>

namespace platform {

static_assert(sizeof(pthread_cond_t) <= 64, "native storage too small");

namespace {

pthread_cond_t* native(unsigned char* storage) { return reinterpret_cast<pthread_cond_t*>(storage); }

} // namespace

ConditionVariable::ConditionVariable() { pthread_cond_init(native(native_), nullptr); }

ConditionVariable::~ConditionVariable() { pthread_cond_destroy(native(native_)); }

void ConditionVariable::wait(CriticalSection& section) {
    pthread_cond_wait(native(native_), reinterpret_cast<pthread_mutex_t*>(section.native_));
}

void ConditionVariable::notifyAll() { pthread_cond_broadcast(native(native_)); }

} // namespace platform
