#include "runtime/core/ThreadStateRegistry.h"

#include <cstring>

ThreadStateRegistry::ThreadStateRegistry(unsigned processors) : limit_(2u * processors + 2u) {}

ThreadStateRegistry::~ThreadStateRegistry() { close(); }

bool ThreadStateRegistry::add(CQueltRegisteredThreadState* state) {
    platform::CriticalSectionLock lock(lock_);
    if (closing_ || !state)
        return false;
    state->addRef();
    list_.append(&state, sizeof state);
    return true;
}

void ThreadStateRegistry::removeAt(std::size_t index) {
    CQueltRegisteredThreadState** items = entries();
    const std::size_t n = list_.size() / sizeof(*items);
    CQueltRegisteredThreadState* state = items[index];
    std::memmove(items + index, items + index + 1, (n - index - 1) * sizeof(*items));
    list_.setSize(list_.size() - sizeof(*items));
    state->release();
}

std::size_t ThreadStateRegistry::reap(std::uint64_t now) {
    platform::CriticalSectionLock lock(lock_);
    if (closing_ || !enabled_ || (lastReap_ != 0 && now - lastReap_ < interval_))
        return 0;
    lastReap_ = now;
    std::size_t released = 0;
    // Old finished entries first, then, over the limit, finished ones by age.
    for (std::size_t i = 0; i < list_.size() / sizeof(void*);) {
        CQueltRegisteredThreadState* state = entries()[i];
        if (state->finished() && now - state->finishedTick() >= retention_) {
            removeAt(i);
            ++released;
        } else {
            ++i;
        }
    }
    for (std::size_t i = 0; i < list_.size() / sizeof(void*) && list_.size() / sizeof(void*) > limit_;) {
        if (entries()[i]->finished()) {
            removeAt(i);
            ++released;
        } else {
            ++i;
        }
    }
    return released;
}

void ThreadStateRegistry::close() {
    platform::CriticalSectionLock lock(lock_);
    closing_ = true;
    while (!list_.empty())
        removeAt(list_.size() / sizeof(void*) - 1);
}

std::size_t ThreadStateRegistry::count() {
    platform::CriticalSectionLock lock(lock_);
    return list_.size() / sizeof(void*);
}

bool ThreadStateRegistry::closed() {
    platform::CriticalSectionLock lock(lock_);
    return closing_;
}
