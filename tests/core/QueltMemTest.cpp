#include "runtime/core/QueltMem.h"
#include "runtime/core/QueltObjectArray.h"
#include "runtime/core/WString.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(QueltMemSetSize, GrowsAndShrinksByTheGrowthUnit) {
    CQueltMem buffer;
    EXPECT_EQ(buffer.capacity(), 0u);
    buffer.setSize(64);
    EXPECT_EQ(buffer.size(), 64u);
    EXPECT_EQ(buffer.capacity(), 128u);
    buffer.setSize(10);
    EXPECT_EQ(buffer.capacity(), 64u);
    // Within one unit of slack nothing moves.
    buffer.setSize(60);
    EXPECT_EQ(buffer.capacity(), 64u);
    buffer.setSize(0);
    EXPECT_EQ(buffer.capacity(), 0u);
    EXPECT_EQ(buffer.data(), nullptr);
}

TEST(QueltMemSetSize, FirstAllocationAlwaysHasSlack) {
    CQueltMem buffer;
    buffer.setSize(1);
    EXPECT_EQ(buffer.capacity(), 64u);
    CQueltMem odd(0);
    odd.setSize(5);
    EXPECT_EQ(odd.capacity(), 64u); // a unit below 1 counts as 64
    CQueltMem text(254);
    text.setSize(254);
    EXPECT_EQ(text.capacity(), 508u);
}

TEST(QueltMemSetSize, ContentsSurviveGrowth) {
    CQueltMem buffer;
    for (int i = 0; i < 1000; ++i) {
        const unsigned char byte = static_cast<unsigned char>(i * 7);
        buffer.append(&byte, 1);
    }
    ASSERT_EQ(buffer.size(), 1000u);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(buffer.bytes()[i], static_cast<unsigned char>(i * 7));
    EXPECT_LE(buffer.capacity() - buffer.size(), 64u);
}

TEST(QueltMem, AppendFromItself) {
    CQueltMem buffer;
    buffer.append("abcdefgh", 8);
    for (int i = 0; i < 6; ++i)
        buffer.append(buffer.data(), buffer.size());
    EXPECT_EQ(buffer.size(), 8u * 64u);
    EXPECT_EQ(std::memcmp(buffer.bytes() + 504, "abcdefgh", 8), 0);
}

TEST(QueltMem, TextAndUtf8Forms) {
    CQueltMem units;
    units.appendText(CWString(u"ab"));
    ASSERT_EQ(units.size(), 6u);
    EXPECT_EQ(reinterpret_cast<const char16_t*>(units.data())[2], 0);
    const CQueltMem utf8(CWString(u"模"));
    EXPECT_EQ(utf8.size(), 3u);
    EXPECT_EQ(std::memcmp(utf8.data(), "\xE6\xA8\xA1", 3), 0);
}

TEST(QueltMem, CopyEqualsAndEraseFront) {
    CQueltMem a;
    a.append("0123456789", 10);
    CQueltMem b(a);
    EXPECT_TRUE(a.equals(b));
    EXPECT_NE(a.data(), b.data());
    b.eraseFront(4);
    EXPECT_EQ(std::memcmp(b.data(), "456789", 6), 0);
    EXPECT_FALSE(a.equals(b));
    CQueltMem c;
    EXPECT_TRUE(c.assign(a));
    EXPECT_TRUE(c.equals(a));
    EXPECT_FALSE(c.assign(CWString(u"x"))); // another class: no change
    EXPECT_TRUE(c.equals(a));
}

int destroyedElements = 0;

class CountedObject : public CQueltObject {
    QUELT_CLASS(CountedObject)

public:
    CountedObject() = default;
    ~CountedObject() override { ++destroyedElements; }
};

QUELT_DEFINE_CLASS(CountedObject, CQueltObject, "tests::CountedObject")

TEST(QueltObjectArray, OwnsItsElements) {
    destroyedElements = 0;
    {
        CQueltObjectArray array;
        for (int i = 0; i < 40; ++i)
            array.append(new CountedObject());
        EXPECT_EQ(array.count(), 40u);
        CQueltObjectArray copy(array);
        EXPECT_EQ(copy.count(), 40u);
        EXPECT_NE(copy.at(0), array.at(0));
        EXPECT_TRUE(copy.equals(array));
        copy.reset();
        EXPECT_EQ(destroyedElements, 40);
        EXPECT_EQ(copy.count(), 0u);
    }
    EXPECT_EQ(destroyedElements, 80);
}

} // namespace
