#include "runtime/gui/DpiScale.h"

#include "runtime/gui/GuiConstants.h"

#include <gtest/gtest.h>

using namespace quelt_gui;

TEST(DpiScaleTest, NumbersScaleRoundedAndStayAsGivenAt96) {
    struct Case {
        std::int32_t value, from, to, expected;
    };
    const Case cases[] = {
        {762, 96, 96, 762},
        {762, 96, 144, 1143},
        {65, 96, 144, 98}, // 97.5 rounds up
        {-65, 96, 144, -98},
        {27, 96, 120, 34},
        {27, 96, 192, 54},
        {1, 96, 144, 2},
        {98, 144, 96, 65},
        {70, 0, 144, 105},
        {70, 144, -3, 47}, // a DPI below 1 is 96
        {kDefaultCoordinate, 96, 192, kDefaultCoordinate},
        {0x7FFFFFFF, 96, 192, 0x7FFFFFFF}, // clamped, never wrapped
    };
    for (const Case& c : cases)
        EXPECT_EQ(rescaleForDpi(c.value, c.from, c.to), c.expected)
            << c.value << " " << c.from << "->" << c.to;
}

TEST(DpiScaleTest, RectanglesScaleByTheirEdgesSoNeighboursStillTouch) {
    // Two boxes side by side at 96 DPI: 10..75 and 75..140.
    const Rect left{10, 27, 65, 25}, right{75, 27, 65, 25};
    for (std::int32_t dpi : {96, 120, 144, 168, 192}) {
        const Rect a = scaleToDpi(left, dpi), b = scaleToDpi(right, dpi);
        EXPECT_EQ(a.x + a.width, b.x) << dpi;
        EXPECT_NEAR(a.width, left.width * dpi / 96.0, 1.0) << dpi;
    }
    EXPECT_EQ(scaleToDpi(left, 96), left);
    EXPECT_EQ(scaleToDpi(Rect{6, 20, 750, 420}, 144), (Rect{9, 30, 1125, 630}));
}

TEST(DpiScaleTest, FontHeightsFollowTheDpi) {
    EXPECT_EQ(fontHeightForDpi(9, 96), -12);
    EXPECT_EQ(fontHeightForDpi(9, 144), -18);
    EXPECT_EQ(fontHeightForDpi(9, 120), -15);
    EXPECT_EQ(fontHeightForDpi(9, 0), -12);
}
