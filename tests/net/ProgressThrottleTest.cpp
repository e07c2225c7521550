#include "runtime/net/ProgressThrottle.h"

#include <gtest/gtest.h>

namespace {

using rg_quelt_windows_WangLao::ProgressCounts;
using rg_quelt_windows_WangLao::ProgressThrottle;

TEST(ProgressThrottle, TellsTheFirstCallFirstBytesCompletionAndThenAtIntervals) {
    constexpr std::uint64_t step = ProgressThrottle::kIntervalMs;
    struct Call {
        std::uint64_t at;
        ProgressCounts counts;
        bool told;
    };
    // One download of 1000 bytes, then its upload twin.
    const Call calls[] = {
        {1000, {0, 0, 0, 0}, true},                  // the transfer's first call
        {1001, {0, 0, 0, 0}, false},                 // nothing new, too soon
        {1002, {1000, 10, 0, 0}, true},              // the first bytes
        {1003, {1000, 20, 0, 0}, false},             // too soon
        {1002 + step, {1000, 30, 0, 0}, true},       // an interval after the last notice
        {1003 + step, {1000, 40, 0, 0}, false},      //
        {1004 + step, {1000, 1000, 0, 0}, true},     // complete
        {1005 + step, {1000, 1000, 0, 0}, false},    // complete again: no news
        {1004 + 3 * step, {1000, 1000, 0, 0}, true}, // a stalled transfer still hears from time to time
        {1005 + 3 * step, {1000, 1000, 500, 100}, false},
        {1006 + 3 * step, {1000, 1000, 500, 500}, true}, // the upload completes
    };
    ProgressThrottle throttle;
    for (const Call& call : calls)
        EXPECT_EQ(throttle.due(call.counts, call.at), call.told) << "at " << call.at;
}

TEST(ProgressThrottle, KeepsTheLastUntoldCountsUntilTheNextTransfer) {
    ProgressThrottle throttle;
    ProgressCounts last;
    EXPECT_FALSE(throttle.untold(last)); // no call at all
    EXPECT_TRUE(throttle.due({0, 0, 0, 0}, 5));
    EXPECT_TRUE(throttle.due({0, 7, 0, 0}, 6));
    EXPECT_FALSE(throttle.untold(last)); // everything was told
    EXPECT_FALSE(throttle.due({0, 9, 0, 0}, 7));
    ASSERT_TRUE(throttle.untold(last)); // a total unknown: no completion to tell
    EXPECT_EQ(last.downloadNow, 9);
    throttle.restart();
    EXPECT_FALSE(throttle.untold(last));
    EXPECT_TRUE(throttle.due({0, 9, 0, 0}, 8)); // the next transfer's first call
}

} // namespace
