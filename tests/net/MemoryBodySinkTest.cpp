#include "runtime/net/MemoryBodySink.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using rg_quelt_windows_WangLao::MemoryBodySink;

TEST(MemoryBodySink, KeepsWhatFitsAndRefusesThePieceThatWouldPassTheLimit) {
    struct Case {
        const char* what;
        std::size_t limit;
        std::vector<std::size_t> pieces;
        std::size_t kept;
        bool passed;
    };
    const Case cases[] = {
        {"no limit", MemoryBodySink::kNoLimit, {1, 100, 70000, 3}, 70104, false},
        {"up to the limit exactly", 1000, {400, 600}, 1000, false},
        {"one byte past it", 1000, {400, 600, 1}, 1000, true},
        {"a piece that straddles it", 1000, {400, 601}, 400, true},
        {"a first piece larger than it", 10, {11}, 0, true},
        {"nothing after a refusal", 10, {11, 1}, 0, true},
    };
    for (const Case& c : cases) {
        CQueltMem buffer;
        MemoryBodySink sink(buffer, c.limit);
        std::size_t offset = 0;
        bool refused = false;
        for (std::size_t piece : c.pieces) {
            std::vector<unsigned char> bytes(piece);
            for (std::size_t i = 0; i < piece; ++i)
                bytes[i] = static_cast<unsigned char>((offset + i) % 251);
            // Once refused, the transfer is over: a caller never writes again.
            if (!refused)
                refused = !sink.write(bytes.data(), bytes.size());
            offset += piece;
        }
        sink.finish();
        EXPECT_EQ(buffer.size(), c.kept) << c.what;
        EXPECT_EQ(sink.passedLimit(), c.passed) << c.what;
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            ASSERT_EQ(buffer.bytes()[i], i % 251) << c.what << " at " << i;
        }
    }
}

TEST(MemoryBodySink, GrowsGeometricallyAndGivesTheSlackBack) {
    CQueltMem buffer;
    std::set<std::size_t> capacities;
    {
        MemoryBodySink sink(buffer);
        const unsigned char piece[100] = {};
        for (int i = 0; i < 20000; ++i) {
            ASSERT_TRUE(sink.write(piece, sizeof piece));
            capacities.insert(buffer.capacity());
        }
    }
    // 2 MB in steps of the 64-byte unit would be some 31,000 reallocations.
    EXPECT_LT(capacities.size(), 60u);
    EXPECT_EQ(buffer.size(), 2000000u);
    EXPECT_EQ(buffer.growthUnit(), CQueltMem::kDefaultGrowthUnit);
    EXPECT_LE(buffer.capacity() - buffer.size(), CQueltMem::kDefaultGrowthUnit);
}

TEST(MemoryBodySink, NeverReservesFarPastItsLimit) {
    CQueltMem buffer;
    const std::size_t limit = 1u << 20;
    MemoryBodySink sink(buffer, limit);
    const unsigned char piece[4096] = {};
    while (sink.write(piece, sizeof piece))
        EXPECT_LE(buffer.capacity(), limit + CQueltMem::kDefaultGrowthUnit);
    EXPECT_EQ(buffer.size(), limit);
}

} // namespace
