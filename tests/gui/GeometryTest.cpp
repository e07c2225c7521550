#include "runtime/gui/Geometry.h"

#include <gtest/gtest.h>

using namespace quelt_gui;

TEST(GeometryTest, FittedImageKeepsASmallImageAndCentresIt) {
    EXPECT_EQ(fittedImageRect(400, 300, 100, 100), (Rect{150, 100, 100, 100}));
    // Exactly the client size: natural size at the origin.
    EXPECT_EQ(fittedImageRect(400, 300, 400, 300), (Rect{0, 0, 400, 300}));
}

TEST(GeometryTest, FittedImageScalesALargeImageDownKeepingItsAspect) {
    EXPECT_EQ(fittedImageRect(400, 300, 800, 400), (Rect{0, 50, 400, 200}));
    // Taller than wide: the height binds.
    EXPECT_EQ(fittedImageRect(400, 300, 300, 600), (Rect{125, 0, 150, 300}));
    // Only one side too large still scales.
    EXPECT_EQ(fittedImageRect(400, 300, 200, 600), (Rect{150, 0, 100, 300}));
}

TEST(GeometryTest, FittedImageOfNothingIsEmpty) {
    EXPECT_TRUE(fittedImageRect(400, 300, 0, 100).empty());
    EXPECT_TRUE(fittedImageRect(0, 300, 10, 10).empty());
}

TEST(GeometryTest, TilesCoverOnlyTheClipRectangle) {
    const TileRange all = tilesCovering({0, 0, 100, 50}, 32, 32);
    EXPECT_EQ(all.firstColumn, 0);
    EXPECT_EQ(all.columns, 4);
    EXPECT_EQ(all.rows, 2);
    const TileRange part = tilesCovering({64, 33, 1, 31}, 32, 32);
    EXPECT_EQ(part.firstColumn, 2);
    EXPECT_EQ(part.firstRow, 1);
    EXPECT_EQ(part.columns, 1);
    EXPECT_EQ(part.rows, 1);
    EXPECT_EQ(tilesCovering({0, 0, 10, 10}, 0, 5).columns, 0);
}

TEST(GeometryTest, RoundCornersAreAFifthOfTheSmallerSide) {
    EXPECT_EQ(roundCornerSize(300, 200), 40);
    EXPECT_EQ(roundCornerSize(200, 300), 40);
    EXPECT_EQ(roundCornerSize(4, 100), 0);
}

TEST(GeometryTest, CentringAndSizeFromTheClientSize) {
    EXPECT_EQ(centredOrigin(1280, 816), 232);
    EXPECT_EQ(centredOrigin(100, 300), -100);
    EXPECT_EQ(windowExtentFromClient(800, 16), 816);
    EXPECT_EQ(windowExtentFromClient(0, 16), 0);
    EXPECT_EQ(windowExtentFromClient(-5, 16), 0);
    EXPECT_EQ(centredIn({100, 0, 1000, 800}, {0, 0, 200, 100}), (Rect{500, 350, 200, 100}));
}
