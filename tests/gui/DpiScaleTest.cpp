#include "runtime/gui/DpiScale.h"

#include "runtime/gui/GuiConstants.h"

#include <gtest/gtest.h>

using namespace quelt_gui;

TEST(DpiScaleTest, NumbersRoundAsMulDivRectanglesKeepTheirNeighboursAndFontsFollow) {
    struct Case {
        std::int32_t value, from, to, expected;
    };
    for (const Case& c : {Case{762, 96, 96, 762},
                          {65, 96, 144, 98},
                          {-65, 96, 144, -98},
                          {27, 96, 120, 34},
                          {98, 144, 96, 65},
                          {70, 0, 144, 105},
                          {70, 144, -3, 47}, // a DPI below 1 is 96
                          {kDefaultCoordinate, 96, 192, kDefaultCoordinate},
                          {0x7FFFFFFF, 96, 192, 0x7FFFFFFF}})
        EXPECT_EQ(rescaleForDpi(c.value, c.from, c.to), c.expected)
            << c.value << " " << c.from << "->" << c.to;
    // Side by side at 96 DPI (10..75, 75..140), still touching at any other.
    for (std::int32_t dpi : {96, 120, 144, 168, 192}) {
        const Rect a = scaleToDpi(Rect{10, 27, 65, 25}, dpi), b = scaleToDpi(Rect{75, 27, 65, 25}, dpi);
        EXPECT_EQ(a.x + a.width, b.x) << dpi;
        EXPECT_NEAR(a.width, 65 * dpi / 96.0, 1.0) << dpi;
    }
    EXPECT_EQ(scaleToDpi(Rect{6, 20, 750, 420}, 144), (Rect{9, 30, 1125, 630}));
    EXPECT_EQ(fontHeightForDpi(9, 96), -12);
    EXPECT_EQ(fontHeightForDpi(9, 144), -18);
    EXPECT_EQ(fontHeightForDpi(9, 0), -12);
}
