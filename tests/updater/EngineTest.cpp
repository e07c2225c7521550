// The engine end to end against the loopback module server: checks, downloads
// and the faults a download must never turn into a broken module.
#include "EngineFixture.h"
#include "updater/ModuleListRules.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace rg_quelt_app;
using namespace updater_test;

using EngineTest = EngineFixture;

TEST_F(EngineTest, ACheckMarksExactlyTheMissingAndOlderFiles) {
    writeFile(windows.path() / "lib" / "a.ext", "older");
    ASSERT_TRUE(setLocalMtime(windows.path() / "lib" / "a.ext", 2024, 1, 31, 8, 4, 59));
    writeFile(windows.path() / "root.ext", "same time, other size");
    ASSERT_TRUE(setLocalMtime(windows.path() / "root.ext", 2023, 5, 6, 7, 8, 9));
    writeFile(windows.path() / "binary.bin", "newer");
    ASSERT_TRUE(setLocalMtime(windows.path() / "binary.bin", 2025, 1, 1, 0, 0, 0));
    Rows rows;
    ASSERT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).outcome, CheckOutcome::Checked);
    EXPECT_EQ(engine.lastListStatus(), ListStatus::Ok);
    ASSERT_GE(rows->rowCount(), 9u);
    EXPECT_EQ(mode(rows, u"a.ext"), u"下载");
    EXPECT_EQ(mode(rows, u"root.ext"), u"");
    EXPECT_EQ(mode(rows, u"binary.bin"), u"");
    EXPECT_EQ(mode(rows, u"z.ext"), u"下载");
    const int a = rowOf(rows, u"a.ext");
    EXPECT_EQ(rows.cell(static_cast<std::size_t>(a), kColumnSize), u"1024");
    EXPECT_EQ(rows.cell(static_cast<std::size_t>(a), kColumnTime), u"2024-01-31 08:05:00");
}

TEST_F(EngineTest, ACheckWithoutConfigurationIsRefused) {
    Rows rows;
    config.androidFolder = CWString();
    EXPECT_EQ(checkModules(engine, ModuleKind::Android, *rows, config).outcome, CheckOutcome::NotConfigured);
    config.domain = CWString();
    EXPECT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).outcome, CheckOutcome::NotConfigured);
    EXPECT_EQ(update(ModuleKind::Windows, rows, false, config).outcome, UpdateOutcome::NotConfigured);
    // Configured again: an update before any check has nothing to work on.
    config.domain = CWString(u"http://127.0.0.1:9/");
    EXPECT_EQ(update(ModuleKind::Windows, rows, false, config).outcome, UpdateOutcome::NothingChecked);
    EXPECT_TRUE(server.recordedRequests(tag()).empty());
}

TEST_F(EngineTest, TheListRequestCarriesTheCredentialsEncoded) {
    config.windowsQq = u"12345";
    config.windowsPassword = u"p&w=1+%";
    Rows rows;
    checkModules(engine, ModuleKind::Windows, *rows, config);
    const auto seen = server.recordedRequests(tag());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_NE(seen[0].path.find("/api/w/list"), std::string::npos);
    EXPECT_EQ(seen[0].body, "qq=12345&pwd=p%26w%3D1%2B%25");
}

TEST_F(EngineTest, BadListAnswersGiveEmptyLists) {
    const std::string base = server.httpBase() + "_tag/" + tag() + "/";
    Rows rows;
    config.domain = CWString::fromUtf8(base + "_nonjson/");
    checkModules(engine, ModuleKind::Windows, *rows, config);
    EXPECT_EQ(rows->rowCount(), 0u);
    EXPECT_EQ(engine.lastListStatus(), ListStatus::NotUnderstood);
    config.domain = CWString::fromUtf8(
        base + "_body/" +
        mireth_test::ModuleServer::percentEncoded("{\"code\":\"200\",\"data\":[7,{\"name\":\"n\"}]}") + "/");
    checkModules(engine, ModuleKind::Windows, *rows, config);
    ASSERT_EQ(rows->rowCount(), 2u);
    EXPECT_EQ(rows.cell(0, kColumnOrdinal), u"1");
    EXPECT_EQ(rows.cell(0, kColumnName), u"");
    EXPECT_EQ(rows.cell(1, kColumnName), u"n");
    // 40 bytes end inside the first element of "data": an element cut before its
    // end is no entry; nothing of a broken list is marked.
    config.domain = CWString::fromUtf8(base + "_cut/40/");
    const CheckResult cut = checkModules(engine, ModuleKind::Windows, *rows, config);
    EXPECT_EQ(cut.outcome, CheckOutcome::Failed);
    EXPECT_EQ(cut.list.status, ListStatus::Incomplete);
    EXPECT_EQ(rows->rowCount(), 0u);
    EXPECT_EQ(cut.marked, 0u);
    config.domain = CWString(u"http://127.0.0.1:9/");
    const CheckResult refused = checkModules(engine, ModuleKind::Windows, *rows, config);
    EXPECT_EQ(rows->rowCount(), 0u);
    EXPECT_EQ(refused.outcome, CheckOutcome::Failed);
    EXPECT_EQ(refused.list.status, ListStatus::TransferFailed);
    EXPECT_EQ(refused.list.reason.kind, ReasonKind::ConnectFailed);
}

TEST_F(EngineTest, AListErrorAnswerSaysItsStatusAndTheServersFirstLine) {
    const std::string base = server.httpBase() + "_tag/" + tag() + "/";
    const std::string password =
        mireth_test::ModuleServer::percentEncoded("\r\n密码错误\x1b[0m\nsecond line");
    const struct {
        std::string prefix;
        std::u16string_view text;
    } cases[] = {
        {"_status/401/_type/text%2Fplain%3B%20charset%3Dutf-8/_body/" + password + "/",
         u"服务器返回 HTTP 401：密码错误[0m"},
        {"_status/503/_nonjson/", u"服务器返回 HTTP 503"},  // an HTML page's first line is markup
        {"_status/500/_bytes/64/", u"服务器返回 HTTP 500"}, // no text to show
        {"_status/404/_body//", u"服务器返回 HTTP 404"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix);
        Rows rows;
        config.domain = CWString::fromUtf8(base + c.prefix);
        const CheckResult result = checkModules(engine, ModuleKind::Windows, *rows, config);
        EXPECT_EQ(result.outcome, CheckOutcome::Failed);
        EXPECT_EQ(result.list.status, ListStatus::TransferFailed);
        EXPECT_EQ(reasonCode(result.list.reason.kind), "http_status");
        EXPECT_EQ(reasonText(result.list.reason).view(), c.text);
        EXPECT_EQ(rows->rowCount(), 0u);
    }
}

TEST_F(EngineTest, AListAnswerPastItsSizeLimitFailsAsSoonAsItPassesIt) {
    constexpr std::size_t kLimit = ListLimits::kDefaultAnswerBytes;
    const std::string base = server.httpBase() + "_tag/" + tag() + "/";
    struct Case {
        const char* what;
        std::string prefix;
        bool read;
    };
    const Case cases[] = {
        // The list padded with spaces to exactly the limit is read like any list.
        {"exactly the limit", "_pad/" + std::to_string(kLimit) + "/", true},
        // One byte more, trickled at 1 MB/s so that all of it would take 67 s: the
        // announced length is refused before the body.
        {"announced past it", "_slow/1000000/_pad/" + std::to_string(kLimit + 1) + "/", false},
        // Without a length, and without end: refused once the limit is passed.
        {"endless", "_nolength/_bytes/1099511627776/", false},
    };
    for (const Case& c : cases) {
        Rows rows;
        rows->appendRow(CWString(u"from before"));
        config.domain = CWString::fromUtf8(base + c.prefix);
        const auto start = std::chrono::steady_clock::now();
        const CheckResult result = checkModules(engine, ModuleKind::Windows, *rows, config);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (c.read) {
            EXPECT_EQ(result.list.status, ListStatus::Ok)
                << c.what << ": " << reasonText(result.list.reason).toUtf8String();
            EXPECT_GE(rows->rowCount(), 9u) << c.what;
            continue;
        }
        EXPECT_EQ(result.outcome, CheckOutcome::Failed) << c.what;
        EXPECT_EQ(result.list.status, ListStatus::TransferFailed) << c.what;
        EXPECT_EQ(reasonText(result.list.reason).view(), u"应答超过 64 MiB 的上限") << c.what;
        EXPECT_EQ(rows->rowCount(), 0u) << c.what;
        EXPECT_LT(elapsed, std::chrono::seconds(10)) << c.what;
    }
}

TEST_F(EngineTest, AListPastItsEntriesOrRowBytesIsRefusedAndTheRowsReadSoFarGo) {
    const std::string base = server.httpBase() + "_tag/" + tag() + "/";
    ListLimits smallRows;
    smallRows.bounds.rowBytes = 1000; // the sample tree's nine rows take more
    const struct {
        const char* what;
        std::string prefix;
        ListLimits limits;
        ListStatus status;
    } cases[] = {
        {"5,000,000 empty elements", "_empties/5000000/", ListLimits(), ListStatus::TooManyEntries},
        {"rows past their bytes", "", smallRows, ListStatus::RowsTooLarge},
    };
    for (const auto& c : cases) {
        engine.setListLimits(c.limits);
        Rows rows;
        rows->appendRow(CWString(u"from before"));
        config.domain = CWString::fromUtf8(base + c.prefix);
        const auto start = std::chrono::steady_clock::now();
        const CheckResult result = checkModules(engine, ModuleKind::Windows, *rows, config);
        EXPECT_EQ(result.outcome, CheckOutcome::Failed) << c.what;
        EXPECT_EQ(result.list.status, c.status)
            << c.what << ": " << reasonText(result.list.reason).toUtf8String();
        EXPECT_TRUE(result.list.reason.failed()) << c.what;
        EXPECT_EQ(rows->rowCount(), 0u) << c.what;
        EXPECT_EQ(result.rows, 0u) << c.what;
        // Generous: only a parse that builds every element would come near it.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << c.what;
    }
}

TEST_F(EngineTest, AListRequestPastItsTimeLimitFails) {
    engine.setListLimits({ListLimits::kDefaultAnswerBytes, 500, ListBounds()});
    const std::string base = server.httpBase() + "_tag/" + tag() + "/";
    // No answer at all within the time, and an answer that would take 100 s.
    for (const std::string prefix : {"_stallbefore/30/", "_slow/1000/_pad/100000/"}) {
        Rows rows;
        config.domain = CWString::fromUtf8(base + prefix);
        const auto start = std::chrono::steady_clock::now();
        const CheckResult result = checkModules(engine, ModuleKind::Windows, *rows, config);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(result.list.status, ListStatus::TransferFailed) << prefix;
        EXPECT_EQ(reasonText(result.list.reason).view(), u"500 毫秒 内没有收到完整的应答") << prefix;
        EXPECT_EQ(rows->rowCount(), 0u) << prefix;
        EXPECT_GE(elapsed, std::chrono::milliseconds(450)) << prefix;
        EXPECT_LT(elapsed, std::chrono::seconds(10)) << prefix;
    }
    // The limit is the engine's: a quick answer is read as ever.
    Rows rows;
    config.domain = CWString::fromUtf8(base);
    EXPECT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).list.status, ListStatus::Ok);
    EXPECT_EQ(rg_MoKuaiGengXinYinQing().listLimits().timeoutMs, 120000u);
}

TEST_F(EngineTest, AnAbandonedListRequestOnAnotherThreadEndsAtItsNextProgressNotice) {
    config.domain = CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/_stallbefore/30/");
    Rows rows;
    CheckResult result;
    std::atomic<bool> returned{false};
    std::thread check([&] {
        result = checkModules(engine, ModuleKind::Windows, *rows, config);
        returned = true;
    });
    // The request's progress notices come to the engine's thread, which answers
    // them while it waits, as a message loop does.
    auto serviceFor = [](std::chrono::milliseconds span, const std::atomic<bool>* until = nullptr) {
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end && !(until && *until))
            platform::serviceNotices(10);
    };
    serviceFor(std::chrono::milliseconds(300));
    EXPECT_FALSE(returned);
    engine.abandonListRequests();
    serviceFor(std::chrono::seconds(5), &returned);
    check.join();
    ASSERT_TRUE(returned);
    EXPECT_EQ(result.outcome, CheckOutcome::Failed);
    EXPECT_EQ(result.list.reason.kind, ReasonKind::RequestAbandoned);
    EXPECT_LT(result.elapsedMs, 3000u);
    // The requests after it are not even sent.
    EXPECT_EQ(checkModules(engine, ModuleKind::Windows, *rows, config).list.reason.kind,
              ReasonKind::RequestAbandoned);
    EXPECT_EQ(server.recordedRequests(tag()).size(), 1u);
}

TEST_F(EngineTest, AnUpdateWritesEveryMarkedFile) {
    Rows rows;
    checkModules(engine, ModuleKind::Windows, *rows, config);
    ASSERT_EQ(update(ModuleKind::Windows, rows, false, config).outcome, UpdateOutcome::Started);
    ASSERT_TRUE(waitForWorker());
    EXPECT_EQ(mode(rows, u"a.ext"), u"成功");
    EXPECT_EQ(readFile(windows.path() / "lib" / "a.ext"), sampleContent(1024, 1));
    EXPECT_EQ(mode(rows, u"z.ext"), u"成功");
    EXPECT_EQ(readFile(windows.path() / "deep" / "x" / "y" / "z.ext"), "deep module\n");
    EXPECT_EQ(mode(rows, u"界面库.ext"), u"成功");
    EXPECT_EQ(readFile(windows.path() / u"核心" / u"界面库.ext"), "界面库模块\n");
    EXPECT_EQ(mode(rows, u"a&b=c+d%e.ext"), u"成功");
    EXPECT_EQ(mode(rows, u"big.bin"), u"成功");
    EXPECT_EQ(readFile(windows.path() / "big.bin"), sampleContent(300000, 3));
    // Listed as empty: an empty answer is the module.
    EXPECT_EQ(mode(rows, u"empty.ext"), u"成功");
    EXPECT_TRUE(fs::exists(windows.path() / "empty.ext"));
    // No temporary file stays behind.
    for (const auto& entry : fs::recursive_directory_iterator(windows.path()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();

    // Non-ASCII names go to the server in UTF-8.
    bool sawUtf8 = false;
    for (const auto& request : server.recordedRequests(tag())) {
        if (request.body.find("&file=\xE7\x95\x8C\xE9\x9D\xA2\xE5\xBA\x93.ext") != std::string::npos)
            sawUtf8 = request.body.find("&path=\xE6\xA0\xB8\xE5\xBF\x83&") != std::string::npos;
    }
    EXPECT_TRUE(sawUtf8);

    // A second update without force downloads only what still reads "下载": nothing.
    const std::size_t before = server.recordedRequests(tag()).size();
    update(ModuleKind::Windows, rows, false, config);
    ASSERT_TRUE(waitForWorker());
    EXPECT_EQ(server.recordedRequests(tag()).size(), before);
    EXPECT_EQ(mode(rows, u"empty.ext"), u"成功");
}

class FailingDownloadTest : public EngineFixture {
protected:
    // Checks against the real list, then downloads through `prefix`.
    void updateThrough(const std::string& prefix, Rows& rows, bool force = true) {
        checkModules(engine, ModuleKind::Windows, *rows, config);
        rg_PeiZhiXinXiLei failing = config;
        failing.domain = CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/" + prefix);
        update(ModuleKind::Windows, rows, force, failing);
        ASSERT_TRUE(waitForWorker());
    }
    void keepOldFile() { writeFile(windows.path() / "lib" / "a.ext", "the old module"); }
    void expectOldFileIntact() {
        EXPECT_EQ(readFile(windows.path() / "lib" / "a.ext"), "the old module");
        for (const auto& entry : fs::recursive_directory_iterator(windows.path()))
            EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    }
};

TEST_F(FailingDownloadTest, AnErrorStatusIsNoModule) {
    keepOldFile();
    Rows rows;
    updateThrough("_status/500/", rows);
    EXPECT_EQ(mode(rows, u"a.ext"), u"下载失败");
    expectOldFileIntact();
}

TEST_F(FailingDownloadTest, ACutOffTransferIsNoModule) {
    keepOldFile();
    Rows rows;
    updateThrough("_cut/100/", rows);
    EXPECT_EQ(mode(rows, u"a.ext"), u"下载失败");
    EXPECT_EQ(mode(rows, u"big.bin"), u"下载失败");
    expectOldFileIntact();
    EXPECT_FALSE(fs::exists(windows.path() / "big.bin"));
}

TEST_F(FailingDownloadTest, AFolderThatCannotBeMadeIsASaveFailure) {
    // A file where the folder "lib" should be.
    writeFile(windows.path() / "lib", "in the way");
    Rows rows;
    updateThrough("", rows);
    EXPECT_EQ(mode(rows, u"a.ext"), u"保存失败");
    EXPECT_EQ(readFile(windows.path() / "lib"), "in the way");
    EXPECT_EQ(mode(rows, u"root.ext"), u"成功");
}

TEST_F(EngineTest, ServerNamesThatLeaveTheFolderAreNeverWritten) {
    const std::string list =
        "{\"code\":200,\"data\":["
        "{\"name\":\"evil.ext\",\"path\":\"../evil.ext\",\"size\":1,\"updateTime\":\"2099-01-01\"},"
        "{\"name\":\"x.ext\",\"path\":\"/tmp/mireth-abs-evil.ext\",\"size\":1,\"updateTime\":\"2099-01-01\"},"
        "{\"name\":\"y.ext\",\"path\":\"C:/mireth-drive-evil.ext\",\"size\":1,\"updateTime\":\"2099-01-01\"},"
        "{\"name\":\"../up.ext\",\"path\":\"sub/up.ext\",\"size\":1,\"updateTime\":\"2099-01-01\"},"
        "{\"name\":\"\",\"path\":\"noname.ext\",\"size\":1,\"updateTime\":\"2099-01-01\"},"
        "{\"name\":\"z\\u0000.ext\",\"path\":\"z.ext\",\"size\":1,\"updateTime\":\"2099-01-01\"}]}";
    config.domain = CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/_body/" +
                                       mireth_test::ModuleServer::percentEncoded(list) + "/");
    Rows rows;
    checkModules(engine, ModuleKind::Windows, *rows, config);
    ASSERT_EQ(rows->rowCount(), 6u);
    MarkAllRows(*rows);
    update(ModuleKind::Windows, rows, true, config);
    ASSERT_TRUE(waitForWorker());
    for (std::size_t i = 0; i < rows->rowCount(); ++i)
        EXPECT_EQ(rows.cell(i, kColumnMode), u"下载失败") << i;
    EXPECT_TRUE(server.recordedRequests(tag()).size() == 1u) << "no download may have been asked for";
    EXPECT_FALSE(fs::exists(windows.path().parent_path() / "evil.ext"));
    EXPECT_FALSE(fs::exists("/tmp/mireth-abs-evil.ext"));
    EXPECT_TRUE(fs::is_empty(windows.path()));
}

TEST_F(EngineTest, ARecheckDuringAJobKeepsOutcomesOffOtherFiles) {
    Rows rows;
    rg_PeiZhiXinXiLei slow = config;
    slow.domain = CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/_slow/200000/");
    checkModules(engine, ModuleKind::Windows, *rows, config);
    rows->setRecording(true);
    update(ModuleKind::Windows, rows, false, slow);
    // The user checks the Android list into the same rows while the job runs.
    checkModules(engine, ModuleKind::Android, *rows, config);
    ASSERT_TRUE(waitForWorker(std::chrono::seconds(120)));
    for (std::size_t i = 0; i < rows->rowCount(); ++i) {
        const std::u16string now = rows.cell(i, kColumnMode);
        EXPECT_TRUE(now == u"下载" || now == u"") << i;
    }
}

TEST_F(EngineTest, ProgressShowsWhileALargeFileDownloads) {
    Rows rows;
    rg_PeiZhiXinXiLei slow = config;
    slow.domain = CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/_slow/300000/");
    checkModules(engine, ModuleKind::Windows, *rows, config);
    for (std::size_t i = 0; i < rows->rowCount(); ++i) {
        if (rows.cell(i, kColumnName) != u"big.bin")
            rows->setCellText(i, kColumnMode, CWString());
    }
    rows->setRecording(true);
    update(ModuleKind::Windows, rows, false, slow);
    ASSERT_TRUE(waitForWorker(std::chrono::seconds(120)));
    bool sawPercent = false;
    for (const auto& write : rows->recordedWrites())
        sawPercent = sawPercent || write.text.view().substr(0, 4) == u"下载中 ";
    EXPECT_TRUE(sawPercent);
    EXPECT_EQ(mode(rows, u"big.bin"), u"成功");
}

} // namespace

TEST_F(EngineTest, AbandonedRowsStopTheJobAndLeaveTheOldFileWhole) {
    Rows rows;
    writeFile(windows.path() / "big.bin", "the old module");
    ASSERT_TRUE(setLocalMtime(windows.path() / "big.bin", 2020, 1, 1, 0, 0, 0));
    rg_PeiZhiXinXiLei slow = config;
    // 300000 bytes at 100000 per second: three seconds for the first file.
    slow.domain = CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/_slow/100000/");
    checkModules(engine, ModuleKind::Windows, *rows, config);
    ASSERT_EQ(rows.cell(0, kColumnName), u"big.bin");
    ASSERT_EQ(rows.cell(0, kColumnMode), u"下载");
    server.clearRequests(tag());
    // One file at a time: the files after the first are never asked for.
    TransferSettings oneAtATime;
    oneAtATime.parallelDownloads = 1;
    engine.setTransferSettings(oneAtATime);
    update(ModuleKind::Windows, rows, false, slow);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    ASSERT_TRUE(engine.isDownloading());
    rows->abandon();
    const auto abandoned = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitForWorker(std::chrono::seconds(10)));
    EXPECT_LT(std::chrono::steady_clock::now() - abandoned, std::chrono::seconds(2));

    EXPECT_EQ(readFile(windows.path() / "big.bin"), "the old module");
    for (const auto& entry : fs::recursive_directory_iterator(windows.path()))
        EXPECT_EQ(entry.path().filename().u16string().find(u".part"), std::u16string::npos)
            << entry.path().string();
    // Nothing after the abandoned file was asked for.
    EXPECT_EQ(server.recordedRequests(tag()).size(), 1u);
    EXPECT_FALSE(fs::exists(windows.path() / "lib" / "a.ext"));
}
