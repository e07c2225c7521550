// Downloads from a distant and imperfect server: several files at once over kept
// connections, transient failures tried again, the listed size and update time
// kept, a stop that ends every transfer at once, and the leftovers of a killed run.
#include "updater/DownloadJobRunner.h"
#include "EngineFixture.h"
#include "runtime/platform/FileSystem.h"
#include "updater/DateTimeValue.h"
#include "updater/ModuleListRules.h"
#include "updater/TemporaryFiles.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <set>
#include <thread>

#if defined(_WIN32)
#include <share.h>
#include <windows.h>
#endif

namespace {

using namespace rg_quelt_app;
using namespace updater_test;
using mireth_test::RecordedRequest;

constexpr std::size_t kSampleFiles = 9; // the Windows kind of the sample tree

class DownloadJobTest : public EngineFixture {
protected:
    std::string base() const { return server.httpBase() + "_tag/" + tag() + "/"; }

    void useSettings(int parallel, int retries = TransferSettings::kDefaultRetries) {
        TransferSettings settings;
        settings.parallelDownloads = parallel;
        settings.retries = retries;
        engine.setTransferSettings(settings);
    }

    // Checks against the real list, then downloads every file through `prefix`.
    void updateAllThrough(const std::string& prefix, Rows& rows) {
        ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).rows, kSampleFiles);
        rg_PeiZhiXinXiLei through = config;
        through.domain = CWString::fromUtf8(base() + prefix);
        server.clearRequests(tag());
        ASSERT_EQ(update(ModuleKind::Windows, rows, true, through).outcome, UpdateOutcome::Started);
        ASSERT_TRUE(waitForWorker(std::chrono::seconds(120)));
    }

    // Leaves only the row of `name` marked.
    static void markOnly(Rows& rows, const std::u16string& name) {
        for (std::size_t i = 0; i < rows->rowCount(); ++i)
            rows->setCellText(i, kColumnMode, CWString(rows.cell(i, kColumnName) == name ? u"下载" : u""));
    }

    std::vector<RecordedRequest> downloads() const {
        std::vector<RecordedRequest> found;
        for (RecordedRequest& request : server.recordedRequests(tag())) {
            if (request.path.find("download") != std::string::npos)
                found.push_back(std::move(request));
        }
        return found;
    }

    std::map<std::string, std::vector<RecordedRequest>> downloadsByFile() const {
        std::map<std::string, std::vector<RecordedRequest>> byFile;
        for (RecordedRequest& request : downloads())
            byFile[request.formField("file")].push_back(std::move(request));
        return byFile;
    }

    void expectNoTemporaryFile() {
        for (const auto& entry : fs::recursive_directory_iterator(windows.path()))
            EXPECT_FALSE(isTemporaryName(entry.path().filename().u16string())) << entry.path().string();
    }

    // A list answer with one entry per (path, size, update time), for the `_body/` prefix.
    static std::string listOf(const std::vector<std::tuple<std::string, long long, std::string>>& entries) {
        std::string json = "{\"code\":200,\"data\":[";
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const auto& [path, size, time] = entries[i];
            const std::string name = path.substr(path.find_last_of('/') + 1);
            json += (i ? "," : "") + std::string("{\"name\":\"") + name + "\",\"path\":\"" + path +
                    "\",\"size\":" + std::to_string(size) + ",\"updateTime\":\"" + time + "\"}";
        }
        return json + "]}";
    }

    // The domain answers every list request with `list`.
    void serveList(const std::string& list) {
        config.domain =
            CWString::fromUtf8(base() + "_body/" + mireth_test::ModuleServer::percentEncoded(list) + "/");
    }

    // Lists `path` alone, at `size` and newer than any local file, checks it and
    // downloads it through `prefix`.
    void updateOneThrough(const std::string& path, long long size, const std::string& prefix, Rows& rows) {
        serveList(listOf({{path, size, "2099-01-01 00:00:00"}}));
        ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).marked, 1u);
        rg_PeiZhiXinXiLei through = config;
        through.domain = CWString::fromUtf8(base() + prefix);
        server.clearRequests(tag());
        update(ModuleKind::Windows, rows, false, through);
        ASSERT_TRUE(waitForWorker());
    }

    // Checks `list` (served by the domain itself), then updates from the real tree.
    CheckResult checkThenUpdate(const std::string& list, Rows& rows) {
        serveList(list);
        const CheckResult checked = checkModules(engine, ModuleKind::Windows, *rows, config);
        config.domain = CWString::fromUtf8(base());
        update(ModuleKind::Windows, rows, false, config);
        EXPECT_TRUE(waitForWorker());
        return checked;
    }
};

TEST_F(DownloadJobTest, FilesGoAsManyAtOnceAsSetOverKeptConnections) {
    for (const int parallel : {1, 4}) {
        SCOPED_TRACE(parallel);
        TempFolder folder{"parallel"};
        config.windowsFolder = textOf(folder.path());
        useSettings(parallel);
        Rows rows;
        // Every answer 150 ms late, as from a server far away.
        updateAllThrough("_stallbefore/0.15/", rows);
        const auto requests = downloads();
        ASSERT_EQ(requests.size(), kSampleFiles);
        EXPECT_EQ(mireth_test::mostAtOnce(requests), static_cast<std::size_t>(parallel));
        std::set<int> connections;
        for (const RecordedRequest& request : requests)
            connections.insert(request.clientPort);
        EXPECT_LE(connections.size(), static_cast<std::size_t>(parallel));

        for (std::size_t i = 0; i < rows->rowCount(); ++i) {
            const std::u16string name = rows.cell(i, kColumnName);
            EXPECT_EQ(rows.cell(i, kColumnMode), u"成功") << i;
            // One at a time keeps list order.
            if (parallel == 1) {
                EXPECT_EQ(CWString::fromUtf8(requests[i].formField("file")).view(), name) << i;
            }
        }
        EXPECT_EQ(readFile(folder.path() / "big.bin"), sampleContent(300000, 3));
        EXPECT_EQ(tracker->figures().succeeded, kSampleFiles);
        // Listed as empty, saved as empty.
        EXPECT_TRUE(fs::exists(folder.path() / "empty.ext"));
        EXPECT_EQ(fs::file_size(folder.path() / "empty.ext"), 0u);
    }
}

// The summary's bytes: those of the files saved, neither redirect nor error pages.
std::int64_t savedBytes(const fs::path& folder) {
    std::int64_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        bytes += entry.is_regular_file() ? static_cast<std::int64_t>(entry.file_size()) : 0;
    return bytes;
}

TEST_F(DownloadJobTest, ATransientFailureIsTriedAgainAndEndsInSuccess) {
    // A redirect to the download itself, with a page longer than most files.
    const auto redirect = [&](int status, int page) {
        return "_status/" + std::to_string(status) + "/_pad/" + std::to_string(page) + "/_location/" +
               mireth_test::ModuleServer::percentEncoded(base() + "download") + "/";
    };
    const struct {
        std::string prefix;
        double leastGap; // seconds between an answer and the next attempt
    } cases[] = {
        // Retry waits are spread from 0 up to the backoff; the server's wish is kept.
        {"_once/_status/503/_pad/4000/", 0.0}, // an error page longer than most files
        {"_once/_reset/10/", 0.0},
        {"_once/_cut/10/", 0.0},
        {"_once/_status/429/_retryafter/1/", 0.95},
        {redirect(307, 4000), -1}, // small files behind a long redirect page
        {redirect(308, 30000), -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        TempFolder folder{"transient"};
        config.windowsFolder = textOf(folder.path());
        Rows rows;
        updateAllThrough(c.prefix, rows);
        for (const auto& [file, requests] : downloadsByFile()) {
            if (file == "empty.ext" || c.leastGap < 0)
                continue; // nothing to cut or reset
            ASSERT_EQ(requests.size(), 2u) << file;
            EXPECT_GE(requests[1].arrived - requests[0].answered, c.leastGap) << file;
            // A 429 or 503 also slows the job down; the others wait their jitter alone.
            if (c.prefix.find("_status/") == std::string::npos) {
                EXPECT_LT(requests[1].arrived - requests[0].answered, c.leastGap + 1.0) << file;
            }
        }
        for (std::size_t i = 0; i < rows->rowCount(); ++i)
            EXPECT_EQ(rows.cell(i, kColumnMode), u"成功") << i;
        EXPECT_EQ(tracker->figures().bytesDone, savedBytes(folder.path()));
        EXPECT_EQ(readFile(folder.path() / "lib" / "a.ext"), sampleContent(1024, 1));
        EXPECT_EQ(readFile(folder.path() / "big.bin"), sampleContent(300000, 3));
        expectNoTemporaryFile();
    }
}

TEST_F(DownloadJobTest, OtherFailuresAreAskedForOnceAndKeepTheOldFile) {
    const struct {
        const char* prefix;
        int retries;
        std::size_t requests;
        std::u16string_view reason;
    } cases[] = {
        {"_status/503/_pad/3000/", 2, 3, u"服务器返回 HTTP 503（共尝试 3 次）"},
        {"_pad/3000/nowhere/", 2, 1, u"服务器返回 HTTP 404：no such service"},
        {"_status/503/", 0, 1, u"服务器返回 HTTP 503"},
        {"_status/503/_retryafter/61/", 2, 1, u"服务器返回 HTTP 503，服务器要求等待 61 秒"},
    };
    writeFile(windows.path() / "lib" / "a.ext", "the old module");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        useSettings(4, c.retries);
        Rows rows;
        ASSERT_GT(checkModules(engine, ModuleKind::Windows, *rows, config).rows, 0u);
        markOnly(rows, u"a.ext");
        rg_PeiZhiXinXiLei failing = config;
        failing.domain = CWString::fromUtf8(base() + c.prefix);
        server.clearRequests(tag());
        update(ModuleKind::Windows, rows, false, failing);
        ASSERT_TRUE(waitForWorker());
        EXPECT_EQ(downloads().size(), c.requests);
        EXPECT_EQ(mode(rows, u"a.ext"), u"下载失败");
        const auto failures = tracker->failures();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(reasonText(failures[0].result).view(), c.reason);
        EXPECT_EQ(failures[0].result.attempts, static_cast<int>(c.requests));
        EXPECT_EQ(failures[0].result.bytes, 0);
        EXPECT_EQ(readFile(windows.path() / "lib" / "a.ext"), "the old module");
        expectNoTemporaryFile();
    }
}

TEST_F(DownloadJobTest, AnAnswerOfAnotherLengthThanListedIsNoModule) {
    const struct {
        long long listed;
        const char* prefix; // of the download
        const char16_t* mode;
        std::u16string_view reason;
    } cases[] = {
        {2000, "", u"下载失败", u"文件长度与列表不符（列表 2000 字节，收到 1024 字节）"},
        {500, "", u"下载失败", u"文件长度超过列表所给的 500 字节"},
        {500, "_nolength/", u"下载失败", u"文件长度超过列表所给的 500 字节"},
        {1024, "_nolength/", u"成功", u""},
        {0, "", u"下载失败", u"文件长度超过列表所给的 0 字节"},
        {-1, "", u"成功", u""}, // unknown: any length up to 2 GiB
        {-1, "_nolength/", u"成功", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listed);
        SCOPED_TRACE(c.prefix);
        writeFile(windows.path() / "lib" / "a.ext", "the old module");
        Rows rows;
        updateOneThrough("lib/a.ext", c.listed, c.prefix, rows);
        EXPECT_EQ(rows.cell(0, kColumnMode), c.mode);
        const auto failures = tracker->failures();
        EXPECT_EQ(failures.empty() ? std::u16string() : std::u16string(reasonText(failures[0].result).view()),
                  c.reason);
        EXPECT_EQ(readFile(windows.path() / "lib" / "a.ext"),
                  c.reason.empty() ? sampleContent(1024, 1) : std::string("the old module"));
        expectNoTemporaryFile();
    }
}

TEST_F(DownloadJobTest, ADownloadedFileTakesTheListsTimeSoTheNextCheckMarksNothing) {
    // The server's clock runs three hours ahead of this one.
    const std::time_t ahead = std::time(nullptr) + 3 * 3600;
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &ahead);
#else
    localtime_r(&ahead, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    const std::string list = listOf({{"lib/a.ext", 1024, stamp}, {"root.ext", 19, "not a time"}});
    Rows rows;
    const CheckResult first = checkThenUpdate(list, rows);
    ASSERT_EQ(first.marked, 2u);
    EXPECT_EQ(mode(rows, u"a.ext"), u"成功");
    EXPECT_EQ(mode(rows, u"root.ext"), u"成功");
    double kept = 0;
    ASSERT_TRUE(localFileDateTime(textOf(windows.path() / "lib" / "a.ext"), kept));
    EXPECT_EQ(kept, parseYearFirstDateTime(CWString::fromUtf8(stamp).view()).value());

    // Checked again: a.ext is as new as the list says; root.ext, whose time does not
    // parse, compares as the earliest time and is not marked either.
    serveList(list);
    const CheckResult again = checkModules(engine, ModuleKind::Windows, *rows, config);
    EXPECT_EQ(again.rows, 2u);
    EXPECT_EQ(again.marked, 0u);
}

TEST_F(DownloadJobTest, AnUpdateOfAKindWithoutFolderIsRefused) {
    Rows rows;
    ASSERT_GT(checkModules(engine, ModuleKind::Windows, *rows, config).marked, 0u);
    // Emptied and saved after the check: every file would resolve to the root.
    config.windowsFolder = CWString();
    server.clearRequests(tag());
    EXPECT_EQ(update(ModuleKind::Windows, rows, false, config).outcome, UpdateOutcome::NotConfigured);
    EXPECT_FALSE(engine.isDownloading());
    EXPECT_TRUE(downloads().empty());
    EXPECT_EQ(mode(rows, u"a.ext"), u"下载");
}

TEST_F(DownloadJobTest, AStopEndsEverySilentTransferWithinASecond) {
    for (const bool destroyEngine : {false, true}) {
        SCOPED_TRACE(destroyEngine ? "the engine goes" : "the rows are abandoned");
        writeFile(windows.path() / "big.bin", "the old module");
        ASSERT_TRUE(setLocalMtime(windows.path() / "big.bin", 2020, 1, 1, 0, 0, 0));
        auto ownEngine = std::make_unique<rg_MoKuaiGengXinYinQing>();
        Rows rows;
        ASSERT_GT(checkModules(*ownEngine, ModuleKind::Windows, *rows, config).marked, 0u);
        rg_PeiZhiXinXiLei silent = config;
        // The server takes the requests and then says nothing for half a minute.
        silent.domain = CWString::fromUtf8(base() + "_stallbefore/30/");
        server.clearRequests(tag());
        const auto observer = RefPtr<JobTracker>::adopt(JobTracker::create(*rows));
        ASSERT_EQ(updateModules(*ownEngine, ModuleKind::Windows, *rows, false, silent, *observer).outcome,
                  UpdateOutcome::Started);
        const auto asked = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (downloads().size() < static_cast<std::size_t>(TransferSettings::kDefaultParallel) &&
               std::chrono::steady_clock::now() < asked)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_EQ(downloads().size(), static_cast<std::size_t>(TransferSettings::kDefaultParallel));

        const auto stopped = std::chrono::steady_clock::now();
        if (destroyEngine) {
            ownEngine.reset();
        } else {
            rows->abandon();
            while (ownEngine->isDownloading() &&
                   std::chrono::steady_clock::now() - stopped < std::chrono::seconds(5))
                platform::serviceNotices(10);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(1));
        EXPECT_TRUE(!ownEngine || !ownEngine->isDownloading());
        EXPECT_TRUE(observer->figures().stopped);
        EXPECT_EQ(readFile(windows.path() / "big.bin"), "the old module");
        expectNoTemporaryFile();
        EXPECT_EQ(downloads().size(), static_cast<std::size_t>(TransferSettings::kDefaultParallel));
    }
}

// Passes everything on to a tracker, and asks to stop once `stopAt` files have started.
class StoppingObserver final : public DownloadObserver {
public:
    StoppingObserver(JobTracker& tracker, int stopAt) : tracker_(tracker), stopAt_(stopAt) {}
    void fileStarted(const rg_LianJieYuSuoYinLei& link) override {
        tracker_.fileStarted(link);
        if (++started_ >= stopAt_)
            stop_ = true;
    }
    void fileProgress(const rg_LianJieYuSuoYinLei& link, std::int64_t received, std::int64_t total) override {
        tracker_.fileProgress(link, received, total);
    }
    void fileDone(const rg_LianJieYuSuoYinLei& link, const FileResult& result) override {
        tracker_.fileDone(link, result);
    }
    void jobDone(bool stopped) override { tracker_.jobDone(stopped); }
    bool stopRequested() const override { return stop_; }

private:
    JobTracker& tracker_;
    const int stopAt_;
    std::atomic<int> started_{0};
    std::atomic<bool> stop_{false};
};

TEST_F(DownloadJobTest, AFileCompleteBeforeAStopIsPlacedAndItsRowSaysSo) {
    // One at a time: the files before the third are complete and with the finisher
    // (or failed) when the third starts and the stop comes.
    useSettings(1);
    Rows rows;
    ASSERT_GT(checkModules(engine, ModuleKind::Windows, *rows, config).marked, 3u);
    tracker = RefPtr<JobTracker>::adopt(JobTracker::create(*rows));
    const auto observer = RefPtr<StoppingObserver>::adopt(new StoppingObserver(*tracker, 3));
    ASSERT_EQ(updateModules(engine, ModuleKind::Windows, *rows, false, config, *observer).outcome,
              UpdateOutcome::Started);
    ASSERT_TRUE(waitForWorker());
    EXPECT_TRUE(tracker->figures().stopped);
    std::size_t placed = 0;
    for (const auto& entry : fs::recursive_directory_iterator(windows.path()))
        placed += entry.is_regular_file();
    std::size_t done = 0;
    for (std::size_t i = 0; i < rows->rowCount(); ++i)
        done += rows.cell(i, kColumnMode) == u"成功";
    EXPECT_GE(placed, 1u);
    EXPECT_EQ(done, placed);
    EXPECT_EQ(tracker->figures().succeeded, placed);
    expectNoTemporaryFile();
}

TEST_F(DownloadJobTest, LeftoversOfAKilledRunGoWhenTheNextJobStarts) {
    const fs::path lib = windows.path() / "lib";
    const std::vector<std::string> leftovers = {"a.ext.~0123456789abcdef.part", "old.ext.~4711-3.part"};
    const std::vector<std::string> kept = {"a.ext.~not-ours.part", "notes.txt",
                                           "a.ext.~0123456789abcdeg.part"};
    for (const auto& name : leftovers)
        writeFile(lib / name, "left behind");
    for (const auto& name : kept)
        writeFile(lib / name, "not a leftover");
    // One that another running program is still writing.
    platform::OutputFile held;
    ASSERT_TRUE(held.createNew(textOf(lib / "b.ext.~fedcba9876543210.part").view()));

    Rows rows;
    ASSERT_GT(checkModules(engine, ModuleKind::Windows, *rows, config).rows, 0u);
    markOnly(rows, u"a.ext");
    update(ModuleKind::Windows, rows, false, config);
    ASSERT_TRUE(waitForWorker());
    EXPECT_EQ(mode(rows, u"a.ext"), u"成功");
    for (const auto& name : leftovers)
        EXPECT_FALSE(fs::exists(lib / name)) << name;
    for (const auto& name : kept)
        EXPECT_TRUE(fs::exists(lib / name)) << name;
    EXPECT_TRUE(fs::exists(lib / "b.ext.~fedcba9876543210.part"));
    held.close();
}

TEST_F(DownloadJobTest, AModuleOfATwoHundredFiftyCharacterNameIsSaved) {
    // The temporary name beside it would pass the limit of 255 if it kept the whole name.
    const std::string name = std::string(246, 'n') + ".ext";
    const std::string list = listOf({{"lib/" + name, 19, "2024-01-31 08:05:00"}});
    serveList(list);
    Rows rows;
    ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).marked, 1u);
    config.domain = CWString::fromUtf8(base() + "_bytes/19/");
    ASSERT_EQ(update(ModuleKind::Windows, rows, false, config).outcome, UpdateOutcome::Started);
    ASSERT_TRUE(waitForWorker());
    EXPECT_EQ(mode(rows, std::u16string(CWString::fromUtf8(name).view())), u"成功");
    EXPECT_EQ(fs::file_size(windows.path() / "lib" / name), 19u);
    expectNoTemporaryFile();
}

TEST_F(DownloadJobTest, AStalledTransferEndsAtTheStallLimit) {
    TransferSettings settings;
    settings.stallSeconds = 2; // instead of a minute
    settings.retries = 0;
    engine.setTransferSettings(settings);
    writeFile(windows.path() / "lib" / "a.ext", "the old module");
    Rows rows;
    ASSERT_GT(checkModules(engine, ModuleKind::Windows, *rows, config).rows, 0u);
    markOnly(rows, u"a.ext");
    rg_PeiZhiXinXiLei trickling = config;
    trickling.domain = CWString::fromUtf8(base() + "_slow/1/"); // one byte a second
    const auto started = std::chrono::steady_clock::now();
    update(ModuleKind::Windows, rows, false, trickling);
    ASSERT_TRUE(waitForWorker());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(mode(rows, u"a.ext"), u"下载失败");
    const auto failures = tracker->failures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].result.transferError, CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(readFile(windows.path() / "lib" / "a.ext"), "the old module");
    expectNoTemporaryFile();
}

TEST_F(DownloadJobTest, RefusedPeersAndRedirectsAreFailuresWithTheirReason) {
    const std::string http = server.httpBase();
    const std::string https = server.httpsBase();
    ASSERT_FALSE(https.empty());
    const std::string elsewhere = "http://localhost:" + http.substr(http.rfind(':') + 1) + "/download";
    const struct {
        std::string domain; // of the download
        std::u16string reason;
    } cases[] = {
        {base() + "_status/307/_location/" + mireth_test::ModuleServer::percentEncoded(elsewhere) + "/",
         u"不跟随 HTTP 307 转向 " + std::u16string(CWString::fromUtf8(elsewhere).view()) +
             u"：主机 127.0.0.1 → localhost，"},
        {https + "_tag/" + tag() + "/", u"服务器的证书未被接受"},
    };
    // Public CAs, none of which issued the test server's certificate.
    TransferSettings settings;
    settings.caFile =
        CWString::fromUtf8(mireth_test::ModuleServer::nativePath("/etc/ssl/certs/ca-certificates.crt"));
    engine.setTransferSettings(settings);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.domain);
        Rows rows;
        ASSERT_GT(checkModules(engine, ModuleKind::Windows, *rows, config).rows, 0u);
        markOnly(rows, u"a.ext");
        rg_PeiZhiXinXiLei through = config;
        through.domain = CWString::fromUtf8(c.domain);
        server.clearRequests(tag());
        update(ModuleKind::Windows, rows, false, through);
        ASSERT_TRUE(waitForWorker());
        EXPECT_EQ(mode(rows, u"a.ext"), u"下载失败");
        const auto failures = tracker->failures();
        ASSERT_EQ(failures.size(), 1u);
        const CWString reason = reasonText(failures[0].result);
        EXPECT_NE(reason.view().find(c.reason), std::u16string_view::npos) << reason.toUtf8String();
        // Refused on the spot: neither is a passing failure, so nothing is asked again.
        EXPECT_LE(downloads().size(), 1u);
        EXPECT_FALSE(fs::exists(windows.path() / "lib" / "a.ext"));
    }
}

#if defined(_WIN32)
TEST_F(DownloadJobTest, ATargetHeldOpenIsWaitedForAndOneHeldForGoodIsNamedInUse) {
    const fs::path target = windows.path() / "lib" / "a.ext";
    const struct {
        const char* hold;
        int heldMs; // from the moment the download is complete; -1: for good
        const char16_t* mode;
        std::u16string_view reason;
    } cases[] = {
        {"read-only", 0, u"保存失败", u"无法替换 "},
        {"held briefly", 300, u"成功", u""},
        {"held for good", -1, u"保存失败", u"文件正被其他程序使用，请关闭使用它的程序后重试"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hold);
        writeFile(target, "the old module");
        std::FILE* held = nullptr;
        if (c.heldMs == 0)
            fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        else
            held = _wfsopen(target.wstring().c_str(), L"rb", _SH_DENYRW);
        ASSERT_TRUE(c.heldMs == 0 || held);
        Rows rows;
        ASSERT_GT(checkModules(engine, ModuleKind::Windows, *rows, config).rows, 0u);
        markOnly(rows, u"a.ext");
        update(ModuleKind::Windows, rows, false, config);
        if (c.heldMs > 0) {
            // Let go only once the whole answer waits in its temporary file.
            const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            bool complete = false;
            while (!complete && std::chrono::steady_clock::now() < limit) {
                for (const auto& entry : fs::directory_iterator(target.parent_path()))
                    complete = complete || (isTemporaryName(entry.path().filename().u16string()) &&
                                            fs::file_size(entry.path()) == 1024);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            EXPECT_TRUE(complete);
            std::this_thread::sleep_for(std::chrono::milliseconds(c.heldMs));
            std::fclose(held);
            held = nullptr;
        }
        ASSERT_TRUE(waitForWorker());
        if (held)
            std::fclose(held);
        fs::permissions(target, fs::perms::owner_all, fs::perm_options::add);
        EXPECT_EQ(mode(rows, u"a.ext"), c.mode);
        const auto failures = tracker->failures();
        ASSERT_EQ(failures.size(), c.reason.empty() ? 0u : 1u);
        if (!failures.empty()) {
            EXPECT_EQ(reasonText(failures[0].result).view().substr(0, c.reason.size()), c.reason);
            EXPECT_EQ(failures[0].result.reason.kind == ReasonKind::TargetInUse, c.heldMs < 0);
        }
        EXPECT_EQ(readFile(target),
                  c.reason.empty() ? sampleContent(1024, 1) : std::string("the old module"));
        expectNoTemporaryFile();
    }
}
#endif

TEST_F(DownloadJobTest, ARateLimitedServerGetsFewerTransfersAndEveryFile) {
    // 60 files from a server 50 ms away that allows 20 requests a second, 5 at once.
    std::vector<std::tuple<std::string, long long, std::string>> entries;
    for (int k = 0; k < 60; ++k)
        entries.emplace_back("lib/m" + std::to_string(k) + ".ext", 700, "2099-01-01 00:00:00");
    serveList(listOf(entries));
    Rows rows;
    ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).marked, entries.size());
    rg_PeiZhiXinXiLei limited = config;
    limited.domain = CWString::fromUtf8(base() + "_ratelimit/20/5/_stallbefore/0.05/_bytes/700/");
    server.clearRequests(tag());
    update(ModuleKind::Windows, rows, false, limited);
    ASSERT_TRUE(waitForWorker(std::chrono::seconds(60)));
    EXPECT_EQ(tracker->figures().succeeded, entries.size());
    EXPECT_EQ(tracker->figures().bytesDone, 700 * static_cast<std::int64_t>(entries.size()));

    // The transfers the server saw at once: all four, fewer after the first 503, more again later.
    const auto requests = downloads();
    std::size_t firstRefusal = requests.size();
    for (std::size_t i = 0; i < requests.size() && firstRefusal == requests.size(); ++i)
        firstRefusal = requests[i].status == 503 ? i : firstRefusal;
    ASSERT_LT(firstRefusal, requests.size());
    int before = 0, fallen = 4, risen = 0;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (i < firstRefusal) {
            before = std::max(before, requests[i].inFlight);
        } else if (i + 10 <= requests.size()) {
            int window = 0;
            for (std::size_t j = i; j < i + 10; ++j)
                window = std::max(window, requests[j].inFlight);
            fallen = std::min(fallen, window);
            if (window > fallen)
                risen = std::max(risen, window);
        }
    }
    EXPECT_EQ(before, TransferSettings::kDefaultParallel);
    EXPECT_LT(fallen, before);
    EXPECT_GT(risen, fallen);
}

TEST_F(DownloadJobTest, ADeadHostEndsTheJobSoonWhateverTheNumberOfFiles) {
    config.domain = CWString::fromUtf8(base() + "_entries/300/");
    const std::string http = server.httpBase();
    const struct {
        std::string domain;
        std::chrono::seconds within;
    } cases[] = {
        {"http://127.0.0.1:1/", std::chrono::seconds(30)},         // nothing listens there
        {base() + "_stallbefore/300/", std::chrono::seconds(180)}, // takes the request, never answers
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.domain);
        Rows rows;
        ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).marked, 300u);
        rg_PeiZhiXinXiLei dead = config;
        dead.domain = CWString::fromUtf8(c.domain);
        server.clearRequests(tag());
        const auto started = std::chrono::steady_clock::now();
        update(ModuleKind::Windows, rows, false, dead);
        ASSERT_TRUE(waitForWorker(std::chrono::seconds(240)));
        EXPECT_LT(std::chrono::steady_clock::now() - started, c.within);
        EXPECT_EQ(tracker->figures().downloadFailed, 300u);
        EXPECT_LE(downloads().size(), static_cast<std::size_t>(DownloadJobRunner::kDeadHostAttempts +
                                                               TransferSettings::kDefaultParallel));
        const auto failures = tracker->failures();
        ASSERT_EQ(failures.size(), 300u);
        const std::u16string reason(reasonText(failures.back().result).view());
        EXPECT_EQ(reason.rfind(u"服务器无响应：", 0), 0u) << CWString(reason).toUtf8String();
    }
}

TEST_F(DownloadJobTest, ASiteMovingToTlsOnTheSameHostKeepsThePost) {
    // The TLS port answers plain requests too: http and https on one port of one host.
    const std::string https = server.httpsBase();
    ASSERT_FALSE(https.empty());
    const std::string port = https.substr(https.rfind(':') + 1);
    // By name: Schannel matches a certificate to DNS names only.
    const std::string samePort = "http://localhost:" + port;
    const std::string moved = "https://localhost:" + port + "/_tag/" + tag() + "/";
    TransferSettings settings;
    settings.caFile = CWString::fromUtf8(server.certificateFile());
    engine.setTransferSettings(settings);
    config.windowsQq = CWString(u"12345");
    const struct {
        std::string from; // the plain address that answers 301
        bool kept;        // the same port: the POST goes on; another: it becomes a GET
    } cases[] = {{samePort + "/_tag/" + tag() + "/", true}, {base(), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from);
        const auto to = [&](const char* path) {
            return c.from + "_status/301/_location/" +
                   mireth_test::ModuleServer::percentEncoded(moved + path) + "/";
        };
        rg_PeiZhiXinXiLei through = config;
        through.domain = CWString::fromUtf8(to("api/w/list") + "_nonjson/");
        Rows rows;
        server.clearRequests(tag());
        // The list request, moved (this server also serves a GET without credentials).
        EXPECT_EQ(checkModules(engine, ModuleKind::Windows, *rows, through).rows, kSampleFiles);
        ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).rows, kSampleFiles);
        markOnly(rows, u"a.ext");
        through.domain = CWString::fromUtf8(to("download"));
        update(ModuleKind::Windows, rows, false, through);
        ASSERT_TRUE(waitForWorker());
        EXPECT_EQ(mode(rows, u"a.ext"), c.kept ? u"成功" : u"下载失败");
        std::size_t secure = 0;
        for (const RecordedRequest& request : server.recordedRequests(tag())) {
            if (request.scheme != "https")
                continue;
            ++secure;
            EXPECT_EQ(request.method, c.kept ? "POST" : "GET") << request.path;
            EXPECT_EQ(request.formField("qq"), c.kept ? "12345" : "") << request.path;
        }
        EXPECT_EQ(secure, 2u);
    }
}

// Sets proxy variables for libcurl, without exceptions, while it lives.
class ProxyEnvironment {
public:
    explicit ProxyEnvironment(const char* proxy) {
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            const char* old = std::getenv(kNames[i]);
            saved_[i] = old ? old : "";
            set(kNames[i], std::string_view(kNames[i]).starts_with("no_") ||
                                   std::string_view(kNames[i]).starts_with("NO_")
                               ? ""
                               : proxy);
        }
    }
    ~ProxyEnvironment() {
        for (std::size_t i = 0; i < std::size(kNames); ++i)
            set(kNames[i], saved_[i].c_str());
    }

private:
    static constexpr const char* kNames[] = {"http_proxy", "HTTPS_PROXY", "no_proxy", "NO_PROXY"};
    static void set(const char* name, const char* value) {
#if defined(_WIN32)
        // libcurl reads the process's environment; the C runtime keeps its own copy.
        SetEnvironmentVariableA(name, *value ? value : nullptr);
        _putenv_s(name, value);
#else
        if (*value)
            setenv(name, value, 1);
        else
            unsetenv(name);
#endif
    }
    std::string saved_[std::size(kNames)];
};

TEST_F(DownloadJobTest, ProxiesCarryTheListAndEveryFileAndOneWantingCredentialsIsNamed) {
    const std::string https = server.httpsBase();
    const std::string open = server.proxyAddress();
    const std::string guarded = server.proxyAddress(true);
    ASSERT_FALSE(https.empty() || open.empty() || guarded.empty());
    // By name: Schannel matches a certificate to DNS names only.
    const std::string secure =
        "https://localhost:" + https.substr(https.rfind(':') + 1) + "/_tag/" + tag() + "/";
    // The guarded proxy records its tunnels under the user name.
    const std::string signedIn =
        "http://" + tag() + ":" + mireth_test::ModuleServer::kProxyPassword + "@" + guarded.substr(7);
    const std::u16string wantsCredentials = u"代理服务器要求身份验证 (HTTP 407)";
    const struct {
        std::string proxy, domain;
        bool passes;
    } cases[] = {
        {open, base(), true},     // forwarded
        {signedIn, secure, true}, // through a tunnel
        {guarded, base(), false}, // a page that asks for credentials
        {guarded, secure, false}, // a tunnel refused
        {"直连", base(), true},   // past the environment's dead proxy
        {"", base(), false},      // the environment's dead proxy
    };
    const ProxyEnvironment dead("http://127.0.0.1:1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proxy + " " + c.domain);
        TransferSettings settings;
        settings.caFile = CWString::fromUtf8(server.certificateFile());
        settings.proxy = CWString::fromUtf8(c.proxy);
        engine.setTransferSettings(settings);
        TempFolder folder{"proxied"};
        config.windowsFolder = textOf(folder.path());
        config.domain = CWString::fromUtf8(c.domain);
        server.clearRequests(tag());
        Rows rows;
        const CheckResult checked = checkModules(engine, ModuleKind::Windows, *rows, config);
        if (!c.passes) {
            EXPECT_EQ(checked.rows, 0u);
            if (c.proxy.empty())
                continue;
            EXPECT_EQ(reasonText(checked.list.reason).view(), wantsCredentials);
            // The list without the proxy, the files through it.
            settings.proxy = CWString(kDirectProxy);
            engine.setTransferSettings(settings);
            ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).rows, kSampleFiles);
            settings.proxy = CWString::fromUtf8(c.proxy);
            engine.setTransferSettings(settings);
        }
        ASSERT_EQ(checked.rows + (c.passes ? 0 : kSampleFiles), kSampleFiles);
        update(ModuleKind::Windows, rows, false, config);
        ASSERT_TRUE(waitForWorker());
        const auto failures = tracker->failures();
        if (!c.passes) {
            ASSERT_EQ(failures.size(), kSampleFiles);
            for (const auto& failure : failures) {
                EXPECT_EQ(reasonText(failure.result).view(), wantsCredentials);
                EXPECT_EQ(failure.result.attempts, 1) << "credentials do not come by asking again";
            }
            continue;
        }
        EXPECT_TRUE(failures.empty());
        EXPECT_EQ(readFile(folder.path() / "big.bin"), sampleContent(300000, 3));
        std::size_t tunnels = 0;
        for (const RecordedRequest& request : server.recordedRequests(tag())) {
            tunnels += request.method == "CONNECT";
            if (request.method != "CONNECT" && c.proxy == open) {
                EXPECT_EQ(request.header("Via"), "1.1 mireth-test-proxy") << request.path;
            }
        }
        EXPECT_EQ(tunnels > 0, c.proxy == signedIn);
    }
}

TEST_F(DownloadJobTest, CompressedAnswersAreDecodedAndHeldToTheListedSizeOfTheirContents) {
    // Every answer gzipped: the 4-byte file grows that way, big.bin shrinks to 1.5 KiB.
    Rows rows;
    config.domain = CWString::fromUtf8(base() + "_gzip/");
    ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).rows, kSampleFiles);
    update(ModuleKind::Windows, rows, false, config);
    ASSERT_TRUE(waitForWorker());
    EXPECT_TRUE(tracker->failures().empty());
    EXPECT_EQ(readFile(windows.path() / "big.bin"), sampleContent(300000, 3));
    EXPECT_EQ(tracker->figures().bytesDone, savedBytes(windows.path()));
    std::size_t compressed = 0;
    for (const RecordedRequest& request : server.recordedRequests(tag())) {
        EXPECT_NE(request.header("Accept-Encoding").find("gzip"), std::string::npos) << request.path;
        compressed += request.path.find("_gzip/") != std::string::npos;
    }
    EXPECT_EQ(compressed, kSampleFiles + 1);

    // Listed at 2000 bytes, sent in 1.5 KiB that hold 300,000: refused.
    serveList(listOf({{"big.bin", 2000, "2099-01-01 00:00:00"}}));
    ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).marked, 1u);
    config.domain = CWString::fromUtf8(base() + "_gzip/");
    update(ModuleKind::Windows, rows, false, config);
    ASSERT_TRUE(waitForWorker());
    const auto failures = tracker->failures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].result.reason.kind, ReasonKind::AnswerTooLong);
    EXPECT_EQ(readFile(windows.path() / "big.bin"), sampleContent(300000, 3));
}

TEST_F(DownloadJobTest, ALargeFileCutOffIsResumedOnlyWhereTheServerGivesTheRestOfTheSameFile) {
    constexpr long long kLarge = 3 * 1024 * 1024 + 17;
    const struct {
        const char* prefix; // before the cut of the first answer at 60 %
        long long size;
        std::size_t requests;
        bool resumed; // the second request asks for the rest
        bool byTag;   // ... on the condition of the ETag (else of the date)
    } cases[] = {
        {"_ranges/", kLarge, 2, true, true},         // a 206 of the rest, appended
        {"_ranges/_notag/", kLarge, 2, true, false}, // Last-Modified alone
        {"_ignorerange/", kLarge, 2, true, true},    // a 200: again from zero
        {"_newtag/", kLarge, 2, true, true},         // another file now: If-Range gets a 200
        {"_badrange/", kLarge, 3, true, true},       // the wrong part: asked for again whole
        {"", kLarge, 2, false, false},               // no ranges announced
        {"_ranges/_gzip/", kLarge, 2, false, false}, // the offsets of an encoding are not the file's
        {"_ranges/", 3 * ResumePoint::kLeastKeptBytes / 2, 2, false, false}, // 60 %: under 1 MiB
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        SCOPED_TRACE(c.size);
        fs::remove(windows.path() / "big" / "r.bin");
        Rows rows;
        updateOneThrough("big/r.bin", c.size,
                         std::string(c.prefix) + "_bytes/" + std::to_string(c.size) + "/_once/_cutat/60/",
                         rows);
        for (const auto& failure : tracker->failures())
            ADD_FAILURE() << reasonText(failure.result.reason).toUtf8String();
        std::string expected(static_cast<std::size_t>(c.size), '\0');
        for (std::size_t k = 0; k < expected.size(); ++k)
            expected[k] = static_cast<char>(k % 251);
        EXPECT_TRUE(readFile(windows.path() / "big" / "r.bin") == expected);
        EXPECT_EQ(tracker->figures().bytesDone, c.size);
        const auto requests = downloads();
        ASSERT_EQ(requests.size(), c.requests);
        const std::string range = requests[1].header("Range");
        const std::string condition = requests[1].header("If-Range");
        EXPECT_EQ(range, c.resumed ? "bytes=" + std::to_string(c.size * 60 / 100) + "-" : "");
        EXPECT_EQ(!condition.empty() && condition[0] == '"', c.byTag) << condition;
        EXPECT_EQ(condition.empty(), !c.resumed) << condition;
        // A file that did not give the rest as asked is not asked for a range again.
        EXPECT_EQ(requests.back().header("Range").empty(), c.requests > 2 || !c.resumed);
        expectNoTemporaryFile();
    }
}

TEST(DownloadJobRulesTest, WhatIsTriedAgainAndHowLongItWaits) {
    for (const int transient : {CURLE_COULDNT_CONNECT, CURLE_SEND_ERROR, CURLE_RECV_ERROR, CURLE_GOT_NOTHING,
                                CURLE_OPERATION_TIMEDOUT, CURLE_PARTIAL_FILE})
        EXPECT_TRUE(DownloadJobRunner::isTransientTransfer(transient)) << transient;
    for (const int lasting :
         {CURLE_OK, CURLE_COULDNT_RESOLVE_HOST, CURLE_WRITE_ERROR, CURLE_ABORTED_BY_CALLBACK,
          CURLE_FILESIZE_EXCEEDED, CURLE_TOO_MANY_REDIRECTS, CURLE_PEER_FAILED_VERIFICATION})
        EXPECT_FALSE(DownloadJobRunner::isTransientTransfer(lasting)) << lasting;
    for (const int status : {408, 429, 500, 502, 503, 504})
        EXPECT_TRUE(DownloadJobRunner::isTransientStatus(status)) << status;
    for (const int status : {0, 200, 301, 400, 401, 403, 404, 410, 501, 505})
        EXPECT_FALSE(DownloadJobRunner::isTransientStatus(status)) << status;
    EXPECT_EQ(DownloadJobRunner::retryDelayMs(1), 500u);
    EXPECT_EQ(DownloadJobRunner::retryDelayMs(2), 1000u);
    EXPECT_EQ(DownloadJobRunner::retryDelayMs(3), 2000u);
    EXPECT_EQ(DownloadJobRunner::retryDelayMs(10), 10000u);
}

} // namespace
