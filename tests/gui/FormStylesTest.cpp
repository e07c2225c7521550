#include "runtime/gui/FormStyles.h"

#include "runtime/gui/GuiConstants.h"

#include <gtest/gtest.h>

using namespace quelt_gui;

TEST(FormStylesTest, TheDefaultFormIsAFixedDialogWithTitleBarAndDefaultCaption) {
    FormStyleInput in;
    CWString caption;
    std::uint32_t style = 0, ex = 0;
    applyFormStyles(in, caption, style, ex);
    EXPECT_EQ(caption.view(), std::u16string_view(kDefaultFormCaption));
    EXPECT_EQ(style, kWsClipChildren | kWsCaption | kWsSysMenu | kWsMinimizeBox);
    EXPECT_EQ(ex, kWsExControlParent);
}

TEST(FormStylesTest, BorderKindsAddTheirFrames) {
    CWString caption(u"x");
    std::uint32_t style = 0, ex = 0;
    FormStyleInput in;
    in.borderKind = 3;
    applyFormStyles(in, caption, style, ex);
    EXPECT_TRUE(style & kWsThickFrame);
    EXPECT_TRUE(ex & kWsExToolWindow);
    style = ex = 0;
    in.borderKind = 6;
    applyFormStyles(in, caption, style, ex);
    EXPECT_FALSE(style & kWsThickFrame);
    EXPECT_TRUE(ex & kWsExClientEdge);
    style = ex = 0;
    in.borderKind = 0;
    in.titleBar = false;
    in.minimiseBox = false;
    applyFormStyles(in, caption, style, ex);
    EXPECT_EQ(style, kWsClipChildren);
}

TEST(FormStylesTest, AnOwnedFormBecomesAPopupAndStatesAddTheirBits) {
    CWString caption;
    std::uint32_t style = 0, ex = 0;
    FormStyleInput in;
    in.hasParent = true;
    in.initialState = 3;
    in.maximiseBox = true;
    applyFormStyles(in, caption, style, ex);
    EXPECT_TRUE(style & kWsPopup);
    EXPECT_TRUE(style & kWsMaximize);
    EXPECT_TRUE(style & kWsMaximizeBox);
    style = kWsChild;
    applyFormStyles(in, caption, style, ex);
    EXPECT_FALSE(style & kWsPopup);
}

TEST(FormStylesTest, WithoutTitleBarOnlyAnOwnCaptionGivesACaptionBar) {
    FormStyleInput in;
    in.titleBar = false;
    in.minimiseBox = false;
    EXPECT_EQ(captionBits(in, u"帮助"), kWsCaption);
    EXPECT_EQ(captionBits(in, u""), kWsDlgFrame);
    EXPECT_EQ(captionBits(in, kDefaultFormCaption), kWsDlgFrame);
    in.titleBar = true;
    EXPECT_EQ(captionBits(in, u""), kWsCaption | kWsSysMenu);
    in.borderKind = 0;
    EXPECT_EQ(captionBits(in, u"帮助"), 0u);
}
