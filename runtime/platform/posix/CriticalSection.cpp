#include "runtime/platform/CriticalSection.h"

#include <pthread.h>

namespace platform {

static_assert(sizeof(pthread_mutex_t) <= 64, "native storage too small");

namespace {

pthread_mutex_t* native(unsigned char* storage) { return reinterpret_cast<pthread_mutex_t*>(storage); }

} // namespace

CriticalSection::CriticalSection() {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(native(native_), &attributes);
    pthread_mutexattr_destroy(&attributes);
}

CriticalSection::~CriticalSection() { pthread_mutex_destroy(native(native_)); }

void CriticalSection::enter() { pthread_mutex_lock(native(native_)); }

bool CriticalSection::tryEnter() { return pthread_mutex_trylock(native(native_)) == 0; }

void CriticalSection::leave() { pthread_mutex_unlock(native(native_)); }

} // namespace platform
