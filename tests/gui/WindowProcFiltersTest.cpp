#include "runtime/gui/WindowProcFilters.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Recorder : IQueltWindowProcFilter {
    Recorder(int id, std::vector<int>& calls, bool consumes) : id(id), calls(calls), consumes(consumes) {}
    bool filterMessage(std::uintptr_t, std::uint32_t, std::uintptr_t, std::intptr_t,
                       std::intptr_t& result) override {
        calls.push_back(id);
        if (consumes)
            result = id;
        return consumes;
    }
    int id;
    std::vector<int>& calls;
    bool consumes;
};

} // namespace

TEST(WindowProcFiltersTest, RunsFromTheFrontAndStopsAtTheFirstThatConsumes) {
    std::vector<int> calls;
    Recorder a(1, calls, false), b(2, calls, true), c(3, calls, false);
    CQueltWindowProcFilters filters;
    filters.add(&a);
    filters.add(&b);
    filters.add(&c); // front: c, b, a
    std::intptr_t result = 0;
    EXPECT_TRUE(filters.run(0, 0, 0, 0, result));
    EXPECT_EQ(calls, (std::vector<int>{3, 2}));
    EXPECT_EQ(result, 2);
}

TEST(WindowProcFiltersTest, AddingTwiceKeepsOneEntryAndRemovingReportsWhetherFound) {
    std::vector<int> calls;
    Recorder a(1, calls, false), b(2, calls, false);
    CQueltWindowProcFilters filters;
    filters.add(&a);
    filters.add(&b);
    filters.add(&a); // stays behind b
    std::intptr_t result = 0;
    EXPECT_FALSE(filters.run(0, 0, 0, 0, result));
    EXPECT_EQ(calls, (std::vector<int>{2, 1}));
    EXPECT_TRUE(filters.remove(&a));
    EXPECT_FALSE(filters.remove(&a));
    EXPECT_TRUE(filters.contains(&b));
    EXPECT_FALSE(filters.contains(&a));
    EXPECT_TRUE(filters.remove(&b));
    EXPECT_TRUE(filters.empty());
}
