#include "runtime/core/PoolMem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

TEST(PoolMem, BlockSizeDecidesBetweenPoolAndHeap) {
    CPoolMem& pool = CPoolMem::instance();
    const std::size_t before = pool.freeBlockCount();
    void* small = pool.allocate(256);
    void* large = pool.allocate(257);
    EXPECT_TRUE(pool.inPool(small));
    EXPECT_FALSE(pool.inPool(large));
    EXPECT_EQ(pool.freeBlockCount(), before - 1);
    pool.free(small);
    EXPECT_EQ(pool.freeBlockCount(), before);
    // A heap block goes back to the heap, never onto the list.
    pool.free(large);
    EXPECT_EQ(pool.freeBlockCount(), before);
}

TEST(PoolMem, FreedBlockIsReused) {
    CPoolMem& pool = CPoolMem::instance();
    void* first = pool.allocate(16);
    pool.free(first);
    void* second = pool.allocate(200);
    EXPECT_EQ(first, second);
    pool.free(second);
}

TEST(PoolMem, ReallocateInsideThePool) {
    CPoolMem& pool = CPoolMem::instance();
    auto* block = static_cast<unsigned char*>(pool.allocate(100));
    for (int i = 0; i < 100; ++i)
        block[i] = static_cast<unsigned char>(i);
    // Still a block: the same pointer.
    EXPECT_EQ(pool.reallocate(block, 256), block);
    const std::size_t before = pool.freeBlockCount();
    // Too big for a block: moved to the heap with the contents, block returned.
    auto* moved = static_cast<unsigned char*>(pool.reallocate(block, 1000));
    EXPECT_FALSE(pool.inPool(moved));
    EXPECT_EQ(pool.freeBlockCount(), before + 1);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(moved[i], i);
    // Heap blocks stay on the heap even when they shrink.
    auto* shrunk = static_cast<unsigned char*>(pool.reallocate(moved, 10));
    EXPECT_FALSE(pool.inPool(shrunk));
    EXPECT_EQ(shrunk[9], 9);
    pool.free(shrunk);
}

TEST(PoolMem, ExhaustedPoolFallsBackToTheHeap) {
    CPoolMem& pool = CPoolMem::instance();
    std::vector<void*> blocks;
    const std::size_t available = pool.freeBlockCount();
    for (std::size_t i = 0; i < available; ++i)
        blocks.push_back(pool.allocate(8));
    EXPECT_EQ(pool.freeBlockCount(), 0u);
    void* extra = pool.allocate(8);
    EXPECT_FALSE(pool.inPool(extra));
    pool.free(extra);
    for (void* block : blocks)
        pool.free(block);
    EXPECT_EQ(pool.freeBlockCount(), available);
}

TEST(PoolMem, ManyThreadsKeepTheListConsistent) {
    CPoolMem& pool = CPoolMem::instance();
    const std::size_t before = pool.freeBlockCount();
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    std::vector<std::thread> threads;
    std::vector<int> corrupt(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&pool, &corrupt, t] {
            void* held[8] = {};
            for (int r = 0; r < kRounds; ++r) {
                const int slot = r % 8;
                if (held[slot]) {
                    // Each thread stamps its blocks; a block handed to two owners shows.
                    if (static_cast<unsigned char*>(held[slot])[100] != static_cast<unsigned char>(t))
                        ++corrupt[t];
                    pool.free(held[slot]);
                }
                held[slot] = pool.allocate(slot == 7 ? 300 : 200);
                std::memset(held[slot], t, 200);
            }
            for (void* block : held)
                pool.free(block);
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(corrupt[t], 0) << "thread " << t;
    EXPECT_EQ(pool.freeBlockCount(), before);
}

} // namespace
