#pragma once
// ThreadExitSlot: a pointer of each thread's own that the platform hands to a function
// on that thread as the thread ends (when the value is not null), so that a
// per-thread cache can give its contents back. Unlike a thread_local object's
// destructor, it does not depend on when the C++ runtime tears down the thread's
// variables, which differs between platforms.
//
// A slot lives as long as the process and is never deleted: deleting one could run
// the function on one thread for another thread's value. Whether the function runs
// for the thread that ends the process is up to the platform; it must cope with
// other threads having been stopped anywhere.
#include <cstdint>

namespace platform {

class ThreadExitSlot {
public:
    using Function = void (*)(void* value);

    explicit ThreadExitSlot(Function atExit);
    ThreadExitSlot(const ThreadExitSlot&) = delete;
    ThreadExitSlot& operator=(const ThreadExitSlot&) = delete;

    // False when the platform had no slot to give: get() is then null and set() fails.
    bool valid() const { return valid_; }
    // The calling thread's value; null until it sets one.
    void* get() const;
    bool set(void* value);

private:
    std::uint32_t key_ = 0;
    bool valid_ = false;
};

} // namespace platform
