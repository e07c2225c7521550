#include "runtime/core/RefObject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

std::atomic<int> recordsFreed{0};

class Record : public CRefObject {
protected:
    ~Record() override { recordsFreed.fetch_add(1); }
};

TEST(CQueltRefObject, CopiesShareOneRecord) {
    recordsFreed = 0;
    {
        CQueltRefObject holder(new Record());
        CRefObject* record = holder.record();
        {
            CQueltRefObject copy(holder);
            EXPECT_EQ(copy.record(), record);
            EXPECT_EQ(record->refCount(), 2);
            EXPECT_TRUE(copy.equals(holder));
            CQueltRefObject other(new Record());
            other = copy;
            EXPECT_EQ(recordsFreed.load(), 1); // other's first record
            EXPECT_EQ(record->refCount(), 3);
            other = other;
            EXPECT_EQ(record->refCount(), 3);
        }
        EXPECT_EQ(record->refCount(), 1);
        EXPECT_EQ(recordsFreed.load(), 1);
    }
    EXPECT_EQ(recordsFreed.load(), 2);
}

TEST(CQueltRefObject, LastReleaseOnAnyThreadFrees) {
    recordsFreed = 0;
    for (int round = 0; round < 50; ++round) {
        CQueltRefObject holder(new Record());
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([copy = holder] {
                CQueltRefObject local(copy);
                (void)local;
            });
        holder.reset();
        for (auto& thread : threads)
            thread.join();
    }
    EXPECT_EQ(recordsFreed.load(), 50);
}

} // namespace
