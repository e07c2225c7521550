// Notice receivers without a window system: each thread that owns a receiver gets a
// queue; other threads put their calls on it and, for a send, wait for the answer.
#include "runtime/platform/NoticeReceiver.h"

#include "runtime/platform/SystemInfo.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {
namespace {

struct Notice {
    NoticeWindow* window;
    std::uintptr_t first, second, third;
    bool synchronous;
    bool done = false;
    std::intptr_t result = 0;
};

// One per owning thread; shared with the windows that belong to it.
struct ThreadQueue {
    std::mutex lock;
    std::condition_variable arrived;  // owner waits for work
    std::condition_variable answered; // senders wait for their answers
    std::deque<Notice*> pending;
};

std::intptr_t callReceiver(IQueltNoticeReceiver* receiver, const Notice& notice) {
    try {
        return receiver->onNotice(notice.first, notice.second, notice.third);
    } catch (...) {
        return 0;
    }
}

std::shared_ptr<ThreadQueue>& threadQueue() {
    thread_local std::shared_ptr<ThreadQueue> queue;
    return queue;
}

} // namespace

class NoticeWindow {
public:
    NoticeWindow(IQueltNoticeReceiver* receiver, std::shared_ptr<ThreadQueue> queue)
        : receiver_(receiver), queue_(std::move(queue)), owner_(currentThreadId()) {}

    IQueltNoticeReceiver* receiver_;
    std::shared_ptr<ThreadQueue> queue_;
    std::uint64_t owner_;
};

namespace {

// Drops every queued notice for `window`, answering its senders with 0.
void cancelPending(ThreadQueue& queue, NoticeWindow* window) {
    std::lock_guard<std::mutex> guard(queue.lock);
    for (auto it = queue.pending.begin(); it != queue.pending.end();) {
        Notice* notice = *it;
        if (notice->window != window) {
            ++it;
            continue;
        }
        it = queue.pending.erase(it);
        if (notice->synchronous) {
            notice->done = true;
            notice->result = 0;
        } else {
            delete notice;
        }
    }
    queue.answered.notify_all();
}

} // namespace

NoticeWindow* createNoticeWindow(IQueltNoticeReceiver* receiver) {
    if (!receiver)
        return nullptr;
    std::shared_ptr<ThreadQueue>& queue = threadQueue();
    if (!queue)
        queue = std::make_shared<ThreadQueue>();
    return new NoticeWindow(receiver, queue);
}

void destroyNoticeWindow(NoticeWindow* window) {
    if (!window)
        return;
    cancelPending(*window->queue_, window);
    delete window;
}

std::intptr_t sendNotice(NoticeWindow* window, std::uintptr_t first, std::uintptr_t second,
                         std::uintptr_t third) {
    if (!window)
        return 0;
    Notice notice{window, first, second, third, true};
    if (window->owner_ == currentThreadId())
        return callReceiver(window->receiver_, notice);
    // The window may be destroyed while we wait, so keep its queue alive ourselves.
    std::shared_ptr<ThreadQueue> queue = window->queue_;
    std::unique_lock<std::mutex> guard(queue->lock);
    queue->pending.push_back(&notice);
    queue->arrived.notify_all();
    queue->answered.wait(guard, [&] { return notice.done; });
    return notice.result;
}

bool postNotice(NoticeWindow* window, std::uintptr_t first, std::uintptr_t second) {
    if (!window)
        return false;
    auto* notice = new Notice{window, first, second, 0, false};
    std::lock_guard<std::mutex> guard(window->queue_->lock);
    window->queue_->pending.push_back(notice);
    window->queue_->arrived.notify_all();
    return true;
}

std::uint64_t noticeWindowThread(const NoticeWindow* window) { return window ? window->owner_ : 0; }

int serviceNotices(std::uint32_t timeoutMs) {
    std::shared_ptr<ThreadQueue> queue = threadQueue();
    if (!queue) {
        // Nothing can ever arrive for this thread; still honour the wait.
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return 0;
    }
    int ran = 0;
    std::unique_lock<std::mutex> guard(queue->lock);
    if (queue->pending.empty())
        queue->arrived.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                [&] { return !queue->pending.empty(); });
    while (!queue->pending.empty()) {
        Notice* notice = queue->pending.front();
        queue->pending.pop_front();
        // The call runs unlocked: it may send or post notices itself, or destroy the window.
        guard.unlock();
        const std::intptr_t result = callReceiver(notice->window->receiver_, *notice);
        guard.lock();
        ++ran;
        if (notice->synchronous) {
            notice->result = result;
            notice->done = true;
            queue->answered.notify_all();
        } else {
            delete notice;
        }
    }
    return ran;
}

} // namespace platform
