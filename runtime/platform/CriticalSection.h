#pragma once
// A recursive lock with the semantics of a Win32 critical section: the owning thread
// may enter again, and must leave as often as it entered.
#include <cstdint>

namespace platform {

class ConditionVariable;

class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter();
    bool tryEnter();
    void leave();

private:
    friend class ConditionVariable;
    // Storage for the native object: CRITICAL_SECTION or pthread_mutex_t.
    alignas(8) unsigned char native_[64];
};

// Scoped holder.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& section) : section_(section) { section_.enter(); }
    ~CriticalSectionLock() { section_.leave(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CriticalSection& section_;
};

} // namespace platform
