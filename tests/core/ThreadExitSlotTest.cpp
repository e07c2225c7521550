#include "runtime/platform/ThreadExitSlot.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

namespace {

std::mutex endedLock;
std::vector<void*> ended;

void noteEnded(void* value) {
    std::lock_guard<std::mutex> guard(endedLock);
    ended.push_back(value);
}

TEST(ThreadExitSlot, HandsEachEndingThreadItsOwnValueOnce) {
    static platform::ThreadExitSlot slot(&noteEnded);
    ASSERT_TRUE(slot.valid());
    int first = 0, second = 0;
    struct Case {
        const char* name;
        void* value;
        bool handed;
    };
    const Case cases[] = {
        {"a value", &first, true}, {"another value", &second, true}, {"null", nullptr, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ended.clear();
        void* seenBefore = &first;
        void* seenAfter = nullptr;
        std::thread worker([&] {
            seenBefore = slot.get();
            slot.set(c.value);
            seenAfter = slot.get();
        });
        worker.join();
        EXPECT_EQ(seenBefore, nullptr);
        EXPECT_EQ(seenAfter, c.value);
        EXPECT_EQ(ended, c.handed ? std::vector<void*>{c.value} : std::vector<void*>{});
    }
    // This thread's value is untouched by the others.
    EXPECT_EQ(slot.get(), nullptr);
    EXPECT_TRUE(slot.set(&first));
    EXPECT_EQ(slot.get(), &first);
    slot.set(nullptr);
}

} // namespace
