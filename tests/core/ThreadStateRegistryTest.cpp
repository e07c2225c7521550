#include "runtime/core/ThreadStateRegistry.h"

#include "runtime/core/RefPtr.h"

#include <gtest/gtest.h>

namespace {

int statesFreed = 0;

class State : public CQueltRegisteredThreadState {
public:
    State(bool done, std::uint64_t tick) : done_(done), tick_(tick) {}
    bool finished() const override { return done_; }
    std::uint64_t finishedTick() const override { return tick_; }

protected:
    ~State() override { ++statesFreed; }

private:
    bool done_;
    std::uint64_t tick_;
};

void addFresh(ThreadStateRegistry& registry, bool done, std::uint64_t tick) {
    // Once `state` goes, the registry holds the only reference.
    const auto state = RefPtr<State>::adopt(new State(done, tick));
    registry.add(state.get());
}

TEST(ThreadStateRegistry, ReapsOnlyOldFinishedStatesAtMostOncePerSecond) {
    statesFreed = 0;
    ThreadStateRegistry registry(4);
    EXPECT_EQ(registry.limit(), 10u);
    addFresh(registry, true, 1000);  // finished long ago
    addFresh(registry, true, 15000); // finished recently
    addFresh(registry, false, 0);    // still running
    EXPECT_EQ(registry.reap(20000), 1u);
    EXPECT_EQ(statesFreed, 1);
    EXPECT_EQ(registry.count(), 2u);
    // An old finished state that arrives now waits for the next interval.
    addFresh(registry, true, 0);
    EXPECT_EQ(registry.reap(20999), 0u);
    EXPECT_EQ(registry.reap(21000), 1u);
    // The recent one becomes old 16 s after it finished.
    EXPECT_EQ(registry.reap(30999), 0u);
    EXPECT_EQ(registry.reap(32000), 1u);
    EXPECT_EQ(registry.count(), 1u);
}

TEST(ThreadStateRegistry, OverTheLimitFinishedStatesGoFirst) {
    statesFreed = 0;
    ThreadStateRegistry registry(1); // limit 4
    for (int i = 0; i < 6; ++i)
        addFresh(registry, true, 9000);
    addFresh(registry, false, 0);
    EXPECT_EQ(registry.reap(10000), 3u);
    EXPECT_EQ(registry.count(), 4u);
}

TEST(ThreadStateRegistry, ClosingReleasesEverythingAndRefusesMore) {
    statesFreed = 0;
    ThreadStateRegistry registry(2);
    addFresh(registry, false, 0);
    addFresh(registry, true, 5);
    registry.close();
    EXPECT_EQ(statesFreed, 2);
    EXPECT_TRUE(registry.closed());
    {
        const auto late = RefPtr<State>::adopt(new State(true, 0));
        EXPECT_FALSE(registry.add(late.get()));
    }
    EXPECT_EQ(statesFreed, 3);
}

} // namespace
