// A 206's Content-Range decides whether a resumed file goes on: anything but the
// one plain form must come out invalid, never as a range of other bytes.
#include "runtime/net/ByteRange.h"

#include <gtest/gtest.h>

namespace {

using rg_quelt_windows_WangLao::parseContentRange;

TEST(ByteRangeTest, OnlyAWholeBytesRangeWithinItsTotalIsRead) {
    const struct {
        const char* value;
        long long first, last, total; // first −1: invalid
    } cases[] = {
        {"bytes 1048576-3145744/3145745", 1048576, 3145744, 3145745},
        {"  bytes\t0-0/1 ", 0, 0, 1},
        {"bytes 5-9/*", 5, 9, -1},
        {"bytes */3145745", -1, 0, 0}, // a 416's: no part at all
        {"bytes 10-9/100", -1, 0, 0},
        {"bytes 0-100/100", -1, 0, 0}, // past the end
        {"bytes -5-9/100", -1, 0, 0},
        {"bytes 0-9/1x", -1, 0, 0},
        {"bytes 0-9", -1, 0, 0},
        {"items 0-9/100", -1, 0, 0},
        {"bytes0-9/100", -1, 0, 0},
        {"bytes 0-1234567890123456789/99999999999999999999", -1, 0, 0}, // no overflow
        {"", -1, 0, 0},
    };
    for (const auto& c : cases) {
        const auto range = parseContentRange(c.value);
        EXPECT_EQ(range.valid() ? range.first : -1, c.first) << c.value;
        if (c.first >= 0) {
            EXPECT_EQ(range.last, c.last) << c.value;
            EXPECT_EQ(range.total, c.total) << c.value;
        }
    }
}

} // namespace
