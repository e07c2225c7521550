#pragma once
// An event object with the semantics of a Win32 event. A manual-reset event stays
// signalled until reset and releases every waiter; an auto-reset event releases one
// waiter and becomes unsignalled again as that waiter returns.
//
// Creation can fail (valid() is then false); every operation on an invalid event
// does nothing, and wait() reports WaitResult::failed. An event may be set from any
// thread. Destroying it while another thread waits on it is an error of the caller;
// destroying it right after a set() from another thread has returned, or while that
// set() is finishing, is safe (the starter of a thread relies on this).
#include <cstdint>

namespace platform {

enum class WaitResult { signalled, timedOut, failed };

class Event {
public:
    static constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

    Event(bool manualReset, bool initiallySignalled);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    bool valid() const { return native_ != nullptr; }
    void set();
    void reset();
    // Waits at most `timeoutMs` milliseconds (kInfinite: without limit; 0: only
    // tests the state).
    WaitResult wait(std::uint32_t timeoutMs);

private:
    // A HANDLE on Windows, the event's own record elsewhere.
    void* native_;
};

} // namespace platform
