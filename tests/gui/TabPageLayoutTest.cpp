#include "runtime/gui/TabPageLayout.h"

#include <gtest/gtest.h>

using namespace quelt_gui;

TEST(TabPageLayout, EachPlacementInTheDisplayArea) {
    const Rect area{4, 30, 200, 100};
    EXPECT_EQ(tabPageRect(area, 50, 20, 0), area);
    EXPECT_EQ(tabPageRect(area, 50, 20, 1), (Rect{4, 30, 50, 20}));
    EXPECT_EQ(tabPageRect(area, 50, 20, 2), (Rect{79, 70, 50, 20}));
    EXPECT_EQ(tabPageRect(area, 50, 20, 3), (Rect{154, 110, 50, 20}));
    EXPECT_EQ(tabPageRect(area, 50, 20, 7), area);
}

TEST(TabPageLayout, APageLargerThanTheAreaKeepsItsSize) {
    const Rect area{0, 0, 100, 100};
    EXPECT_EQ(tabPageRect(area, 140, 120, 2), (Rect{-20, -10, 140, 120}));
    EXPECT_EQ(tabPageRect(area, 140, 120, 3), (Rect{-40, -20, 140, 120}));
}
