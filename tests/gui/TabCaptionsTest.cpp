#include "runtime/gui/TabCaptions.h"

#include <gtest/gtest.h>

#include <string>

using namespace quelt_gui;

TEST(TabCaptions, TwoFieldsMakeOneTab) {
    const auto tabs =
        parseTabCaptions(u"Mireth视窗模块\n0\nMireth安卓模块\n3\nMireth服务器模块\n0\n配置\n-1");
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_EQ(std::u16string(tabs[0].caption.view()), u"Mireth视窗模块");
    EXPECT_EQ(tabs[1].image, 3);
    EXPECT_EQ(std::u16string(tabs[3].caption.view()), u"配置");
    EXPECT_EQ(tabs[3].image, -1);
}

TEST(TabCaptions, ATrailingSingleFieldIsIgnored) {
    const auto tabs = parseTabCaptions(u"A\n0\nB");
    ASSERT_EQ(tabs.size(), 1u);
    EXPECT_EQ(std::u16string(tabs[0].caption.view()), u"A");
    EXPECT_TRUE(parseTabCaptions(u"only").empty());
    EXPECT_TRUE(parseTabCaptions(u"").empty());
}

TEST(TabCaptions, ImageIndexReadsLikeAnInteger) {
    const auto tabs = parseTabCaptions(u"A\n 12px\nB\nnone\n\n\n");
    ASSERT_EQ(tabs.size(), 3u);
    EXPECT_EQ(tabs[0].image, 12);
    EXPECT_EQ(tabs[1].image, 0);
    // Empty fields still count: an empty caption with an empty index.
    EXPECT_TRUE(tabs[2].caption.isEmpty());
}
