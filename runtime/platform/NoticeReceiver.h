#pragma once
// The cross-thread notice receiver: a call made on whatever thread is handed to the
// thread that created the receiver and runs there. A synchronous send waits for the
// answer; a send from the owning thread is a direct call. The owning thread services
// notices while it runs its message loop (the window loop on Windows, or
// serviceNotices on any platform).
//
// On Windows this is a hidden window of class "_QUELT_IQueltNoticeReceiver" whose
// window property of the same name points to the receiver; WM_APP + 1 with
// lParam 18 carries a synchronous notice, WM_APP + 2 a posted one.
#include <cstdint>

// What receives the notices. The callee runs on the receiver window's thread and
// must not let an exception escape (one that does is swallowed and answers 0).
class IQueltNoticeReceiver {
public:
    virtual std::intptr_t onNotice(std::uintptr_t first, std::uintptr_t second, std::uintptr_t third) = 0;

protected:
    ~IQueltNoticeReceiver() = default;
};

namespace platform {

class NoticeWindow;

// Creates a receiver window owned by the calling thread; null on failure.
NoticeWindow* createNoticeWindow(IQueltNoticeReceiver* receiver);
// On the owning thread. Pending sends from other threads are answered with 0.
void destroyNoticeWindow(NoticeWindow* window);

// Runs the receiver's onNotice on the owning thread and returns its answer; 0 when
// the window is gone.
std::intptr_t sendNotice(NoticeWindow* window, std::uintptr_t first, std::uintptr_t second,
                         std::uintptr_t third);
// Queues onNotice(first, second, 0) for the owning thread without waiting.
bool postNotice(NoticeWindow* window, std::uintptr_t first, std::uintptr_t second);

std::uint64_t noticeWindowThread(const NoticeWindow* window);

// Services the calling thread's pending notices (and, on Windows, its other
// messages), waiting up to `timeoutMs` for the first one. Returns how many notices
// ran. A thread that waits for another thread's work calls this in its wait loop.
int serviceNotices(std::uint32_t timeoutMs);

} // namespace platform
