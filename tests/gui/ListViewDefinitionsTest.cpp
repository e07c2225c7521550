#include "runtime/gui/ListViewDefinitions.h"

#include <gtest/gtest.h>

#include <climits>

using namespace rg_quelt_WTLJieMian_KuoZhanZuJian;

namespace {

const char16_t kModuleColumns[] =
    u"0\n-1\n0\n50\n序号\n0\n-1\n0\n70\n方式\n0\n-1\n0\n200\n文件名称\n0\n-1\n0\n200\n"
    u"路径\n0\n-1\n0\n100\n更新时间\n0\n-1\n0\n70\n大小";

} // namespace

TEST(ListViewDefinitionsTest, TheModuleColumnsAreSixLeftAlignedColumnsWithoutImages) {
    const auto columns = parseColumnDefinition(kModuleColumns);
    ASSERT_EQ(columns.size(), 6u);
    const std::u16string titles[] = {u"序号", u"方式", u"文件名称", u"路径", u"更新时间", u"大小"};
    const std::int32_t widths[] = {50, 70, 200, 200, 100, 70};
    for (std::size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(columns[i].title.view(), titles[i]);
        EXPECT_EQ(columns[i].width, widths[i]);
        EXPECT_EQ(columns[i].format(), kColumnFormatLeft);
        EXPECT_EQ(columns[i].mask(),
                  kColumnMaskFormat | kColumnMaskWidth | kColumnMaskText | kColumnMaskSubItem);
    }
}

TEST(ListViewDefinitionsTest, AnIncompleteTrailingGroupIsIgnored) {
    const auto nine = parseColumnDefinition(u"0\n-1\n0\n50\n序号\n0\n-1\n0\n70");
    ASSERT_EQ(nine.size(), 1u);
    EXPECT_EQ(nine[0].title.view(), u"序号");
    EXPECT_TRUE(parseColumnDefinition(u"0\n-1\n0\n50").empty());

    const auto items = parseItemsDefinition(u"0\n-1\n-1\n0\n7\na\ntip a\n1\n-1\n-1\n0\n0\nb");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text.view(), u"a");
}

TEST(ListViewDefinitionsTest, AlignmentOneCentresTwoRightAlignsAnythingElseIsLeft) {
    auto formatOf = [](std::u16string_view alignment) {
        std::u16string text = u"0\n-1\n";
        text += alignment;
        text += u"\n10\nt";
        return parseColumnDefinition(text).at(0).format();
    };
    EXPECT_EQ(formatOf(u"1"), kColumnFormatCentre);
    EXPECT_EQ(formatOf(u"2"), kColumnFormatRight);
    EXPECT_EQ(formatOf(u"3"), kColumnFormatLeft);
    EXPECT_EQ(formatOf(u"0"), kColumnFormatLeft);
    EXPECT_EQ(formatOf(u"-1"), kColumnFormatLeft);
}

TEST(ListViewDefinitionsTest, ImageFieldsSetTheirFormatAndMaskBits) {
    const auto columns = parseColumnDefinition(u"1\n3\n2\n80\nx\n0\n-1\n0\n80\ny");
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].format(), kColumnFormatRight | kColumnFormatBitmapOnRight | kColumnFormatImage);
    EXPECT_TRUE(columns[0].mask() & kColumnMaskImage);
    EXPECT_EQ(columns[0].imageIndex, 3);
    EXPECT_FALSE(columns[1].mask() & kColumnMaskImage);
}

TEST(ListViewDefinitionsTest, EmptyAndMalformedTextsGiveNoColumnsOrZeroFields) {
    EXPECT_TRUE(parseColumnDefinition(u"").empty());
    EXPECT_TRUE(parseItemsDefinition(u"").empty());
    EXPECT_TRUE(parseColumnDefinition(u"garbage").empty());
    // Only the line feed separates: a carriage return stays in the field, and
    // fields that are not numbers read as 0.
    const auto columns = parseColumnDefinition(u"x\ny\nz\nwide\n序号\r\n");
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_EQ(columns[0].width, 0);
    EXPECT_EQ(columns[0].imageIndex, 0);
    EXPECT_EQ(columns[0].title.view(), u"序号\r");
    // Other separators are not recognised at all.
    EXPECT_TRUE(parseColumnDefinition(u"0,-1,0,50,序号").empty());
}

TEST(ListViewDefinitionsTest, IntegersReadLikeTheRuntimesLeadingNumberRule) {
    EXPECT_EQ(readDefinitionInteger(u"  42px"), 42);
    EXPECT_EQ(readDefinitionInteger(u"-7"), -7);
    EXPECT_EQ(readDefinitionInteger(u"+3"), 3);
    EXPECT_EQ(readDefinitionInteger(u""), 0);
    EXPECT_EQ(readDefinitionInteger(u"abc"), 0);
    EXPECT_EQ(readDefinitionInteger(u"- 5"), 0);
    EXPECT_EQ(readDefinitionInteger(u"0x1F"), 0);
    EXPECT_EQ(readDefinitionInteger(u"99999999999"), INT_MAX);
    EXPECT_EQ(readDefinitionInteger(u"-99999999999"), INT_MIN);
    EXPECT_EQ(readDefinitionInteger(u"-2147483648"), INT_MIN);
}

TEST(ListViewDefinitionsTest, ItemsGiveRowsSubItemsAndTheToolTipOfEachRow) {
    const auto items = parseItemsDefinition(u"0\n2\n1\n3\n99\nfirst\ntip one\n"
                                            u"1\n-1\n-1\n0\n0\nfirst b\nsub tip\n"
                                            u"0\n-1\n-1\n0\n0\nsecond\n\n"
                                            u"0\n-1\n-1\n0\n0\nthird\ntip three");
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].subItem, 0);
    EXPECT_EQ(items[0].imageIndex, 2);
    EXPECT_EQ(items[0].stateImageIndex, 1);
    EXPECT_EQ(items[0].indent, 3);
    EXPECT_EQ(items[0].itemData, 99);
    EXPECT_EQ(items[1].subItem, 1);
    EXPECT_EQ(items[1].text.view(), u"first b");

    const auto tips = toolTipsOf(items);
    ASSERT_NE(toolTipForRow(tips, 0), nullptr);
    EXPECT_EQ(toolTipForRow(tips, 0)->view(), u"tip one");
    // The sub-item entry is not a row: row 1 is "second", row 2 is "third".
    EXPECT_EQ(toolTipForRow(tips, 1)->view(), u"");
    EXPECT_EQ(toolTipForRow(tips, 2)->view(), u"tip three");
    EXPECT_EQ(toolTipForRow(tips, 3), nullptr);
    EXPECT_EQ(toolTipForRow(tips, -1), nullptr);
}

TEST(ListViewDefinitionsTest, AnImageIndexOutsideTheImageListMeansNone) {
    EXPECT_EQ(effectiveImageIndex(0, 0), -1);
    EXPECT_EQ(effectiveImageIndex(2, 3), 2);
    EXPECT_EQ(effectiveImageIndex(3, 3), -1);
    EXPECT_EQ(effectiveImageIndex(-1, 3), -1);
}
