#include "runtime/core/rg_WenBenShuZuLei.h"

#include "tests/support/StreamRoundTrip.h"

#include <gtest/gtest.h>

namespace {

using rg_quelt_base::rg_WenBenShuZuLei;

TEST(TextArray, EmptyTextIsStoredAsNullAndReadsAsEmpty) {
    rg_WenBenShuZuLei list;
    list.Append(u"a");
    list.Append(u"");
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_TRUE(list.storage().isNullAt(1));
    EXPECT_TRUE(list.At(1).isEmpty());
    EXPECT_EQ(list.At(0), u"a");
}

TEST(TextArray, AppendTextsReturnsTheFirstNewIndex) {
    rg_WenBenShuZuLei list{u"x", u"y", u"z"};
    EXPECT_EQ(list.AppendTexts({u"w"}), 3u);
    EXPECT_EQ(list.AppendTexts({u"1", u"2"}), 4u);
    EXPECT_EQ(list.Count(), 6u);
    EXPECT_EQ(list.At(5), u"2");
}

TEST(TextArray, GrowsPastManyGrowthSteps) {
    rg_WenBenShuZuLei list;
    for (int i = 0; i < 1000; ++i)
        list.Append(CWString::fromInteger(i).view());
    ASSERT_EQ(list.Count(), 1000u);
    EXPECT_EQ(list.At(0), u"0");
    EXPECT_EQ(list.At(999), u"999");
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}

TEST(TextArray, AssignCopiesFlagsAndElements) {
    rg_WenBenShuZuLei source{u"User-Agent: x", u"", u"Accept: */*"};
    source.setNullInstance(true);
    source.setAssociatedWord(9);
    rg_WenBenShuZuLei target{u"old"};
    target.Assign(source);
    EXPECT_TRUE(target.isNullInstance());
    EXPECT_EQ(target.associatedWord(), 9u);
    EXPECT_EQ(target.Count(), 3u);
    EXPECT_TRUE(target.Equals(source));
    // The copy is independent of its source.
    source.Clear();
    EXPECT_EQ(target.At(2), u"Accept: */*");
    target.Assign(target);
    EXPECT_EQ(target.Count(), 3u);
}

TEST(TextArray, NullAndEmptyElementsCompareEqual) {
    rg_WenBenShuZuLei a{u"a", u""};
    rg_WenBenShuZuLei b;
    b.Append(u"a");
    b.Append(CWString().view());
    EXPECT_TRUE(a.Equals(b));
    b.Append(u"c");
    EXPECT_FALSE(a.Equals(b));
    rg_WenBenShuZuLei c{u"a", u"b"};
    EXPECT_FALSE(a.Equals(c));
    c.setNullInstance(true);
    rg_WenBenShuZuLei d{u"a", u"b"};
    EXPECT_FALSE(c.Equals(d));
}

TEST(TextArray, StreamRoundTripAndCopy) {
    const rg_WenBenShuZuLei list{u"Set-Cookie: a=1", u"", u"全局"};
    rg_WenBenShuZuLei back{u"junk"};
    EXPECT_TRUE(mireth_test::roundTrips(list, back));
    EXPECT_TRUE(back.Equals(list));
    CQueltObject* copy = list.clone();
    EXPECT_TRUE(copy->equals(list));
    copy->destroyAndFree();
}

} // namespace
