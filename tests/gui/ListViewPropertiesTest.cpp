#include "runtime/gui/ListViewProperties.h"

#include <gtest/gtest.h>

using namespace rg_quelt_WTLJieMian_KuoZhanZuJian;

TEST(ListViewPropertiesTest, DefaultsAreAnAutoArrangedSingleSelectionIconView) {
    const ListViewStyles s = listViewStyles(ListViewProperties{});
    EXPECT_EQ(s.style, kLvsIcon | kLvsAutoArrange | kLvsSingleSel);
    EXPECT_EQ(s.listExStyle, 0x402u);
}

TEST(ListViewPropertiesTest, TheViewNumberPicksTheNativeView) {
    ListViewProperties p;
    const std::pair<std::int32_t, std::uint32_t> views[] = {
        {0, kLvsIcon}, {1, kLvsSmallIcon}, {2, kLvsList}, {3, kLvsReport}, {7, kLvsIcon}};
    for (const auto& [view, native] : views) {
        p.view = view;
        EXPECT_EQ(listViewStyles(p).style & 0x3u, native) << view;
    }
}

TEST(ListViewPropertiesTest, ReportOnlyAndIconOnlyPropertiesApplyOnlyToTheirViews) {
    ListViewProperties p;
    p.gridLines = p.fullRowSelect = p.headerDragDrop = true;
    p.clickableHeader = false;
    p.iconAlignment = 1;
    p.wrapLabels = false;
    ListViewStyles icon = listViewStyles(p);
    EXPECT_EQ(icon.listExStyle & (kLvsExGridLines | kLvsExFullRowSelect | kLvsExHeaderDragDrop), 0u);
    EXPECT_EQ(icon.style & kLvsNoSortHeader, 0u);
    EXPECT_TRUE(icon.style & kLvsAlignLeft);
    EXPECT_TRUE(icon.style & kLvsNoLabelWrap);

    p.view = kViewReport;
    ListViewStyles report = listViewStyles(p);
    EXPECT_EQ(report.listExStyle & (kLvsExGridLines | kLvsExFullRowSelect | kLvsExHeaderDragDrop),
              kLvsExGridLines | kLvsExFullRowSelect | kLvsExHeaderDragDrop);
    EXPECT_TRUE(report.style & kLvsNoSortHeader);
    EXPECT_EQ(report.style & (kLvsAlignLeft | kLvsNoLabelWrap | kLvsAutoArrange), 0u);

    // A hidden header can be neither dragged nor made unclickable.
    p.hideColumnHeader = true;
    ListViewStyles hidden = listViewStyles(p);
    EXPECT_TRUE(hidden.style & kLvsNoColumnHeader);
    EXPECT_EQ(hidden.style & kLvsNoSortHeader, 0u);
    EXPECT_EQ(hidden.listExStyle & kLvsExHeaderDragDrop, 0u);
    EXPECT_TRUE(hidden.listExStyle & kLvsExGridLines);
}

TEST(ListViewPropertiesTest, UnderliningNeedsHotTracking) {
    ListViewProperties p;
    EXPECT_EQ(listViewStyles(p).listExStyle & (kLvsExUnderlineCold | kLvsExUnderlineHot | kLvsExTrackSelect),
              0u);
    p.hotTracking = true;
    p.underlineCold = false;
    const std::uint32_t ex = listViewStyles(p).listExStyle;
    EXPECT_EQ(ex & (kLvsExTrackSelect | kLvsExOneClickActivate | kLvsExUnderlineHot),
              kLvsExTrackSelect | kLvsExOneClickActivate | kLvsExUnderlineHot);
    EXPECT_EQ(ex & kLvsExUnderlineCold, 0u);
}

TEST(ListViewPropertiesTest, FlagPropertiesMapToTheirStyles) {
    ListViewProperties p;
    p.editable = p.checkBoxes = p.flatScrollBars = p.showSelectionAlways = true;
    p.singleSelection = false;
    p.sortOrder = 2;
    const ListViewStyles s = listViewStyles(p);
    EXPECT_EQ(s.style & (kLvsEditLabels | kLvsShowSelAlways | kLvsSortDescending),
              kLvsEditLabels | kLvsShowSelAlways | kLvsSortDescending);
    EXPECT_EQ(s.style & (kLvsSingleSel | kLvsSortAscending | kLvsOwnerData), 0u);
    EXPECT_EQ(s.listExStyle & (kLvsExCheckBoxes | kLvsExFlatSb), kLvsExCheckBoxes | kLvsExFlatSb);
    p.sortOrder = 1;
    EXPECT_EQ(listViewStyles(p).style & (kLvsSortAscending | kLvsSortDescending), kLvsSortAscending);
    p.sortOrder = 3;
    EXPECT_EQ(listViewStyles(p).style & (kLvsSortAscending | kLvsSortDescending), 0u);
}

TEST(ListViewPropertiesTest, AnOwnerDataListIsVirtualAndNeverSorted) {
    ListViewProperties p;
    p.ownerData = true;
    for (const std::int32_t order : {0, 1, 2}) {
        p.sortOrder = order;
        const std::uint32_t style = listViewStyles(p).style;
        EXPECT_TRUE(style & kLvsOwnerData) << order;
        EXPECT_EQ(style & (kLvsSortAscending | kLvsSortDescending), 0u) << order;
    }
}

TEST(ListViewPropertiesTest, ADoubleClickEditsColumnZeroNativelyAndOtherColumnsOnlyWithEditCells) {
    ListViewProperties p;
    p.view = kViewReport;
    EXPECT_EQ(editStartFor(p, 0, 0), ListEditStart::none);
    p.editable = true;
    EXPECT_EQ(editStartFor(p, 0, 0), ListEditStart::labelEdit);
    EXPECT_EQ(editStartFor(p, 0, 2), ListEditStart::none);
    p.editCells = true;
    EXPECT_EQ(editStartFor(p, 0, 2), ListEditStart::cellEdit);
    EXPECT_EQ(editStartFor(p, -1, 2), ListEditStart::none);
    p.view = kViewList;
    EXPECT_EQ(editStartFor(p, 0, 2), ListEditStart::none);
    EXPECT_FALSE(p.editsCells());
}

TEST(ListViewPropertiesTest, CheckStatesAndStateImageBitsConvertBothWays) {
    EXPECT_EQ(checkStateFromStateBits(0x0000), -1);
    EXPECT_EQ(checkStateFromStateBits(0x1000), 0);
    EXPECT_EQ(checkStateFromStateBits(0x2003), 1);
    EXPECT_EQ(stateBitsFromCheckState(-1), 0u);
    EXPECT_EQ(stateBitsFromCheckState(-5), 0u);
    EXPECT_EQ(stateBitsFromCheckState(0), 0x1000u);
    EXPECT_EQ(stateBitsFromCheckState(1), 0x2000u);
    EXPECT_EQ(stateBitsFromCheckState(INT32_MAX), 0xF000u);
}
