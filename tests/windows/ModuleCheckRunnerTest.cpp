// Checks off the calling thread against the loopback module server: the result
// comes back to the thread that asked, a busy kind refuses a second start, kinds
// queue one after another, and a stop during a slow request ends it soon.
#include "windows/ModuleCheckRunner.h"

#include "runtime/platform/NoticeReceiver.h"
#include "runtime/platform/SystemInfo.h"
#include "tests/support/ModuleServer.h"
#include "tests/support/TempFolder.h"
#include "updater/MemoryRowTable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using namespace rg_quelt_app;

namespace {

using Clock = std::chrono::steady_clock;

struct Delivery {
    ModuleKind kind;
    CheckResult result;
    std::uint64_t thread;
};

class ModuleCheckRunnerTest : public ::testing::Test {
protected:
    ModuleCheckRunnerTest()
        : runner(engine, [this](ModuleKind kind, const CheckResult& result) {
              delivered.push_back({kind, result, platform::currentThreadId()});
          }) {}
    ~ModuleCheckRunnerTest() override {
        runner.stop();
        windowsRows->release();
        serverRows->release();
    }

    static std::string tag() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

    rg_PeiZhiXinXiLei configured(const std::string& prefix) {
        rg_PeiZhiXinXiLei config;
        config.domain = CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/" + prefix);
        config.windowsFolder = CWString(folder.path().u16string());
        config.serverFolder = CWString(folder.path().u16string());
        return config;
    }

    // Services this thread's notices, as its message loop would, until `done`.
    static bool serviceUntil(const std::function<bool()>& done,
                             std::chrono::milliseconds limit = std::chrono::milliseconds(30000)) {
        const auto end = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() > end)
                return false;
            platform::serviceNotices(10);
        }
        return true;
    }

    mireth_test::ModuleServer server;
    mireth_test::TempFolder folder{"checks"};
    rg_MoKuaiGengXinYinQing engine;
    MemoryRowTable* windowsRows = MemoryRowTable::create();
    MemoryRowTable* serverRows = MemoryRowTable::create();
    std::vector<Delivery> delivered;
    ModuleCheckRunner runner;
};

TEST_F(ModuleCheckRunnerTest, TheCheckRunsElsewhereAndItsResultComesBackToTheThreadThatAsked) {
    // The server answers a second late: the start must not wait for it.
    const auto before = Clock::now();
    ASSERT_TRUE(runner.start(ModuleKind::Windows, *windowsRows, configured("_stallbefore/1/")));
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(500));
    EXPECT_TRUE(runner.busy(ModuleKind::Windows));
    EXPECT_FALSE(runner.busy(ModuleKind::Server));
    EXPECT_TRUE(runner.anyBusy());

    ASSERT_TRUE(serviceUntil([&] { return !delivered.empty(); }));
    ASSERT_EQ(delivered.size(), 1u);
    const Delivery& d = delivered[0];
    EXPECT_EQ(d.kind, ModuleKind::Windows);
    EXPECT_EQ(d.thread, platform::currentThreadId());
    EXPECT_EQ(d.result.outcome, CheckOutcome::Checked);
    // The rows were filled and marked before the result came.
    EXPECT_GE(d.result.rows, 9u);
    EXPECT_EQ(windowsRows->rowCount(), d.result.rows);
    EXPECT_EQ(d.result.marked, d.result.rows);
    EXPECT_EQ(windowsRows->getCellText(0, kColumnMode).view(), u"下载");
    EXPECT_FALSE(runner.anyBusy());
}

TEST_F(ModuleCheckRunnerTest, ABusyKindRefusesASecondStartAndKindsTakeTurns) {
    const rg_PeiZhiXinXiLei config = configured("_stallbefore/1/");
    ASSERT_TRUE(runner.start(ModuleKind::Windows, *windowsRows, config));
    EXPECT_FALSE(runner.start(ModuleKind::Windows, *windowsRows, config));
    ASSERT_TRUE(runner.start(ModuleKind::Server, *serverRows, config));
    EXPECT_TRUE(runner.busy(ModuleKind::Server));

    ASSERT_TRUE(serviceUntil([&] { return delivered.size() == 2; }));
    EXPECT_EQ(delivered[0].kind, ModuleKind::Windows);
    EXPECT_EQ(delivered[1].kind, ModuleKind::Server);
    EXPECT_EQ(delivered[1].result.outcome, CheckOutcome::Checked);
    EXPECT_EQ(serverRows->rowCount(), delivered[1].result.rows);
    EXPECT_FALSE(runner.anyBusy());

    // One request per kind, the second only once the first was answered.
    const auto requests = server.recordedRequests(tag());
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[0].path.find("api/w/list"), std::string::npos);
    EXPECT_NE(requests[1].path.find("api/s/list"), std::string::npos);
    EXPECT_GE(requests[1].arrived, requests[0].answered);

    // Free again: a new start is taken.
    EXPECT_TRUE(runner.start(ModuleKind::Windows, *windowsRows, config));
}

TEST_F(ModuleCheckRunnerTest, AFailedRequestComesBackWithItsReason) {
    struct Case {
        const char* what;
        std::string domain;
        ReasonKind reason;
    };
    const Case cases[] = {
        {"refused connection", "http://127.0.0.1:1/", ReasonKind::ConnectFailed},
        {"an answer that is not a list", server.httpBase() + "_tag/" + tag() + "/_nonjson/",
         ReasonKind::ListNotJson},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        delivered.clear();
        rg_PeiZhiXinXiLei config = configured("");
        config.domain = CWString::fromUtf8(c.domain);
        ASSERT_TRUE(runner.start(ModuleKind::Windows, *windowsRows, config));
        ASSERT_TRUE(serviceUntil([&] { return !delivered.empty(); }));
        EXPECT_EQ(delivered[0].result.outcome, CheckOutcome::Failed);
        EXPECT_EQ(delivered[0].result.list.reason.kind, c.reason);
        EXPECT_EQ(windowsRows->rowCount(), 0u);
    }
}

TEST_F(ModuleCheckRunnerTest, AStopDuringASlowRequestEndsItSoonAndHandsNothingOver) {
    const rg_PeiZhiXinXiLei config = configured("_stallbefore/20/");
    ASSERT_TRUE(runner.start(ModuleKind::Windows, *windowsRows, config));
    ASSERT_TRUE(runner.start(ModuleKind::Server, *serverRows, config));
    // Well into the request.
    serviceUntil([] { return false; }, std::chrono::milliseconds(300));

    const auto before = Clock::now();
    runner.stop();
    const auto took = Clock::now() - before;
    // The request ends at its next progress notice, at most about a second away.
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_TRUE(engine.listRequestsAbandoned());
    serviceUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_TRUE(delivered.empty());
    // The queued check never went, and nothing starts any more.
    EXPECT_EQ(server.recordedRequests(tag()).size(), 1u);
    EXPECT_FALSE(runner.start(ModuleKind::Android, *windowsRows, config));
    EXPECT_FALSE(runner.busy(ModuleKind::Android));
}

} // namespace
