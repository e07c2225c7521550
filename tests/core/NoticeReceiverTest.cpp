#include "runtime/platform/NoticeReceiver.h"
#include "runtime/platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class Recorder : public IQueltNoticeReceiver {
public:
    std::intptr_t onNotice(std::uintptr_t first, std::uintptr_t second, std::uintptr_t third) override {
        thread = platform::currentThreadId();
        calls.fetch_add(1);
        sum += static_cast<std::intptr_t>(first + second + third);
        if (first == 99)
            throw 1; // must not escape into the platform
        return static_cast<std::intptr_t>(first * 100 + second);
    }

    std::uint64_t thread = 0;
    std::atomic<int> calls{0};
    std::intptr_t sum = 0;
};

TEST(NoticeReceiver, SendFromTheOwningThreadIsADirectCall) {
    Recorder recorder;
    platform::NoticeWindow* window = platform::createNoticeWindow(&recorder);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(platform::noticeWindowThread(window), platform::currentThreadId());
    EXPECT_EQ(platform::sendNotice(window, 3, 4, 0), 304);
    EXPECT_EQ(recorder.calls.load(), 1);
    EXPECT_EQ(recorder.thread, platform::currentThreadId());
    platform::destroyNoticeWindow(window);
}

TEST(NoticeReceiver, SendFromAnotherThreadRunsOnTheOwnerAndWaits) {
    Recorder recorder;
    platform::NoticeWindow* window = platform::createNoticeWindow(&recorder);
    ASSERT_NE(window, nullptr);
    std::atomic<std::intptr_t> answer{-1};
    std::atomic<bool> finished{false};
    std::thread sender([&] {
        answer = platform::sendNotice(window, 7, 5, 0);
        finished = true;
    });
    // The sender blocks until this thread services its notices.
    while (!finished.load())
        platform::serviceNotices(20);
    sender.join();
    EXPECT_EQ(answer.load(), 705);
    EXPECT_EQ(recorder.thread, platform::currentThreadId());
    platform::destroyNoticeWindow(window);
}

TEST(NoticeReceiver, ManySendersAreAllAnswered) {
    Recorder recorder;
    platform::NoticeWindow* window = platform::createNoticeWindow(&recorder);
    ASSERT_NE(window, nullptr);
    constexpr int kThreads = 3;
    constexpr int kEach = 200;
    std::atomic<int> done{0};
    std::atomic<int> wrong{0};
    std::thread senders[kThreads];
    for (int t = 0; t < kThreads; ++t) {
        senders[t] = std::thread([&, t] {
            for (int i = 0; i < kEach; ++i) {
                if (platform::sendNotice(window, static_cast<std::uintptr_t>(t),
                                         static_cast<std::uintptr_t>(i), 0) != t * 100 + i)
                    wrong.fetch_add(1);
            }
            done.fetch_add(1);
        });
    }
    while (done.load() < kThreads)
        platform::serviceNotices(20);
    for (auto& sender : senders)
        sender.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(recorder.calls.load(), kThreads * kEach);
    platform::destroyNoticeWindow(window);
}

TEST(NoticeReceiver, PostedNoticesRunWhenServiced) {
    Recorder recorder;
    platform::NoticeWindow* window = platform::createNoticeWindow(&recorder);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(platform::postNotice(window, 1, 2));
    EXPECT_EQ(recorder.calls.load(), 0);
    for (int i = 0; i < 50 && recorder.calls.load() == 0; ++i)
        platform::serviceNotices(10);
    EXPECT_EQ(recorder.calls.load(), 1);
    EXPECT_EQ(recorder.sum, 3);
    platform::destroyNoticeWindow(window);
}

TEST(NoticeReceiver, AThrowingReceiverAnswersZero) {
    Recorder recorder;
    platform::NoticeWindow* window = platform::createNoticeWindow(&recorder);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(platform::sendNotice(window, 99, 0, 0), 0);
    std::atomic<std::intptr_t> answer{-1};
    std::thread sender([&] { answer = platform::sendNotice(window, 99, 1, 0); });
    while (answer.load() == -1)
        platform::serviceNotices(20);
    sender.join();
    EXPECT_EQ(answer.load(), 0);
    platform::destroyNoticeWindow(window);
}

TEST(NoticeReceiver, DestroyingTheWindowAnswersWaitingSenders) {
    Recorder recorder;
    platform::NoticeWindow* window = platform::createNoticeWindow(&recorder);
    ASSERT_NE(window, nullptr);
    std::atomic<bool> started{false};
    std::atomic<std::intptr_t> answer{-1};
    std::thread sender([&] {
        started = true;
        answer = platform::sendNotice(window, 1, 1, 0);
    });
    while (!started.load())
        std::this_thread::yield();
    // Give the send time to be queued, then destroy without servicing it.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    platform::destroyNoticeWindow(window);
    // The owning thread goes on with its loop; the send must come back unanswered.
    while (answer.load() == -1)
        platform::serviceNotices(20);
    sender.join();
    EXPECT_EQ(answer.load(), 0);
    EXPECT_EQ(recorder.calls.load(), 0);
    EXPECT_EQ(platform::sendNotice(nullptr, 1, 2, 3), 0);
}

} // namespace
