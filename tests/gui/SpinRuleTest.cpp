#include "runtime/gui/SpinRule.h"

#include <gtest/gtest.h>

#include <limits>

using namespace quelt_gui;

TEST(SpinRule, StepsWithinTheRange) {
    const SpinRange range{0, 10};
    EXPECT_EQ(spinStep(5, 1, range), 6);
    EXPECT_EQ(spinStep(5, -1, range), 4);
    EXPECT_EQ(spinStep(5, -7, range), 4); // any negative delta is one step down
    EXPECT_EQ(spinStep(5, 0, range), 6);
}

TEST(SpinRule, WrapsAroundAtBothEnds) {
    const SpinRange range{-3, 3};
    EXPECT_EQ(spinStep(3, 1, range), -3);
    EXPECT_EQ(spinStep(-3, -1, range), 3);
    EXPECT_EQ(spinStep(2, 1, range), 3);
    EXPECT_EQ(spinStep(-2, -1, range), -3);
    // A value far outside steps once and then wraps like one just outside.
    EXPECT_EQ(spinStep(-100, 1, range), 3);
    EXPECT_EQ(spinStep(100, -1, range), -3);
    EXPECT_EQ(spinStep(std::numeric_limits<std::int64_t>::max(), 1, range), -3);
    EXPECT_EQ(spinStep(std::numeric_limits<std::int64_t>::min(), -1, range), 3);
}

TEST(SpinRule, RangeIsOrderedAndFitsSixteenBits) {
    const SpinRange swapped = spinRangeOf(50, -5);
    EXPECT_EQ(swapped.minimum, -5);
    EXPECT_EQ(swapped.maximum, 50);
    const SpinRange wide = spinRangeOf(-100000, 100000);
    EXPECT_EQ(wide.minimum, -32767);
    EXPECT_EQ(wide.maximum, 32767);
}

TEST(SpinRule, DirectionOfADelta) {
    EXPECT_EQ(spinDirection(-1), -1);
    EXPECT_EQ(spinDirection(-20), -1);
    EXPECT_EQ(spinDirection(0), 1);
    EXPECT_EQ(spinDirection(3), 1);
}
