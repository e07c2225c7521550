// The pieces of a download job's manners: how it slows down for a server that
// limits its rate, how long retries wait, and which line of an error page it shows.
#include "updater/TransferThrottle.h"
#include "updater/DownloadJobRunner.h"

#include <gtest/gtest.h>

namespace {

using namespace rg_quelt_app;

TEST(TransferThrottle, HalvesAtARefusalAndGrowsBackAfterEachTenInARow) {
    TransferThrottle throttle(8);
    EXPECT_EQ(throttle.allowed(), 8u);
    EXPECT_EQ(throttle.nextStartAt(), 0u);
    throttle.started(1000);
    throttle.refused(1005, 1000);
    EXPECT_EQ(throttle.allowed(), 4u);
    EXPECT_EQ(throttle.nextStartAt(), 1020u); // spaced from now on
    throttle.refused(1006, 1001);             // sent before the reaction: the same burst
    EXPECT_EQ(throttle.allowed(), 4u);
    throttle.refused(1010, 1007);
    throttle.refused(1020, 1015);
    throttle.refused(1030, 1025);
    EXPECT_EQ(throttle.allowed(), 1u);
    EXPECT_DOUBLE_EQ(throttle.spacingMs(), 20 * 1.5 * 1.5 * 1.5);
    const struct {
        int successes;
        std::size_t allowed;
    } steps[] = {{9, 1}, {1, 2}, {10, 3}, {5, 3}};
    for (const auto& step : steps) {
        for (int i = 0; i < step.successes; ++i)
            throttle.succeeded();
        EXPECT_EQ(throttle.allowed(), step.allowed) << step.successes;
    }
    throttle.failed(); // the row starts again
    for (int i = 0; i < 9; ++i)
        throttle.succeeded();
    EXPECT_EQ(throttle.allowed(), 3u);
    for (int i = 0; i < 200; ++i)
        throttle.succeeded();
    EXPECT_EQ(throttle.allowed(), 8u);
    EXPECT_EQ(throttle.nextStartAt(), 0u); // no spacing once it has narrowed away
}

TEST(TransferThrottle, RetryWaitsSpreadOverTheWholeBackoff) {
    const struct {
        int attempt;
        std::uint64_t ceiling;
    } cases[] = {{1, 500}, {2, 1000}, {3, 2000}, {5, 8000}, {6, 10000}, {20, 10000}};
    for (const auto& c : cases) {
        EXPECT_EQ(DownloadJobRunner::retryDelayMs(c.attempt), c.ceiling) << c.attempt;
        EXPECT_EQ(DownloadJobRunner::jitteredDelayMs(c.attempt, 0), 0u);
        EXPECT_EQ(DownloadJobRunner::jitteredDelayMs(c.attempt, c.ceiling), c.ceiling);
        EXPECT_EQ(DownloadJobRunner::jitteredDelayMs(c.attempt, c.ceiling + 1), 0u);
        EXPECT_EQ(DownloadJobRunner::jitteredDelayMs(c.attempt, 3 * (c.ceiling + 1) + 77), 77u);
    }
}

} // namespace
