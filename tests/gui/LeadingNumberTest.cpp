#include "runtime/gui/LeadingNumber.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

using namespace quelt_gui;

TEST(LeadingNumber, IntegersReadLikeTheCRuntime) {
    EXPECT_EQ(leadingInteger32(u"  42abc"), 42);
    EXPECT_EQ(leadingInteger32(u"+7"), 7);
    EXPECT_EQ(leadingInteger32(u"-13"), -13);
    EXPECT_EQ(leadingInteger32(u"x1"), 0);
    EXPECT_EQ(leadingInteger32(u""), 0);
    EXPECT_EQ(leadingInteger32(u"- 1"), 0);
    EXPECT_EQ(leadingInteger32(u"0x10"), 0); // decimal only
}

TEST(LeadingNumber, IntegersSaturate) {
    EXPECT_EQ(leadingInteger32(u"3000000000"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(leadingInteger32(u"-3000000000"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(leadingInteger64(u"9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(leadingInteger64(u"9223372036854775808"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(leadingInteger64(u"-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(leadingInteger64(u"-99999999999999999999999"), std::numeric_limits<std::int64_t>::min());
}

TEST(LeadingNumber, DecimalNumbers) {
    EXPECT_DOUBLE_EQ(leadingNumber(u" 2.5kg"), 2.5);
    EXPECT_DOUBLE_EQ(leadingNumber(u"-.25"), -0.25);
    EXPECT_DOUBLE_EQ(leadingNumber(u"1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(leadingNumber(u"1e"), 1.0);
    EXPECT_DOUBLE_EQ(leadingNumber(u"1e+"), 1.0);
    EXPECT_DOUBLE_EQ(leadingNumber(u"."), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber(u"inf"), 0.0);
    EXPECT_DOUBLE_EQ(leadingNumber(u"-1e999"), -DBL_MAX);
    EXPECT_DOUBLE_EQ(leadingNumber(u"1e-999"), 0.0);
}
