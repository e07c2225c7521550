#include "runtime/platform/ThreadExitSlot.h"

#include <pthread.h>

namespace platform {

static_assert(sizeof(pthread_key_t) <= sizeof(std::uint32_t), "key does not fit");

// The destructor of a key runs on the ending thread, after its thread_local
// destructors and before its thread-local storage goes. It does not run for a thread
// that ends the process.
ThreadExitSlot::ThreadExitSlot(Function atExit) {
    pthread_key_t key;
    valid_ = pthread_key_create(&key, atExit) == 0;
    if (valid_)
        key_ = static_cast<std::uint32_t>(key);
}

void* ThreadExitSlot::get() const {
    return valid_ ? pthread_getspecific(static_cast<pthread_key_t>(key_)) : nullptr;
}

bool ThreadExitSlot::set(void* value) {
    return valid_ && pthread_setspecific(static_cast<pthread_key_t>(key_), value) == 0;
}

} // namespace platform
