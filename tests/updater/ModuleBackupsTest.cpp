// Previous versions against the loopback module server: the backups a job keeps,
// the rollback that puts them back, retention and the history log.
#include "updater/ModuleBackups.h"
#include "EngineFixture.h"
#include "runtime/platform/FileSystem.h"
#include "updater/BackupJob.h"
#include "updater/HistoryLog.h"
#include "updater/ModuleListRules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <regex>

namespace {

using namespace rg_quelt_app;
using namespace updater_test;
using mireth_test::pathOf;

struct Module {
    const char* path;
    std::string contents;
    const char* updateTime;
};

// Four modules of the sample tree; the first three are there in an old form.
const Module kModules[] = {
    {"lib/a.ext", sampleContent(1024, 1), "2024-01-31 08:05:00"},
    {"root.ext", "module at the root\n", "2023-05-06 07:08:09"},
    {"deep/x/y/z.ext", "deep module\n", "2024-04-01 12:00:00"},
    {"核心/界面库.ext", "界面库模块\n", "2024-05-20 13:14:15"},
};
constexpr std::size_t kReplaced = 3;

std::string listOf(const Module* modules, std::size_t count) {
    std::string list = "{\"code\":200,\"data\":[";
    for (std::size_t i = 0; i < count; ++i) {
        const std::string path = modules[i].path;
        list += std::string(i ? "," : "") + "{\"name\":\"" + path.substr(path.rfind('/') + 1) +
                "\",\"path\":\"" + path + "\",\"size\":" + std::to_string(modules[i].contents.size()) +
                ",\"updateTime\":\"" + modules[i].updateTime + "\"}";
    }
    return list + "]}";
}

std::vector<std::vector<std::string>> tabFields(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        std::vector<std::string> fields;
        std::string line = text.substr(start, end - start);
        for (std::size_t from = 0;;) {
            const std::size_t tab = line.find('\t', from);
            fields.push_back(line.substr(from, tab - from));
            if (tab == std::string::npos)
                break;
            from = tab + 1;
        }
        lines.push_back(fields);
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

class ModuleBackupsTest : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        listConfig = config;
        listConfig.domain =
            CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/_body/" +
                               mireth_test::ModuleServer::percentEncoded(listOf(kModules, 4)) + "/");
        settings.backupFolder = textOf(backups.path());
        settings.historyLog =
            textOf(backups.path().parent_path() / (backups.path().filename().string() + ".log"));
        logFile = pathOf(settings.historyLog);
        for (std::size_t i = 0; i < kReplaced; ++i) {
            ASSERT_TRUE(writeFile(windows.path() / fs::u8path(kModules[i].path), "old " + std::to_string(i)));
            ASSERT_TRUE(setLocalMtime(windows.path() / fs::u8path(kModules[i].path), 2001, 2, 3, 4, 5,
                                      6 + static_cast<int>(i)));
        }
        for (const Module& module : kModules)
            oldTimes.push_back(fs::exists(windows.path() / fs::u8path(module.path))
                                   ? fs::last_write_time(windows.path() / fs::u8path(module.path))
                                   : fs::file_time_type());
    }
    void TearDown() override { fs::remove(logFile); }

    // Checks the four and downloads the marked ones through `prefix`.
    void runJob(Rows& rows, bool force = false, const std::string& prefix = {}) {
        engine.setTransferSettings(settings);
        checkModules(engine, ModuleKind::Windows, *rows, listConfig);
        rg_PeiZhiXinXiLei downloads = config;
        downloads.domain = config.domain + CWString::fromUtf8(prefix).view();
        ASSERT_EQ(update(ModuleKind::Windows, rows, force, downloads).outcome, UpdateOutcome::Started);
        ASSERT_TRUE(waitForWorker());
    }
    static std::u16string nameOf(const Module& module) {
        return fs::u8path(module.path).filename().u16string();
    }

    rg_PeiZhiXinXiLei listConfig; // whose list names the four
    TempFolder backups{"backups"};
    TransferSettings settings;
    fs::path logFile;
    std::vector<fs::file_time_type> oldTimes;
};

TEST_F(ModuleBackupsTest, AJobKeepsTheOldFilesAndARollbackPutsThemBack) {
    Rows rows;
    runJob(rows);
    for (const Module& module : kModules)
        EXPECT_EQ(readFile(windows.path() / fs::u8path(module.path)), module.contents) << module.path;

    const std::vector<BackupJobSummary> jobs = listBackupJobs(settings.backupFolder, ModuleKind::Windows);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].replaced, kReplaced);
    EXPECT_EQ(jobs[0].added, 1u);
    const std::string time = jobs[0].time.toUtf8String();
    EXPECT_TRUE(std::regex_match(time, std::regex("20[0-9]{6}-[0-9]{6}"))) << time;
    const fs::path jobFolder = backups.path() / "w" / time;
    for (std::size_t i = 0; i < kReplaced; ++i) {
        const fs::path kept = jobFolder / fs::u8path(kModules[i].path);
        EXPECT_EQ(readFile(kept), "old " + std::to_string(i)) << kModules[i].path;
        EXPECT_EQ(fs::last_write_time(kept), oldTimes[i]) << kModules[i].path;
    }
    EXPECT_FALSE(fs::exists(jobFolder / fs::u8path(kModules[3].path)));

    // One line per file and the summary: time, kind, outcome, path, old size and
    // time, new size and time, reason.
    const auto lines = tabFields(readFile(logFile));
    ASSERT_EQ(lines.size(), 5u) << readFile(logFile);
    std::size_t replacedLines = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_EQ(lines[i].size(), 9u);
        EXPECT_EQ(lines[i][1], "视窗模块");
        const bool replaced = lines[i][2] == "替换";
        replacedLines += replaced;
        EXPECT_EQ(lines[i][4].empty(), !replaced) << lines[i][3];
        EXPECT_EQ(lines[i][5].empty(), !replaced) << lines[i][3];
        if (replaced) {
            EXPECT_EQ(lines[i][5].substr(0, 10), "2001-02-03");
        }
        EXPECT_EQ(lines[i][8], "");
    }
    EXPECT_EQ(replacedLines, kReplaced);
    EXPECT_EQ(lines[4][2], "更新");
    EXPECT_EQ(lines[4][3], time);
    EXPECT_EQ(lines[4][8].rfind("替换 3 个，新增 1 个，失败 0 个", 0), 0u) << lines[4][8];

    const RollbackResult undone =
        rollbackBackupJob(settings, ModuleKind::Windows, config.windowsFolder, CWString());
    EXPECT_TRUE(undone.ok());
    EXPECT_EQ(undone.restored, kReplaced);
    EXPECT_EQ(undone.removed, 1u);
    for (std::size_t i = 0; i < kReplaced; ++i) {
        const fs::path file = windows.path() / fs::u8path(kModules[i].path);
        EXPECT_EQ(readFile(file), "old " + std::to_string(i));
        EXPECT_EQ(fs::last_write_time(file), oldTimes[i]);
    }
    EXPECT_FALSE(fs::exists(windows.path() / fs::u8path(kModules[3].path)));
    EXPECT_TRUE(listBackupJobs(settings.backupFolder, ModuleKind::Windows).empty());
    EXPECT_FALSE(fs::exists(jobFolder));
    EXPECT_EQ(tabFields(readFile(logFile)).back()[2], "回滚");

    // The old times make the next check mark every file again.
    Rows again;
    checkModules(engine, ModuleKind::Windows, *again, listConfig);
    for (const Module& module : kModules)
        EXPECT_EQ(mode(again, nameOf(module)), u"下载") << module.path;
    EXPECT_FALSE(rollbackBackupJob(settings, ModuleKind::Windows, config.windowsFolder, CWString()).found);
}

TEST_F(ModuleBackupsTest, OnlyTheNewestJobsAreKept) {
    settings.keptBackups = 2;
    std::vector<std::string> times;
    for (int job = 0; job < 3; ++job) {
        Rows rows;
        runJob(rows, true);
        const auto jobs = listBackupJobs(settings.backupFolder, ModuleKind::Windows);
        ASSERT_FALSE(jobs.empty());
        times.push_back(jobs.front().time.toUtf8String());
    }
    const auto jobs = listBackupJobs(settings.backupFolder, ModuleKind::Windows);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].time.toUtf8String(), times[2]);
    EXPECT_EQ(jobs[1].time.toUtf8String(), times[1]);
    EXPECT_LT(times[0], times[1]);
    EXPECT_FALSE(fs::exists(backups.path() / "w" / times[0]));
    // The later jobs replaced all four.
    EXPECT_EQ(jobs[0].replaced, 4u);
    EXPECT_EQ(jobs[0].added, 0u);

    // A job that replaces nothing leaves no folder.
    settings.keptBackups = 3;
    Rows rows;
    runJob(rows, true, "_status/404/");
    EXPECT_EQ(mode(rows, nameOf(kModules[0])), u"下载失败");
    EXPECT_EQ(listBackupJobs(settings.backupFolder, ModuleKind::Windows).size(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(backups.path() / "w"), fs::directory_iterator()), 4);
}

// Whether the backup folder cannot be written or lies in a module folder, where the
// IDE would read it: a file with an old version fails and keeps it.
TEST_F(ModuleBackupsTest, ABackupThatCannotBeMadeFailsTheFileAndKeepsTheOldOne) {
    for (const bool inModules : {false, true}) {
        SCOPED_TRACE(inModules ? "inside a module folder" : "a file in the way");
        fs::remove_all(backups.path());
        fs::remove(windows.path() / fs::u8path(kModules[3].path));
        fs::remove(logFile);
        settings.backupFolderInModules = inModules;
        if (!inModules) {
            ASSERT_TRUE(writeFile(backups.path(), "in the way"));
        }
        Rows rows;
        runJob(rows);
        for (std::size_t i = 0; i < kReplaced; ++i) {
            EXPECT_EQ(readFile(windows.path() / fs::u8path(kModules[i].path)), "old " + std::to_string(i));
            EXPECT_EQ(mode(rows, nameOf(kModules[i])), u"保存失败");
        }
        ASSERT_EQ(tracker->failures().size(), kReplaced);
        EXPECT_EQ(reasonCode(tracker->failures()[0].result), "backup_failed");
        EXPECT_EQ(reasonText(tracker->failures()[0].result).view().find(u"在三方模块目录之内") !=
                      std::u16string_view::npos,
                  inModules);
        // A new file needs no backup.
        EXPECT_EQ(readFile(windows.path() / fs::u8path(kModules[3].path)), kModules[3].contents);
        EXPECT_EQ(fs::exists(backups.path()), !inModules);
        const auto lines = tabFields(readFile(logFile));
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(lines[4][8], "替换 0 个，新增 1 个，失败 3 个");
    }
}

// A record changed by hand cannot make a rollback reach outside the module folder:
// its lines that climb out are skipped, the others are undone as usual.
TEST_F(ModuleBackupsTest, ARecordThatNamesAPathOutsideTheModuleFolderLeavesItAlone) {
    Rows rows;
    runJob(rows);
    const std::vector<BackupJobSummary> jobs = listBackupJobs(settings.backupFolder, ModuleKind::Windows);
    ASSERT_EQ(jobs.size(), 1u);
    const fs::path victim = windows.path().parent_path() / (windows.path().filename().string() + "-victim");
    ASSERT_TRUE(writeFile(victim, "not a module"));
    const std::string up = std::string("..") + char(fs::path::preferred_separator);
    const std::string outside = up + victim.filename().string();
    std::ofstream record(backups.path() / "w" / (jobs[0].time.toUtf8String() + ".job"), std::ios::app);
    for (const std::string& path : {outside, std::string("lib") + char(fs::path::preferred_separator) + up +
                                                 up + victim.filename().string()})
        record << "added\t" << path << "\t-1\t0\t1\t0\n"
               << "replaced\t" << path << "\t1\t0\t1\t0\n";
    record.close();
    ASSERT_EQ(listBackupJobs(settings.backupFolder, ModuleKind::Windows)[0].added, 1u);

    const RollbackResult undone =
        rollbackBackupJob(settings, ModuleKind::Windows, config.windowsFolder, CWString());
    EXPECT_TRUE(undone.ok());
    EXPECT_EQ(undone.restored, kReplaced);
    EXPECT_EQ(undone.removed, 1u);
    EXPECT_EQ(readFile(victim), "not a module");
    fs::remove(victim);
}

// A job's record grows file by file, so a program that dies halfway leaves a job that
// can be undone as far as it went; until the job has done something there is none.
TEST_F(ModuleBackupsTest, AJobCutShortCanBeUndoneAsFarAsItWent) {
    rg_XiaZaiShuJu job;
    job.kindLetter = CWString(u"w");
    for (const Module* module : {&kModules[0], &kModules[3]}) {
        rg_LianJieYuSuoYinLei link;
        const fs::path path = fs::u8path(module->path);
        link.localFile = textOf((windows.path() / path).make_preferred());
        link.remoteFolder = CWString(path.parent_path().generic_u16string());
        job.appendLink(link);
    }
    auto backup = std::make_unique<BackupJob>(settings, job);
    backup->begin();
    const CWString time = backup->time();
    EXPECT_TRUE(listBackupJobs(settings.backupFolder, ModuleKind::Windows).empty());

    // What the finisher does: the old version kept, the new one in its place.
    const fs::path replaced = windows.path() / fs::u8path(kModules[0].path);
    BackupJob::OldFile old;
    ASSERT_TRUE(platform::fileSizeAndTime(replaced.u16string(), old.size, old.time));
    const fs::path kept = pathOf(backup->backupPathFor(0));
    fs::create_directories(kept.parent_path());
    fs::copy_file(replaced, kept);
    ASSERT_TRUE(writeFile(replaced, kModules[0].contents));
    FileResult done;
    done.outcome = FileOutcome::Success;
    backup->note(0, done, old, 0);
    ASSERT_TRUE(writeFile(windows.path() / fs::u8path(kModules[3].path), kModules[3].contents));
    backup->note(1, done, std::nullopt, 0);
    // The program ends here, without finish(); the system closes its files.
    backup.reset();

    const std::vector<BackupJobSummary> jobs = listBackupJobs(settings.backupFolder, ModuleKind::Windows);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].time, time);
    EXPECT_EQ(jobs[0].replaced, 1u);
    EXPECT_EQ(jobs[0].added, 1u);
    const RollbackResult undone =
        rollbackBackupJob(settings, ModuleKind::Windows, config.windowsFolder, CWString());
    EXPECT_TRUE(undone.ok());
    EXPECT_EQ(readFile(replaced), "old 0");
    EXPECT_EQ(fs::last_write_time(replaced), oldTimes[0]);
    EXPECT_FALSE(fs::exists(windows.path() / fs::u8path(kModules[3].path)));
    EXPECT_FALSE(fs::exists(backups.path() / "w" / (time.toUtf8String() + ".job")));
}

// A log that would grow past 1 MiB moves aside, replacing the older one, and a new
// one begins with its byte-order mark; the lines of one write stay together.
TEST(HistoryLogTest, RotatesBeforePassingOneMebibyteKeepingOneOlderFile) {
    TempFolder temp;
    ASSERT_TRUE(temp.ok());
    const CWString path = temp / u"更新记录.log";
    const fs::path older = pathOf(HistoryLog::rotatedPath(path));
    EXPECT_EQ(older.filename().u16string(), u"更新记录.1.log");
    ASSERT_TRUE(writeFile(older, "the oldest"));
    const std::string full(HistoryLog::kRotateBytes - 10, 'x');
    ASSERT_TRUE(writeFile(path, full));
    HistoryLog log(path, ModuleKind::Server);
    log.add(u"新增", CWString(u"a\tb.ext"), -1, 0, 5, 126227808000000000);
    log.add(u"更新", CWString(u"20010101-000000"), -1, 0, -1, 0, CWString(u"替换 0 个"));
    ASSERT_TRUE(log.write());
    EXPECT_EQ(readFile(older), full);
    const auto lines = tabFields(readFile(path));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(readFile(path).substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(lines[0][1], "服务器模块");
    EXPECT_EQ(lines[0][3], "a b.ext") << "a tab in a name never splits a line";
    EXPECT_EQ(lines[0][6], "5");
    EXPECT_EQ(lines[0][7], HistoryLog::timeText(126227808000000000));
    EXPECT_EQ(lines[1][8], "替换 0 个");
    // Below the limit lines are only appended.
    log.add(u"删除", CWString(u"c.ext"), 1, 0, -1, 0);
    ASSERT_TRUE(log.write());
    EXPECT_EQ(tabFields(readFile(path)).size(), 3u);
    EXPECT_EQ(readFile(older), full);
}

} // namespace
