#include "runtime/platform/Event.h"

#include "runtime/platform/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using platform::Event;
using platform::WaitResult;

namespace {

TEST(Event, ManualResetStaysSignalledUntilReset) {
    Event event(true, false);
    ASSERT_TRUE(event.valid());
    EXPECT_EQ(event.wait(0), WaitResult::timedOut);
    event.set();
    EXPECT_EQ(event.wait(0), WaitResult::signalled);
    EXPECT_EQ(event.wait(Event::kInfinite), WaitResult::signalled);
    event.reset();
    EXPECT_EQ(event.wait(20), WaitResult::timedOut);

    Event initially(true, true);
    EXPECT_EQ(initially.wait(0), WaitResult::signalled);
}

TEST(Event, AutoResetReleasesOneWaitThenCloses) {
    Event event(false, true);
    EXPECT_EQ(event.wait(0), WaitResult::signalled);
    EXPECT_EQ(event.wait(0), WaitResult::timedOut);
    event.set();
    event.set(); // no count: still one release
    EXPECT_EQ(event.wait(10), WaitResult::signalled);
    EXPECT_EQ(event.wait(10), WaitResult::timedOut);
}

TEST(Event, SetOnAnotherThreadWakesAWaiterWithoutLimit) {
    Event event(false, false);
    std::thread setter([&event] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        event.set();
    });
    EXPECT_EQ(event.wait(Event::kInfinite), WaitResult::signalled);
    setter.join();
}

TEST(Event, AutoResetReleasesExactlyOneOfSeveralWaiters) {
    Event event(false, false);
    std::atomic<int> released{0};
    std::thread waiters[3];
    for (auto& waiter : waiters)
        waiter = std::thread([&] {
            if (event.wait(Event::kInfinite) == WaitResult::signalled)
                released.fetch_add(1);
        });
    for (int round = 1; round <= 3; ++round) {
        event.set();
        for (int i = 0; i < 3000 && released.load() < round; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(released.load(), round);
        // No later waiter slips through on the same signal.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(released.load(), round);
    }
    for (auto& waiter : waiters)
        waiter.join();
}

// A manual-reset event set once releases every waiter.
TEST(Event, ManualResetReleasesAllWaiters) {
    Event event(true, false);
    std::atomic<int> released{0};
    std::thread waiters[4];
    for (auto& waiter : waiters)
        waiter = std::thread([&] {
            if (event.wait(30000) == WaitResult::signalled)
                released.fetch_add(1);
        });
    event.set();
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_EQ(released.load(), 4);
}

} // namespace
