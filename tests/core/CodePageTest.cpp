#include "runtime/platform/CodePage.h"
#include "runtime/core/U8String.h"
#include "runtime/core/WString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string decode(std::string_view bytes) {
    const CWString text = CWString::fromUtf8(bytes);
    return std::u16string(text.view());
}

TEST(Utf8Conversion, NonAsciiRoundTrips) {
    const std::u16string original = u"Mireth模块更新程序 — 全局/视窗模块 ü";
    const CWString text(original);
    const std::string utf8 = text.toUtf8String();
    EXPECT_EQ(utf8,
              "Mireth\xE6\xA8\xA1\xE5\x9D\x97\xE6\x9B\xB4\xE6\x96\xB0\xE7\xA8\x8B\xE5\xBA\x8F \xE2\x80\x94 "
              "\xE5\x85\xA8\xE5\xB1\x80/\xE8\xA7\x86\xE7\xAA\x97\xE6\xA8\xA1\xE5\x9D\x97 \xC3\xBC");
    EXPECT_EQ(decode(utf8), original);
}

TEST(Utf8Conversion, SurrogatePairsEncodeAsFourBytes) {
    const std::u16string pair = u"a\U0001F600b";
    ASSERT_EQ(pair.size(), 4u);
    const std::string utf8 = CWString(pair).toUtf8String();
    EXPECT_EQ(utf8, "a\xF0\x9F\x98\x80"
                    "b");
    EXPECT_EQ(decode(utf8), pair);
}

TEST(Utf8Conversion, UnpairedSurrogatesBecomeReplacement) {
    const char16_t lone[] = {u'x', 0xD800, u'y', 0xDC00};
    const std::string utf8 = CWString(lone, 4).toUtf8String();
    EXPECT_EQ(utf8, "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}

TEST(Utf8Conversion, InvalidInputBecomesReplacement) {
    // A stray continuation byte, a bad lead byte, and a truncated sequence.
    EXPECT_EQ(decode("a\x80"
                     "b"),
              u"a\uFFFDb");
    EXPECT_EQ(decode("\xFF"), u"\uFFFD");
    EXPECT_EQ(decode("\xE6\xA8"), u"\uFFFD");
    EXPECT_EQ(decode("\xE6\xA8z"), u"\uFFFDz");
    // Overlong forms and encoded surrogates are not characters.
    EXPECT_EQ(decode("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(decode("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    // Beyond U+10FFFF.
    EXPECT_EQ(decode("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(Utf8Conversion, SizingPassMatchesWritingPass) {
    const std::string bytes = "\xE4\xB8\xAD\xF0\x9F\x98\x80\x80z";
    const std::size_t needed = platform::utf8ToUtf16(bytes.data(), bytes.size(), nullptr, 0);
    std::u16string out(needed, u'\0');
    EXPECT_EQ(platform::utf8ToUtf16(bytes.data(), bytes.size(), out.data(), out.size()), needed);
    EXPECT_EQ(out, u"中\U0001F600\uFFFDz");
    // A destination too small takes only whole characters.
    char16_t small[2];
    EXPECT_EQ(platform::utf8ToUtf16(bytes.data(), bytes.size(), small, 2), 1u);
}

TEST(Utf8Conversion, ASmallDestinationTakesWhatFitsOfAnAsciiRunAndStops) {
    // An ASCII run, a character of two units (four bytes), another run, cut at
    // every capacity: only whole characters go in.
    const std::string bytes = "abcd\xF0\x9F\x98\x80"
                              "ef";
    const std::u16string text = u"abcd\U0001F600ef";
    for (std::size_t capacity = 0; capacity <= text.size(); ++capacity) {
        std::u16string units(capacity, u'?');
        const std::size_t wrote = platform::utf8ToUtf16(bytes.data(), bytes.size(), units.data(), capacity);
        const std::size_t expected = capacity == 5 ? 4 : capacity;
        EXPECT_EQ(wrote, expected) << capacity;
        EXPECT_EQ(units.substr(0, wrote), text.substr(0, expected)) << capacity;
    }
    for (std::size_t capacity = 0; capacity <= bytes.size(); ++capacity) {
        std::string narrow(capacity, '?');
        const std::size_t wrote = platform::utf16ToUtf8(text.data(), text.size(), narrow.data(), capacity);
        const std::size_t expected = capacity > 4 && capacity < 8 ? 4 : capacity;
        EXPECT_EQ(wrote, expected) << capacity;
        EXPECT_EQ(narrow.substr(0, wrote), bytes.substr(0, expected)) << capacity;
    }
}

TEST(AnsiConversion, AsciiRoundTripsOnEverySystem) {
    const CWString text(u"qq=12345&pwd=abc");
    const std::string ansi = text.toAnsi();
    EXPECT_EQ(ansi, "qq=12345&pwd=abc");
    EXPECT_EQ(CWString::fromAnsi(ansi), text);
}

TEST(AnsiConversion, ChineseRoundTripsWhereTheCodePageHasIt) {
    const CWString text(u"视窗模块");
    const std::string ansi = text.toAnsi();
    if (platform::ansiIsUtf8()) {
        EXPECT_EQ(ansi, text.toUtf8String());
    }
    // Whatever the code page, text it can hold comes back unchanged, and text it
    // cannot hold never comes back longer than it went.
    const CWString back = CWString::fromAnsi(ansi);
    if (ansi.find('?') == std::string::npos) {
        EXPECT_EQ(back, text);
    } else {
        EXPECT_LE(back.length(), text.length());
    }
}

TEST(U8String, IsTerminatedAndSized) {
    const CU8String empty;
    EXPECT_STREQ(empty.c_str(), "");
    EXPECT_EQ(empty.length(), 0u);
    const CU8String name(CWString(u"模块.ec"));
    EXPECT_EQ(name.length(), 9u);
    EXPECT_EQ(name.c_str()[name.length()], '\0');
    EXPECT_EQ(name.view(), "\xE6\xA8\xA1\xE5\x9D\x97.ec");
}

} // namespace
