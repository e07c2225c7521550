#include "runtime/core/MemoryStream.h"
#include "runtime/core/WString.h"

#include <gtest/gtest.h>

namespace {

TEST(ObjectStream, IntegersTextsAndBuffersRoundTrip) {
    CQueltMemoryStream out;
    CQueltMem bytes;
    bytes.append("\x00\x01\xFF", 3);
    ASSERT_TRUE(out.writeInt32(-2));
    ASSERT_TRUE(out.writeInt64(INT64_MIN));
    ASSERT_TRUE(CWString(u"视窗模块\U0001F600").save(out));
    ASSERT_TRUE(CWString().save(out));
    ASSERT_TRUE(bytes.save(out));
    // Little-endian on the wire.
    EXPECT_EQ(out.buffer().bytes()[0], 0xFE);
    EXPECT_EQ(out.buffer().bytes()[3], 0xFF);

    CQueltMemoryStream in(out.buffer());
    std::int32_t small = 0;
    std::int64_t large = 0;
    CWString text;
    CWString empty(u"not empty");
    CQueltMem back;
    ASSERT_TRUE(in.readInt32(small));
    ASSERT_TRUE(in.readInt64(large));
    ASSERT_TRUE(text.load(in));
    ASSERT_TRUE(empty.load(in));
    ASSERT_TRUE(back.load(in));
    EXPECT_EQ(small, -2);
    EXPECT_EQ(large, INT64_MIN);
    EXPECT_EQ(text, u"视窗模块\U0001F600");
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(back.equals(bytes));
    // Reading past the end fails and the failure sticks.
    EXPECT_FALSE(in.readInt32(small));
    EXPECT_EQ(in.error(), CQueltObjectStream::kShortRead);
}

TEST(ObjectStream, ShortWriteSetsErrorMinusThree) {
    CQueltMemoryStream out;
    out.setWriteLimit(6);
    EXPECT_TRUE(out.writeInt32(1));
    EXPECT_FALSE(out.writeInt32(2));
    EXPECT_EQ(out.error(), -3);
    // Later writes change nothing.
    EXPECT_FALSE(out.writeInt32(3));
    EXPECT_EQ(out.buffer().size(), 6u);
}

TEST(ObjectStream, CorruptLengthsFailCleanly) {
    CQueltMemoryStream out;
    out.writeInt32(-5);
    CQueltMemoryStream in(out.buffer());
    CWString text(u"kept");
    EXPECT_FALSE(text.load(in));
    EXPECT_EQ(text, u"kept");

    CQueltMemoryStream huge;
    huge.writeInt64(INT64_MAX);
    CQueltMemoryStream hugeIn(huge.buffer());
    CQueltMem buffer;
    EXPECT_FALSE(buffer.load(hugeIn));
    EXPECT_TRUE(buffer.empty());
}

} // namespace
