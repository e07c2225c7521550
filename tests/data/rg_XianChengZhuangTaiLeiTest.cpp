#include "runtime/data/rg_XianChengZhuangTaiLei.h"

#include "runtime/data/ThreadStateRecord.h"
#include "runtime/data/rg_JSONDuiXiangLei.h"
#include "runtime/platform/Event.h"
#include "runtime/platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

using rg_quelt_base::rg_XianChengZhuangTaiLei;
using rg_quelt_base::ThreadStateRecord;

namespace {

constexpr std::uint32_t kPatience = 30000;

template <typename Condition> bool eventually(Condition condition) {
    for (int i = 0; i < 30000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

// Counts live instances and remembers the thread that destroyed the last one, to
// see which side freed a record (the record frees what its slots hold).
class Tracked : public CQueltObject {
    QUELT_CLASS(Tracked)

public:
    static std::atomic<int> live;
    static std::atomic<std::uint64_t> lastDestroyer;

    Tracked() { live.fetch_add(1); }
    Tracked(const Tracked& other) : CQueltObject(other) { live.fetch_add(1); }
    Tracked& operator=(const Tracked&) = default;
    ~Tracked() override {
        lastDestroyer.store(platform::currentThreadId());
        live.fetch_sub(1);
    }
};

std::atomic<int> Tracked::live{0};
std::atomic<std::uint64_t> Tracked::lastDestroyer{0};

QUELT_DEFINE_CLASS(Tracked, CQueltObject, "Tracked")

// What the jobs, plain functions, share with the test that runs them.
struct JobWorld {
    platform::Event entered{true, false};
    platform::Event gate{true, false};
    std::atomic<int> runs{0};
    std::atomic<std::uint64_t> jobThread{0};
    const rg_XianChengZhuangTaiLei* jobState = nullptr;
    ThreadStateRecord* jobRecord = nullptr;
    bool stopWasReset = false;
    CWString seen0;
    CWString seen1;
};

JobWorld* world = nullptr;

void blockingJob(rg_XianChengZhuangTaiLei* state) {
    world->jobThread.store(platform::currentThreadId());
    world->jobState = state;
    world->jobRecord = state->stateRecord();
    world->stopWasReset = state->stateRecord()->stopEvent.wait(0) == platform::WaitResult::timedOut;
    world->runs.fetch_add(1);
    world->entered.set();
    world->gate.wait(kPatience);
}

// Reads its parameters only once the test lets it.
void lateLoadingJob(rg_XianChengZhuangTaiLei* state) {
    world->entered.set();
    world->gate.wait(kPatience);
    state->LoadParameter(0, world->seen0);
    state->LoadParameter(1, world->seen1);
}

void copyingJob(rg_XianChengZhuangTaiLei* state) {
    CWString first;
    CWString second;
    state->LoadParameter(0, first);
    state->LoadParameter(1, second);
    world->entered.set();
    world->gate.wait(kPatience);
    world->seen0 = first;
    world->seen1 = second;
}

void throwingJob(rg_XianChengZhuangTaiLei*) {
    world->runs.fetch_add(1);
    throw std::runtime_error("job failed");
}

std::atomic<int> failedCreations{0};

bool failingStarter(platform::ThreadRoutine, void*) {
    failedCreations.fetch_add(1);
    return false;
}

class ThreadState : public ::testing::Test {
protected:
    void SetUp() override {
        world = new JobWorld();
        Tracked::live = 0;
    }
    void TearDown() override {
        // Every test waits for its jobs; the gate is opened in case one failed early.
        world->gate.set();
        EXPECT_TRUE(eventually([] { return Tracked::live.load() == 0; }));
        delete world;
        world = nullptr;
    }
};

TEST_F(ThreadState, NewStateIsIdleWithEmptySlotsAndItsOwnRecord) {
    rg_XianChengZhuangTaiLei state;
    EXPECT_STREQ(state.classRecord().name, "rg_quelt_base::rg_XianChengZhuangTaiLei");
    EXPECT_TRUE(state.isInstanceOf(CQueltRefObject::staticClassRecord()));
    ASSERT_NE(state.stateRecord(), nullptr);
    EXPECT_TRUE(state.stateRecord()->usable());
    EXPECT_FALSE(state.isRunning());
    EXPECT_TRUE(state.waitUntilIdle(0));
    CWString target(u"unchanged");
    for (int slot = 0; slot < 3; ++slot)
        state.LoadParameter(slot, target);
    EXPECT_EQ(target, u"unchanged");

    rg_XianChengZhuangTaiLei other;
    EXPECT_NE(other.stateRecord(), state.stateRecord());
    rg_XianChengZhuangTaiLei copy(state);
    EXPECT_EQ(copy.stateRecord(), state.stateRecord());
    EXPECT_TRUE(copy.equals(state));
}

TEST_F(ThreadState, TheJobRunsOnItsOwnCopyOfTheSharedState) {
    rg_XianChengZhuangTaiLei state;
    state.stateRecord()->stopEvent.set();
    state.StartThread(&blockingJob);
    // StartThread returned, so the job holds its copy already.
    EXPECT_EQ(state.stateRecord()->refCount(), 2);
    ASSERT_EQ(world->entered.wait(kPatience), platform::WaitResult::signalled);
    EXPECT_TRUE(state.isRunning());
    EXPECT_NE(world->jobThread.load(), platform::currentThreadId());
    EXPECT_NE(world->jobState, &state);
    EXPECT_EQ(world->jobRecord, state.stateRecord());
    EXPECT_TRUE(world->stopWasReset);
    world->gate.set();
    ASSERT_TRUE(state.waitUntilIdle(kPatience));
    EXPECT_FALSE(state.isRunning());
}

TEST_F(ThreadState, AStartWhileAJobRunsIsDroppedAndOneAfterItSucceeds) {
    rg_XianChengZhuangTaiLei state;
    state.StartThread(&blockingJob);
    ASSERT_EQ(world->entered.wait(kPatience), platform::WaitResult::signalled);
    state.StartThread(&blockingJob);
    rg_XianChengZhuangTaiLei sameRecord(state);
    sameRecord.StartThread(&blockingJob);
    EXPECT_EQ(world->runs.load(), 1);
    world->gate.set();
    ASSERT_TRUE(state.waitUntilIdle(kPatience));

    state.StartThread(&blockingJob);
    ASSERT_TRUE(state.waitUntilIdle(kPatience));
    EXPECT_EQ(world->runs.load(), 2);
}

TEST_F(ThreadState, AFailedThreadCreationLeavesTheStateIdle) {
    rg_XianChengZhuangTaiLei state;
    failedCreations = 0;
    rg_XianChengZhuangTaiLei::ThreadStarter previous = rg_XianChengZhuangTaiLei::setThreadStarter(&failingStarter);
    state.StartThread(&blockingJob);
    rg_XianChengZhuangTaiLei::setThreadStarter(previous);
    EXPECT_EQ(failedCreations.load(), 1);
    EXPECT_FALSE(state.isRunning());
    EXPECT_EQ(world->runs.load(), 0);
    EXPECT_EQ(state.stateRecord()->refCount(), 1);

    world->gate.set();
    state.StartThread(&blockingJob);
    ASSERT_TRUE(state.waitUntilIdle(kPatience));
    EXPECT_EQ(world->runs.load(), 1);
}

TEST_F(ThreadState, AnExceptionFromTheJobStaysOnItsThread) {
    rg_XianChengZhuangTaiLei state;
    state.StartThread(&throwingJob);
    ASSERT_TRUE(state.waitUntilIdle(kPatience));
    state.StartThread(&throwingJob);
    ASSERT_TRUE(state.waitUntilIdle(kPatience));
    EXPECT_EQ(world->runs.load(), 2);
}

TEST_F(ThreadState, NothingStartsWithoutAJobOrARecord) {
    rg_XianChengZhuangTaiLei state;
    state.StartThread(nullptr);
    EXPECT_FALSE(state.isRunning());
    state.releaseContents();
    EXPECT_EQ(state.stateRecord(), nullptr);
    state.StartThread(&blockingJob);
    state.StoreParameter(0, CWString(u"x"));
    CWString target(u"kept");
    state.LoadParameter(0, target);
    EXPECT_EQ(target, u"kept");
    EXPECT_FALSE(state.isRunning());
    EXPECT_EQ(world->runs.load(), 0);

    state.reset();
    ASSERT_NE(state.stateRecord(), nullptr);
    world->gate.set();
    state.StartThread(&blockingJob);
    ASSERT_TRUE(state.waitUntilIdle(kPatience));
    EXPECT_EQ(world->runs.load(), 1);
}

TEST_F(ThreadState, SlotsHoldCopiesAndAnAbsentObjectEmptiesThem) {
    rg_XianChengZhuangTaiLei state;
    CWString job(u"job-1");
    state.StoreParameter(1, job);
    job = CWString(u"changed after storing");
    CWString target;
    state.LoadParameter(1, target);
    EXPECT_EQ(target, u"job-1");

    // The copies share the slots.
    rg_XianChengZhuangTaiLei copy(state);
    copy.StoreParameter(0, CWString(u"list box"));
    state.LoadParameter(0, target);
    EXPECT_EQ(target, u"list box");

    CWString absent;
    absent.setNullInstance(true);
    state.StoreParameter(1, absent);
    target = CWString(u"kept");
    state.LoadParameter(1, target);
    EXPECT_EQ(target, u"kept");

    // Out-of-range slots and mismatched targets change nothing.
    state.StoreParameter(3, CWString(u"ignored"));
    state.StoreParameter(-1, CWString(u"ignored"));
    state.LoadParameter(3, target);
    state.LoadParameter(-1, target);
    EXPECT_EQ(target, u"kept");
    rg_QueltShiChuang_JSONCaoZuo::rg_JSONDuiXiangLei notText;
    state.LoadParameter(0, notText);
    EXPECT_TRUE(notText.jsonValue().isNull());

    rg_QueltShiChuang_JSONCaoZuo::rg_JSONDuiXiangLei entry;
    ASSERT_TRUE(entry.ParseText(CWString(u"{\"name\":\"a.ec\"}")));
    state.StoreParameter(2, entry);
    state.LoadParameter(2, notText);
    EXPECT_TRUE(notText.equals(entry));
}

TEST_F(ThreadState, StoringReplacesAndFreesTheOldOccupantAtOnce) {
    rg_XianChengZhuangTaiLei state;
    {
        Tracked first;
        state.StoreParameter(2, first);
        EXPECT_EQ(Tracked::live.load(), 2);
    }
    EXPECT_EQ(Tracked::live.load(), 1);
    state.StoreParameter(2, Tracked());
    EXPECT_EQ(Tracked::live.load(), 1);
    Tracked absent;
    absent.setNullInstance(true);
    state.StoreParameter(2, absent);
    EXPECT_EQ(Tracked::live.load(), 1); // only `absent` itself
}

TEST_F(ThreadState, ReplacingSlotsWhileAJobRunsLeavesTheJobsCopies) {
    rg_XianChengZhuangTaiLei state;
    state.StoreParameter(0, CWString(u"first list"));
    state.StoreParameter(1, CWString(u"first job"));
    state.StartThread(&copyingJob);
    ASSERT_EQ(world->entered.wait(kPatience), platform::WaitResult::signalled);

    state.StoreParameter(0, CWString(u"second list"));
    state.StoreParameter(1, CWString(u"second job"));
    state.StartThread(&copyingJob); // dropped: a job runs
    world->gate.set();
    ASSERT_TRUE(state.waitUntilIdle(kPatience));
    EXPECT_EQ(world->seen0, u"first list");
    EXPECT_EQ(world->seen1, u"first job");

    // The replacements stay in the slots for the next start.
    CWString target;
    state.LoadParameter(1, target);
    EXPECT_EQ(target, u"second job");
}

TEST_F(ThreadState, ADroppedStartCannotSwapTheParametersOfAJobThatJustStarted) {
    rg_XianChengZhuangTaiLei state;
    state.StoreParameter(0, CWString(u"tab A rows"));
    state.StoreParameter(1, CWString(u"tab A job"));
    state.StartThread(&lateLoadingJob);
    // Another tab's update comes before the job has read its slots.
    state.StoreParameter(0, CWString(u"tab B rows"));
    state.StoreParameter(1, CWString(u"tab B job"));
    state.StartThread(&lateLoadingJob);
    world->gate.set();
    ASSERT_TRUE(state.waitUntilIdle(kPatience));
    EXPECT_EQ(world->seen0, u"tab A rows");
    EXPECT_EQ(world->seen1, u"tab A job");
}

TEST_F(ThreadState, TheJobFreesTheRecordWhenTheStarterLetGoFirst) {
    auto state = std::make_unique<rg_XianChengZhuangTaiLei>();
    state->StoreParameter(2, Tracked());
    state->StartThread(&blockingJob);
    ASSERT_EQ(world->entered.wait(kPatience), platform::WaitResult::signalled);
    state.reset();
    EXPECT_EQ(Tracked::live.load(), 2); // the record's object and the job's own copy live on
    world->gate.set();
    ASSERT_TRUE(eventually([] { return Tracked::live.load() == 0; }));
    EXPECT_EQ(Tracked::lastDestroyer.load(), world->jobThread.load());
}

TEST_F(ThreadState, TheStarterFreesTheRecordWhenTheJobLetGoFirst) {
    auto state = std::make_unique<rg_XianChengZhuangTaiLei>();
    state->StoreParameter(2, Tracked());
    world->gate.set();
    state->StartThread(&blockingJob);
    ASSERT_TRUE(state->waitUntilIdle(kPatience));
    CRefObject* record = state->record();
    ASSERT_TRUE(eventually([record] { return record->refCount() == 1; }));
    EXPECT_EQ(Tracked::live.load(), 1);
    state.reset();
    EXPECT_EQ(Tracked::live.load(), 0);
    EXPECT_EQ(Tracked::lastDestroyer.load(), platform::currentThreadId());
}

// Stores and loads from several threads at once, while a job loads too: the slot
// lock keeps every exchange whole (ThreadSanitizer watches this one).
void loadingJob(rg_XianChengZhuangTaiLei* state) {
    CWString target;
    for (int i = 0; i < 500; ++i)
        state->LoadParameter(i % 3, target);
    world->runs.fetch_add(1);
}

TEST_F(ThreadState, SlotsStayWholeUnderConcurrentUse) {
    rg_XianChengZhuangTaiLei state;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([shared = state, t]() mutable {
            CWString target;
            for (int i = 0; i < 500; ++i) {
                shared.StoreParameter((i + t) % 3, CWString::fromInteger(i));
                shared.LoadParameter((i + t + 1) % 3, target);
                if (!target.isEmpty() && target.toInteger() < 0)
                    ADD_FAILURE() << "torn slot";
            }
        });
    state.StartThread(&loadingJob);
    for (auto& thread : threads)
        thread.join();
    ASSERT_TRUE(state.waitUntilIdle(kPatience));
    EXPECT_EQ(world->runs.load(), 1);
}

} // namespace
