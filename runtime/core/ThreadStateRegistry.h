#pragma once
// The runtime's registry of per-thread states. Entries are shared records; the
// registry holds one reference to each. Reaping, at most once per interval, releases
// finished entries older than the retention age, and, while more entries than the
// limit are registered, finished ones from the oldest on. Closing releases all and
// refuses later registrations.
#include "runtime/core/QueltMem.h"
#include "runtime/core/RefObject.h"
#include "runtime/platform/CriticalSection.h"

#include <cstdint>

class CQueltRegisteredThreadState : public CRefObject {
public:
    // Whether the thread has ended, and the tick at which it did.
    virtual bool finished() const = 0;
    virtual std::uint64_t finishedTick() const = 0;
};

class ThreadStateRegistry {
public:
    // Milliseconds of platform::tickCount, the clock that reap is given.
    static constexpr std::uint64_t kReapInterval = 1000;
    static constexpr std::uint64_t kRetentionAge = 16000;

    explicit ThreadStateRegistry(unsigned processors);
    ~ThreadStateRegistry();
    ThreadStateRegistry(const ThreadStateRegistry&) = delete;
    ThreadStateRegistry& operator=(const ThreadStateRegistry&) = delete;

    // Takes a reference of its own; false (and no reference) once closed.
    bool add(CQueltRegisteredThreadState* state);
    // Returns how many entries were released.
    std::size_t reap(std::uint64_t now);
    void close();

    std::size_t count();
    std::size_t limit() const { return limit_; }
    bool closed();

private:
    CQueltRegisteredThreadState** entries() {
        return reinterpret_cast<CQueltRegisteredThreadState**>(list_.data());
    }
    void removeAt(std::size_t index);

    platform::CriticalSection lock_;
    std::uint64_t interval_ = kReapInterval;
    std::size_t limit_;
    std::uint64_t retention_ = kRetentionAge;
    int enabled_ = 1;
    std::uint64_t lastReap_ = 0;
    CQueltMem list_;
    bool closing_ = false;
};
