#include "runtime/core/PoolMem.h"

#include "runtime/platform/ThreadExitSlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <limits>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

// The out-of-memory cases need a failed allocation to come back as null, as it does
// without a sanitizer, rather than as the sanitizer's own report.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_options() { return "allocator_may_return_null=1"; }
#endif

namespace {

// -1 as the parent sees it: POSIX keeps only the low eight bits.
#if defined(_WIN32)
constexpr int kExitCodeMinusOne = -1;
#else
constexpr int kExitCodeMinusOne = 255;
#endif

TEST(PoolMem, BlockSizeDecidesBetweenPoolAndHeap) {
    struct Case {
        std::size_t bytes;
        bool pooled;
    };
    const Case cases[] = {{0, true}, {1, true}, {255, true}, {256, true}, {257, false}, {4096, false}};
    CPoolMem& pool = CPoolMem::instance();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const std::size_t before = pool.freeBlockCount();
        void* block = pool.allocate(c.bytes);
        EXPECT_EQ(pool.inPool(block), c.pooled);
        EXPECT_EQ(pool.freeBlockCount(), before - (c.pooled ? 1 : 0));
        // Every byte asked for is usable (AddressSanitizer would object otherwise).
        std::memset(block, 0x5a, c.bytes);
        // A heap block goes back to the heap, never onto the list.
        pool.free(block);
        EXPECT_EQ(pool.freeBlockCount(), before);
    }
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
    EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), available);
    void* extra = pool.allocate(256);
    EXPECT_FALSE(pool.inPool(extra));
    // One block back, and the next small request is served from the pool again.
    pool.free(blocks.back());
    blocks.pop_back();
    pool.free(extra);
    void* again = pool.allocate(8);
    EXPECT_TRUE(pool.inPool(again));
    blocks.push_back(again);
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

TEST(PoolMem, TwoPoolsNeverMixTheirBlocks) {
    // Kept to the end, as the process's own pool is.
    static CPoolMem other;
    CPoolMem& pool = CPoolMem::instance();
    const std::size_t before = pool.freeBlockCount();
    void* mine = pool.allocate(64);
    void* theirs = other.allocate(64);
    EXPECT_TRUE(other.inPool(theirs));
    other.free(theirs);
    pool.free(mine);
    // Each block went back to its own pool, and each pool hands out only its own.
    void* again = other.allocate(64);
    EXPECT_TRUE(other.inPool(again));
    EXPECT_TRUE(pool.inPool(mine = pool.allocate(64)));
    other.free(again);
    pool.free(mine);
    EXPECT_EQ(other.freeBlockCount(), CPoolMem::kBlockCount);
    EXPECT_EQ(pool.freeBlockCount(), before);
}

// One thread allocates and stamps blocks, another checks the stamp and frees them,
// far more blocks than a thread caches; afterwards every block the pair used can be
// allocated again, once, from this thread.
TEST(PoolMem, BlocksFreedOnAnotherThreadComeBack) {
    CPoolMem& pool = CPoolMem::instance();
    const std::size_t before = pool.freeBlockCount();
    constexpr int kBlocks = 50000;
    constexpr std::size_t kInFlight = 300;
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::pair<unsigned char*, int>> queue;
    std::set<void*> used;
    int bad = 0;
    std::thread producer([&] {
        for (int i = 0; i < kBlocks; ++i) {
            auto* block = static_cast<unsigned char*>(pool.allocate(CPoolMem::kBlockSize));
            std::memset(block, i & 0xff, CPoolMem::kBlockSize);
            if (pool.inPool(block))
                used.insert(block);
            std::unique_lock<std::mutex> guard(lock);
            changed.wait(guard, [&] { return queue.size() < kInFlight; });
            queue.emplace_back(block, i);
            changed.notify_all();
        }
    });
    std::thread consumer([&] {
        for (int i = 0; i < kBlocks; ++i) {
            std::unique_lock<std::mutex> guard(lock);
            changed.wait(guard, [&] { return !queue.empty(); });
            const auto [block, stamp] = queue.front();
            queue.pop_front();
            changed.notify_all();
            guard.unlock();
            for (std::size_t k = 0; k < CPoolMem::kBlockSize; ++k)
                bad += block[k] != (stamp & 0xff);
            pool.free(block);
        }
    });
    producer.join();
    consumer.join();
    EXPECT_EQ(bad, 0);
    ASSERT_EQ(pool.freeBlockCount(), before);
    EXPECT_GT(used.size(), CPoolMem::kCacheCapacity);
    std::set<void*> again;
    for (std::size_t i = 0; i < before; ++i) {
        void* block = pool.allocate(CPoolMem::kBlockSize);
        EXPECT_TRUE(pool.inPool(block));
        std::memset(block, 0, CPoolMem::kBlockSize);
        again.insert(block);
    }
    EXPECT_EQ(again.size(), before);
    EXPECT_TRUE(std::includes(again.begin(), again.end(), used.begin(), used.end()));
    for (void* block : again)
        pool.free(block);
    EXPECT_EQ(pool.freeBlockCount(), before);
}

// What a thread still frees and allocates in its last steps, after the pool's own exit
// step handed its cache back, is neither lost nor handed out twice.
struct LateWork {
    std::vector<void*> held;
    bool lateBlockPooled = false;
    bool done = false;
};

void finishLateWork(void* value) {
    auto* work = static_cast<LateWork*>(value);
    CPoolMem& pool = CPoolMem::instance();
    void* block = pool.allocate(64);
    work->lateBlockPooled = pool.inPool(block);
    std::memset(block, 1, 64);
    work->held.push_back(block);
    for (void* held : work->held)
        pool.free(held);
    work->done = true;
}

TEST(PoolMem, AThreadThatEndsHandsItsBlocksBack) {
    CPoolMem& pool = CPoolMem::instance();
    // Made after the pool's slot, so that it runs after the pool's step where the
    // platform runs them in order of creation.
    static platform::ThreadExitSlot lateSlot(&finishLateWork);
    ASSERT_TRUE(lateSlot.valid());
    const std::size_t before = pool.freeBlockCount();
    LateWork work;
    std::thread worker([&pool, &work] {
        std::vector<void*> blocks;
        for (int i = 0; i < 100; ++i)
            blocks.push_back(pool.allocate(100));
        while (blocks.size() > 10) {
            pool.free(blocks.back());
            blocks.pop_back();
        }
        work.held = blocks;
        lateSlot.set(&work);
    });
    worker.join();
    EXPECT_TRUE(work.done);
    EXPECT_TRUE(work.lateBlockPooled);
    EXPECT_EQ(pool.freeBlockCount(), before);
}

constexpr std::size_t kHuge = std::numeric_limits<std::size_t>::max() / 2;

TEST(PoolMemDeathTest, RunningOutOfMemoryEndsTheProcessWithMinusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    CPoolMem& pool = CPoolMem::instance();
    // Slot 1 of the objects reports the failure instead.
    EXPECT_EQ(pool.tryAllocate(kHuge), nullptr);
    struct Case {
        const char* name;
        void (*run)(CPoolMem& pool);
    };
    const Case cases[] = {
        {"allocate", [](CPoolMem& pool) { pool.allocate(kHuge); }},
        {"grow a heap block", [](CPoolMem& pool) { pool.reallocate(pool.allocate(1000), kHuge); }},
        {"move a pool block to the heap", [](CPoolMem& pool) { pool.reallocate(pool.allocate(16), kHuge); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(c.run(pool), ::testing::ExitedWithCode(kExitCodeMinusOne), "");
    }
}

#if defined(MIRETH_ASAN)
TEST(PoolMemDeathTest, PoisonedBytesShowUnderAddressSanitizer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* name;
        std::size_t bytes;
        bool freed;
        std::size_t touched;
    };
    const Case cases[] = {
        {"first byte of a freed block", 64, true, 0},
        {"last byte of a freed block", 256, true, 255},
        {"just past the request", 64, false, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DEATH(
            {
                CPoolMem& pool = CPoolMem::instance();
                auto* block = static_cast<volatile unsigned char*>(pool.allocate(c.bytes));
                if (c.freed)
                    pool.free(const_cast<unsigned char*>(block));
                block[c.touched] = 1;
            },
            "use-after-poison");
    }
}
#endif

} // namespace
