#include "runtime/platform/Event.h"

#include <cerrno>
#include <ctime>
#include <new>
#include <pthread.h>

namespace platform {
namespace {

struct EventRecord {
    pthread_mutex_t mutex;
    pthread_cond_t changed;
    bool manualReset;
    bool signalled;
};

EventRecord* record(void* native) { return static_cast<EventRecord*>(native); }

// Deadline on the monotonic clock, which the condition variable waits against, so
// that a change of the wall clock neither shortens nor stretches a wait.
timespec deadlineAfter(std::uint32_t timeoutMs) {
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<time_t>(timeoutMs / 1000u);
    deadline.tv_nsec += static_cast<long>(timeoutMs % 1000u) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    return deadline;
}

EventRecord* createRecord(bool manualReset, bool initiallySignalled) {
    auto* event = new (std::nothrow) EventRecord{};
    if (!event)
        return nullptr;
    if (pthread_mutex_init(&event->mutex, nullptr) != 0) {
        delete event;
        return nullptr;
    }
    pthread_condattr_t attributes;
    bool ok = pthread_condattr_init(&attributes) == 0;
    if (ok) {
        ok = pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC) == 0 &&
             pthread_cond_init(&event->changed, &attributes) == 0;
        pthread_condattr_destroy(&attributes);
    }
    if (!ok) {
        pthread_mutex_destroy(&event->mutex);
        delete event;
        return nullptr;
    }
    event->manualReset = manualReset;
    event->signalled = initiallySignalled;
    return event;
}

} // namespace

Event::Event(bool manualReset, bool initiallySignalled) : native_(createRecord(manualReset, initiallySignalled)) {}

Event::~Event() {
    if (EventRecord* event = record(native_)) {
        pthread_cond_destroy(&event->changed);
        pthread_mutex_destroy(&event->mutex);
        delete event;
    }
}

void Event::set() {
    EventRecord* event = record(native_);
    if (!event)
        return;
    pthread_mutex_lock(&event->mutex);
    event->signalled = true;
    // Broadcast also for auto-reset: the first waiter to get the mutex takes the
    // signal, the others find it gone and wait on.
    pthread_cond_broadcast(&event->changed);
    pthread_mutex_unlock(&event->mutex);
}

void Event::reset() {
    EventRecord* event = record(native_);
    if (!event)
        return;
    pthread_mutex_lock(&event->mutex);
    event->signalled = false;
    pthread_mutex_unlock(&event->mutex);
}

WaitResult Event::wait(std::uint32_t timeoutMs) {
    EventRecord* event = record(native_);
    if (!event)
        return WaitResult::failed;
    pthread_mutex_lock(&event->mutex);
    WaitResult result = WaitResult::signalled;
    if (!event->signalled && timeoutMs != 0) {
        if (timeoutMs == kInfinite) {
            while (!event->signalled)
                pthread_cond_wait(&event->changed, &event->mutex);
        } else {
            const timespec deadline = deadlineAfter(timeoutMs);
            while (!event->signalled) {
                const int rc = pthread_cond_timedwait(&event->changed, &event->mutex, &deadline);
                if (rc == ETIMEDOUT)
                    break;
                if (rc != 0 && rc != EINTR) {
                    result = WaitResult::failed;
                    break;
                }
            }
        }
    }
    if (result == WaitResult::signalled) {
        if (!event->signalled)
            result = WaitResult::timedOut;
        else if (!event->manualReset)
            event->signalled = false;
    }
    pthread_mutex_unlock(&event->mutex);
    return result;
}

} // namespace platform
