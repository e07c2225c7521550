// The texts of a module page's state line, from a job's figures.
#include "windows/JobStateText.h"

#include <gtest/gtest.h>

#include <string>

using namespace rg_quelt_app;

namespace {

TEST(JobStateTextTest, SizesAndDurationsReadInTheirUnits) {
    const struct {
        std::int64_t bytes;
        const char16_t* text;
    } sizes[] = {
        {-5, u"0 B"},
        {0, u"0 B"},
        {1023, u"1023 B"},
        {1024, u"1.0 KB"},
        {1536, u"1.5 KB"},
        {1048575, u"1.0 MB"}, // 1023.999 KB rounds into the next unit
        {3355443, u"3.2 MB"},
        {std::int64_t(1) << 30, u"1.0 GB"},
        {std::int64_t(5) << 40, u"5.0 TB"},
        {std::int64_t(2048) << 40, u"2048.0 TB"}, // no unit past the last
    };
    for (const auto& s : sizes)
        EXPECT_EQ(byteSizeText(s.bytes).view(), std::u16string_view(s.text)) << s.bytes;

    const struct {
        std::uint64_t ms;
        const char16_t* text;
    } durations[] = {
        {0, u"0 秒"}, {44600, u"45 秒"}, {59499, u"59 秒"}, {59500, u"1 分 0 秒"}, {125000, u"2 分 5 秒"},
    };
    for (const auto& d : durations)
        EXPECT_EQ(durationText(d.ms).view(), std::u16string_view(d.text)) << d.ms;
}

JobTracker::Figures figures(std::size_t files, std::size_t succeeded, std::size_t downloadFailed,
                            std::size_t saveFailed) {
    JobTracker::Figures f;
    f.started = true;
    f.files = files;
    f.succeeded = succeeded;
    f.downloadFailed = downloadFailed;
    f.saveFailed = saveFailed;
    return f;
}

TEST(JobStateTextTest, ARunningJobTellsItsProgressAndAnEndedOneItsOutcomes) {
    EXPECT_TRUE(jobStateText(JobTracker::Figures()).isEmpty()) << "a job that has not started";

    JobTracker::Figures running = figures(300, 10, 1, 1);
    running.bytesDone = 3355443;
    running.bytesTotal = 11010048;
    running.elapsedMs = 6400; // 512 KiB a second
    EXPECT_EQ(jobStateText(running).view(),
              std::u16string_view(u"正在更新：已完成 12/300 个文件，失败 2 个；3.2 MB/10.5 MB，512.0 KB/秒"));
    running.elapsedMs = 0;
    EXPECT_NE(jobStateText(running).view().find(u"，0 B/秒"), std::u16string_view::npos)
        << "no rate before any time has passed";

    JobTracker::Figures ended = figures(300, 298, 1, 1);
    ended.finished = true;
    ended.bytesDone = 11010048;
    ended.elapsedMs = 12300;
    EXPECT_EQ(
        jobStateText(ended).view(),
        std::u16string_view(u"更新完成：成功 298 个，下载失败 1 个，保存失败 1 个；共 10.5 MB，用时 12 秒"));

    JobTracker::Figures stopped = figures(300, 20, 0, 0);
    stopped.finished = stopped.stopped = true;
    stopped.bytesDone = 2048;
    stopped.elapsedMs = 61000;
    EXPECT_EQ(jobStateText(stopped).view(),
              std::u16string_view(u"更新已中止：成功 20 个，下载失败 0 个，保存失败 0 个，未完成 280 个；共 "
                                  u"2.0 KB，用时 1 分 1 秒"));
}

TEST(JobStateTextTest, AFailureNamesItsFileOutcomeAndReason) {
    JobTracker::Failure failure;
    failure.name = CWString(u"m12.ext");
    failure.result.outcome = FileOutcome::DownloadFailed;
    failure.result.reason = httpStatusReason(404, u"没有这个文件");
    failure.result.attempts = 3;
    EXPECT_EQ(failureText(failure).view(),
              std::u16string_view(u"m12.ext：下载失败，服务器返回 HTTP 404：没有这个文件（共尝试 3 次）"));
    failure.result.outcome = FileOutcome::SaveFailed;
    failure.result.reason = Reason();
    failure.result.attempts = 1;
    EXPECT_EQ(failureText(failure).view(), std::u16string_view(u"m12.ext：保存失败"));
}

TEST(JobStateTextTest, ARollbackTellsItsJobsTimeReadablyAndWhatItDidOrWhyNot) {
    // A time of another form is shown as it came, never cut up wrongly.
    for (const char16_t* odd : {u"", u"20261209013005", u"2026120x-013005", u"20261209-0130051"})
        EXPECT_EQ(backupTimeText(CWString(odd)).view(), std::u16string_view(odd));
    const CWString time(u"20261209-013005");
    RollbackTracker::Figures f;
    EXPECT_TRUE(rollbackStateText(f, time).isEmpty()) << "before it ended";
    f.finished = true;
    EXPECT_EQ(rollbackStateText(f, time).view(),
              std::u16string_view(u"撤销失败：找不到 2026-12-09 01:30:05 的备份"));
    f.result.found = true;
    f.result.restored = 3;
    f.result.removed = 1;
    EXPECT_EQ(rollbackStateText(f, time).view(),
              std::u16string_view(u"撤销完成：还原 3 个文件，删除 1 个文件（2026-12-09 01:30:05 的更新）"));
    f.result.failures = {CWString(u"a.ext：拒绝访问"), CWString(u"b.ext：拒绝访问")};
    EXPECT_EQ(rollbackStateText(f, time).view(),
              std::u16string_view(
                  u"撤销未完成：还原 3 个文件，删除 1 个文件，失败 2 个\na.ext：拒绝访问（另有 1 个）"));
}

} // namespace
