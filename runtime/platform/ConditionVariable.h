#pragma once
// A condition variable used together with a CriticalSection that the waiting thread
// has entered exactly once.
#include <cstdint>

namespace platform {

class CriticalSection;

class ConditionVariable {
public:
    ConditionVariable();
    ~ConditionVariable();
    ConditionVariable(const ConditionVariable&) = delete;
    ConditionVariable& operator=(const ConditionVariable&) = delete;

    // Leaves the section while waiting and enters it again before returning.
    // Spurious wake-ups are possible: callers wait in a loop on their condition.
    void wait(CriticalSection& section);
    // As wait, for at most `milliseconds` (a steady clock's, untouched by changes of
    // the system's time).
    void waitFor(CriticalSection& section, std::uint32_t milliseconds);
    void notifyAll();

private:
    alignas(8) unsigned char native_[64];
};

} // namespace platform
