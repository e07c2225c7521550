#include "runtime/platform/Thread.h"

#include "runtime/platform/Event.h"
#include "runtime/platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>

namespace {

struct ThreadRun {
    platform::Event done{true, false};
    std::uint64_t threadId = 0;
    int calls = 0;
};

unsigned record(void* parameter) {
    auto* run = static_cast<ThreadRun*>(parameter);
    run->threadId = platform::currentThreadId();
    ++run->calls;
    run->done.set();
    return 0;
}

TEST(Thread, RunsTheRoutineOnceOnANewThread) {
    ThreadRun run;
    ASSERT_TRUE(platform::startDetachedThread(&record, &run));
    ASSERT_EQ(run.done.wait(30000), platform::WaitResult::signalled);
    EXPECT_EQ(run.calls, 1);
    EXPECT_NE(run.threadId, platform::currentThreadId());
}

TEST(Thread, ACreationThatCannotSucceedReportsFailure) {
    ThreadRun run;
    // No system reserves this much address space for a stack.
    const std::size_t impossible = static_cast<std::size_t>(1) << 62;
    EXPECT_FALSE(platform::startDetachedThread(&record, &run, impossible));
    EXPECT_FALSE(platform::startDetachedThread(nullptr, &run));
    EXPECT_EQ(run.done.wait(50), platform::WaitResult::timedOut);
    EXPECT_EQ(run.calls, 0);
}

} // namespace
