// The engine's one job at a time: updates asked for while a job runs wait for
// their turn, a stop ends the running job, and the engine goes only once its
// worker has ended.
#include "EngineFixture.h"
#include "updater/ModuleListRules.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using namespace rg_quelt_app;
using namespace updater_test;
using namespace std::chrono_literals;

class EngineQueueTest : public EngineFixture {
protected:
    // The engine's thread as the window's loop runs it: notices, and the next
    // queued job once the one before has ended.
    bool runQueue(std::chrono::seconds limit = 120s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (engine.isDownloading() || engine.queuedCount() > 0) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            platform::serviceNotices(10);
            engine.startQueued();
        }
        return true;
    }

    UpdateOutcome ask(ModuleKind kind, Rows& rows, bool force, const rg_PeiZhiXinXiLei& settings,
                      RefPtr<JobTracker>& follower) {
        follower = RefPtr<JobTracker>::adopt(JobTracker::create(*rows));
        return updateModules(engine, kind, *rows, force, settings, *follower).outcome;
    }

    // The download requests of the kind, in arrival order.
    std::vector<mireth_test::RecordedRequest> downloadsOf(char letter) {
        std::vector<mireth_test::RecordedRequest> found;
        for (const auto& request : server.recordedRequests(tag()))
            if (request.formField("type") == std::string(1, letter) && request.formField("file") != "")
                found.push_back(request);
        return found;
    }

    rg_PeiZhiXinXiLei slowConfig() {
        // 300000 bytes at 100000 per second: three seconds for big.bin.
        rg_PeiZhiXinXiLei slow = config;
        slow.domain = CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/_slow/100000/");
        return slow;
    }
};

TEST_F(EngineQueueTest, UpdatesAskedForWhileAJobRunsWaitAndRunInTurnWithTheRowsAsTheyAreThen) {
    // Android's lib1.ext is here and newer: only the forced update fetches it.
    writeFile(android.path() / "android" / "lib1.ext", "newer");
    ASSERT_TRUE(setLocalMtime(android.path() / "android" / "lib1.ext", 2025, 1, 1, 0, 0, 0));
    Rows windowsRows, androidRows, serverRows;
    for (auto [kind, rows] : {std::pair{ModuleKind::Windows, &windowsRows},
                              {ModuleKind::Android, &androidRows},
                              {ModuleKind::Server, &serverRows}})
        ASSERT_EQ(checkModules(engine, kind, **rows, config).outcome, CheckOutcome::Checked);
    ASSERT_EQ(mode(androidRows, u"lib1.ext"), u"");

    RefPtr<JobTracker> windowsJob, androidJob, serverJob, again;
    ASSERT_EQ(ask(ModuleKind::Windows, windowsRows, false, slowConfig(), windowsJob), UpdateOutcome::Started);
    EXPECT_EQ(ask(ModuleKind::Android, androidRows, true, config, androidJob), UpdateOutcome::Queued);
    EXPECT_EQ(ask(ModuleKind::Server, serverRows, false, config, serverJob), UpdateOutcome::Queued);
    // One wait per kind.
    EXPECT_EQ(ask(ModuleKind::Android, androidRows, true, config, again), UpdateOutcome::Busy);
    EXPECT_EQ(engine.queuedCount(), 2u);
    EXPECT_TRUE(engine.isQueued(static_cast<std::uint32_t>(ModuleKind::Android)));
    // Nothing of a waiting job is made yet: the forced marking waits with it.
    EXPECT_EQ(mode(androidRows, u"lib1.ext"), u"");
    EXPECT_FALSE(androidJob->figures().started);

    ASSERT_TRUE(runQueue());
    EXPECT_FALSE(again->figures().started);
    for (const RefPtr<JobTracker>& job : {windowsJob, androidJob, serverJob}) {
        EXPECT_TRUE(job->figures().finished);
        EXPECT_FALSE(job->figures().stopped);
    }
    EXPECT_EQ(androidJob->figures().files, androidRows->rowCount());
    for (std::size_t i = 0; i < androidRows->rowCount(); ++i)
        EXPECT_EQ(androidRows.cell(i, kColumnMode), u"成功") << i;
    EXPECT_EQ(readFile(android.path() / "android" / "lib1.ext"), "android module\n");
    EXPECT_EQ(mode(serverRows, u"svc.ext"), u"成功");

    // In the order asked, each after the one before had ended. The slow server
    // records an answer's end after one more pause of its trickle (a tenth of a
    // second), when the client has all of it already.
    const auto w = downloadsOf('w'), a = downloadsOf('a'), s = downloadsOf('s');
    ASSERT_FALSE(w.empty());
    ASSERT_EQ(a.size(), 2u);
    ASSERT_EQ(s.size(), 1u);
    for (const auto& request : w)
        EXPECT_LE(request.answered - 0.15, a.front().arrived);
    for (const auto& request : a)
        EXPECT_LE(request.answered, s.front().arrived);
}

TEST_F(EngineQueueTest, AStopEndsTheJobKeepingWhatWasSavedAndACancelledWaitStartsNothing) {
    writeFile(windows.path() / "big.bin", "the old module");
    ASSERT_TRUE(setLocalMtime(windows.path() / "big.bin", 2020, 1, 1, 0, 0, 0));
    Rows windowsRows, serverRows;
    checkModules(engine, ModuleKind::Windows, *windowsRows, config);
    checkModules(engine, ModuleKind::Server, *serverRows, config);
    RefPtr<JobTracker> windowsJob, serverJob;
    ASSERT_EQ(ask(ModuleKind::Windows, windowsRows, false, slowConfig(), windowsJob), UpdateOutcome::Started);
    ASSERT_EQ(ask(ModuleKind::Server, serverRows, false, config, serverJob), UpdateOutcome::Queued);
    EXPECT_TRUE(engine.cancelQueued(static_cast<std::uint32_t>(ModuleKind::Server)));
    EXPECT_FALSE(engine.cancelQueued(static_cast<std::uint32_t>(ModuleKind::Server)));

    // Stopped while big.bin is on its way and a.ext is in place.
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (
        (mode(windowsRows, u"a.ext") != u"成功" || mode(windowsRows, u"big.bin").rfind(u"下载中", 0) != 0) &&
        std::chrono::steady_clock::now() < end)
        platform::serviceNotices(10);
    ASSERT_EQ(mode(windowsRows, u"a.ext"), u"成功");
    ASSERT_EQ(mode(windowsRows, u"big.bin").rfind(u"下载中", 0), 0u) << "big.bin ended before the stop";
    const auto stopped = std::chrono::steady_clock::now();
    engine.requestStop();
    ASSERT_TRUE(runQueue(10s));
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 2s);

    const JobTracker::Figures figures = windowsJob->figures();
    EXPECT_TRUE(figures.stopped);
    EXPECT_LT(figures.done(), figures.files);
    EXPECT_EQ(mode(windowsRows, u"a.ext"), u"成功");
    EXPECT_EQ(mode(windowsRows, u"big.bin"), u"下载");
    EXPECT_EQ(readFile(windows.path() / "big.bin"), "the old module");
    for (const auto& entry : fs::recursive_directory_iterator(windows.path()))
        EXPECT_EQ(entry.path().filename().u16string().find(u".part"), std::u16string::npos)
            << entry.path().string();
    EXPECT_FALSE(serverJob->figures().started);
    EXPECT_EQ(mode(serverRows, u"svc.ext"), u"下载");
    EXPECT_TRUE(downloadsOf('s').empty());
}

// What the engine told a task's observer, and where and when the task ran.
class TaskFollower final : public DownloadObserver {
public:
    void jobStarting(const rg_XiaZaiShuJu&) override { started = true; }
    void fileProgress(const rg_LianJieYuSuoYinLei&, std::int64_t, std::int64_t) override {
        fileEvents = true;
    }
    void fileDone(const rg_LianJieYuSuoYinLei&, const FileResult&) override { fileEvents = true; }
    // Told once the task has returned, and not as stopped.
    void jobDone(bool stopped) override { done = !stopped && taskEnded > 0; }

    std::atomic<bool> started{false}, done{false}, fileEvents{false}, onWorker{false};
    std::atomic<double> taskStarted{0}, taskEnded{0};
};

// The server's clock: seconds since the epoch.
double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

TEST_F(EngineQueueTest, ATaskRunsOnTheWorkerInItsTurnAndNoDownloadStartsWhileItRuns) {
    using Outcome = rg_MoKuaiGengXinYinQing::RequestOutcome;
    struct Case {
        const char* name;
        bool updateBefore; // a slow forced Windows update runs when the task is asked for
        bool updateAfter;  // a Server update is asked for after the task
        bool prepareSays;  // what the task's prepare answers
        Outcome asked;
    };
    const Case cases[] = {
        {"alone", false, false, true, Outcome::Started},
        {"between two updates", true, true, true, Outcome::Queued},
        {"dropped by its prepare", true, true, false, Outcome::Queued},
    };
    const std::thread::id mainThread = std::this_thread::get_id();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double caseStart = wallSeconds();
        Rows windowsRows, serverRows;
        ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *windowsRows, config).outcome,
                  CheckOutcome::Checked);
        ASSERT_EQ(checkModules(engine, ModuleKind::Server, *serverRows, config).outcome,
                  CheckOutcome::Checked);
        RefPtr<JobTracker> windowsJob, serverJob;
        if (c.updateBefore) {
            ASSERT_EQ(ask(ModuleKind::Windows, windowsRows, true, slowConfig(), windowsJob),
                      UpdateOutcome::Started);
        }

        const auto follower = RefPtr<TaskFollower>::adopt(new TaskFollower);
        rg_MoKuaiGengXinYinQing::DownloadRequest request;
        request.owner = 77;
        request.observer = RefPtr<DownloadObserver>(follower.get());
        request.prepare = [&c](rg_XiaZaiShuJu&) { return c.prepareSays; };
        TaskFollower* f = follower.get();
        request.task = [f, mainThread] {
            f->onWorker = std::this_thread::get_id() != mainThread;
            f->taskStarted = wallSeconds();
            // Long enough for a download that would start beside it to show.
            std::this_thread::sleep_for(700ms);
            f->taskEnded = wallSeconds();
        };
        rg_MoKuaiGengXinYinQing::DownloadRequest again = request;
        EXPECT_EQ(engine.requestDownload(std::move(request)), c.asked);
        // One wait per owner.
        if (c.asked == Outcome::Queued) {
            EXPECT_EQ(engine.requestDownload(std::move(again)), Outcome::Refused);
        }
        if (c.updateAfter) {
            EXPECT_EQ(ask(ModuleKind::Server, serverRows, true, config, serverJob), UpdateOutcome::Queued);
        }
        ASSERT_TRUE(runQueue());

        const bool ran = c.prepareSays;
        EXPECT_EQ(follower->started.load(), ran);
        EXPECT_EQ(follower->done.load(), ran);
        EXPECT_EQ(follower->taskStarted > 0, ran);
        EXPECT_EQ(follower->onWorker.load(), ran);
        EXPECT_FALSE(follower->fileEvents);
        // The Windows job's answers ended before the task began (see above for the
        // slow server's tenth of a second), and the Server job began after it.
        for (const auto& request : downloadsOf('w')) {
            if (request.arrived >= caseStart && ran) {
                EXPECT_LE(request.answered - 0.15, follower->taskStarted);
            }
        }
        if (c.updateAfter) {
            EXPECT_TRUE(serverJob->figures().finished);
            EXPECT_EQ(mode(serverRows, u"svc.ext"), u"成功");
            for (const auto& request : downloadsOf('s')) {
                if (request.arrived >= caseStart && ran) {
                    EXPECT_GE(request.arrived, follower->taskEnded);
                }
            }
        }
    }
}

// Holds the worker in its last step for longer than any fixed wait would.
class SlowToEndObserver final : public DownloadObserver {
public:
    void fileProgress(const rg_LianJieYuSuoYinLei&, std::int64_t, std::int64_t) override {}
    void fileDone(const rg_LianJieYuSuoYinLei&, const FileResult&) override {}
    void jobDone(bool) override {
        std::this_thread::sleep_for(4s);
        ended = true;
    }
    std::atomic<bool> ended{false};
};

TEST(EngineEndTest, TheEngineGoesOnlyOnceItsWorkerHasEnded) {
    const auto observer = RefPtr<SlowToEndObserver>::adopt(new SlowToEndObserver);
    auto engine = std::make_unique<rg_MoKuaiGengXinYinQing>();
    ASSERT_TRUE(engine->StartDownload(rg_XiaZaiShuJu(), *observer));
    engine.reset();
    EXPECT_TRUE(observer->ended);
}

} // namespace
