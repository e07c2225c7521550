#include "runtime/core/WString.h"

#include <gtest/gtest.h>

namespace {

TEST(WStringStorage, LiteralIsBorrowedUntilAssigned) {
    static const char16_t literal[] = u"检查更新";
    CWConstString constant(literal);
    EXPECT_EQ(constant.text(), literal);
    EXPECT_TRUE(constant.isBorrowed());
    EXPECT_EQ(constant.length(), 4u);

    CWString text = CWString::borrowed(literal);
    EXPECT_EQ(text.text(), literal);
    text = CWString(u"更新模块");
    EXPECT_FALSE(text.isBorrowed());
    EXPECT_NE(text.text(), literal);
    EXPECT_EQ(text, u"更新模块");
}

TEST(WStringStorage, OwnedCopiesAreIndependent) {
    CWString a(u"abc");
    CWString b(a);
    EXPECT_NE(a.text(), b.text());
    b += u"d";
    EXPECT_EQ(a, u"abc");
    EXPECT_EQ(b, u"abcd");
    // Growing a borrowed text keeps its characters.
    CWString c = CWString::borrowed(u"xy");
    c += u'z';
    EXPECT_EQ(c, u"xyz");
    EXPECT_FALSE(c.isBorrowed());
}

TEST(WStringStorage, EmptyRules) {
    EXPECT_TRUE(CWString().isEmpty());
    EXPECT_TRUE(CWString(u"").isEmpty());
    EXPECT_TRUE(CWString(static_cast<const char16_t*>(nullptr)).isEmpty());
    EXPECT_TRUE(CWString::borrowed(u"").isEmpty());
    EXPECT_FALSE(CWString(u"a").isEmpty());
    EXPECT_STREQ(reinterpret_cast<const char*>(CWString().text()), "");
    // Embedded zeros count towards the length of an owned text.
    const char16_t withZero[] = {u'a', 0, u'b'};
    EXPECT_EQ(CWString(withZero, 3).length(), 3u);
}

TEST(WStringStorage, SelfAppendAndAssign) {
    CWString text(u"ab");
    text.append(text.view());
    EXPECT_EQ(text, u"abab");
    text.assign(text.text() + 1, 2);
    EXPECT_EQ(text, u"ba");
    text = text;
    EXPECT_EQ(text, u"ba");
}

TEST(WStringCompare, ConstAndOwnedTextsWithEqualCharactersAreEqual) {
    const CWConstString constant(u"全局");
    const CWString owned(u"全局");
    EXPECT_TRUE(constant.equals(owned));
    EXPECT_TRUE(owned.equals(constant));
    EXPECT_FALSE(owned.equals(CWString(u"全局 ")));
    CWString flagged(u"全局");
    flagged.setNullInstance(true);
    EXPECT_FALSE(owned.equals(flagged));
    EXPECT_TRUE(constant.isInstanceOf(CWString::staticClassRecord()));
    EXPECT_FALSE(owned.isInstanceOf(CWConstString::staticClassRecord()));
}

TEST(WStringTrim, BlanksControlsAndIdeographicSpace) {
    EXPECT_EQ(CWString(u" \t\r\n\x1F　value　 \x01").trimmed(), u"value");
    EXPECT_EQ(CWString(u"a b").trimmed(), u"a b");
    EXPECT_EQ(CWString(u"　 ").trimmed(), u"");
    EXPECT_EQ(CWString(u"\x21!").trimmed(), u"!!");
}

TEST(WStringNumbers, DecimalText) {
    EXPECT_EQ(CWString::fromInteger(0), u"0");
    EXPECT_EQ(CWString::fromInteger(-657434), u"-657434");
    EXPECT_EQ(CWString::fromInteger(INT64_MIN), u"-9223372036854775808");
    EXPECT_EQ(CWString::fromInteger(INT64_MAX), u"9223372036854775807");
}

TEST(WStringNumbers, ParsesDecimalAndHexadecimal) {
    EXPECT_EQ(CWString(u"1024").toInteger(), 1024);
    EXPECT_EQ(CWString(u"  -42xyz").toInteger(), -42);
    EXPECT_EQ(CWString(u"0x1F").toInteger(), 31);
    EXPECT_EQ(CWString(u"0XfF").toInteger(), 255);
    EXPECT_EQ(CWString(u"").toInteger(), 0);
    EXPECT_EQ(CWString(u"abc").toInteger(), 0);
    EXPECT_EQ(CWString(u"99999999999999999999").toInteger(), INT64_MAX);
    EXPECT_EQ(CWString(u"-9223372036854775808").toInteger(), INT64_MIN);
    EXPECT_EQ(CWString(u"-99999999999999999999").toInteger(), INT64_MIN);
}

TEST(WStringConcatenate, BuildsNewTexts) {
    const CWString left(u"api/");
    const CWString joined = left + u"w/list";
    EXPECT_EQ(joined, u"api/w/list");
    EXPECT_EQ(left, u"api/");
    EXPECT_EQ(CWString() + u"", u"");
}

TEST(WStringObject, CloneAndAssignThroughTheRoot) {
    const CWString text(u"下载");
    CQueltObject* copy = text.clone();
    EXPECT_TRUE(copy->equals(text));
    CWString target;
    EXPECT_TRUE(target.assign(*copy));
    EXPECT_EQ(target, u"下载");
    copy->destroyAndFree();
    CWString out;
    text.toText(out);
    EXPECT_EQ(out, u"下载");
}

} // namespace
