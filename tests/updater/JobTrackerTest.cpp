// What a front end's tracker makes of the worker's facts: the rows' texts, only in
// rows that still show the file, and the job's figures.
#include "updater/JobTracker.h"
#include "UpdaterTestSupport.h"
#include "runtime/core/RefPtr.h"
#include "updater/ModuleListRules.h"
#include "updater/rg_XiaZaiShuJu.h"

#include <gtest/gtest.h>

namespace {

using namespace rg_quelt_app;
using updater_test::Rows;

TEST(RowTextsTest, EachOutcomeAndTheDownloadingPercentage) {
    EXPECT_EQ(std::u16string_view(modeTextOf(FileOutcome::Success)), u"成功");
    EXPECT_EQ(std::u16string_view(modeTextOf(FileOutcome::DownloadFailed)), u"下载失败");
    EXPECT_EQ(std::u16string_view(modeTextOf(FileOutcome::SaveFailed)), u"保存失败");
    const struct {
        std::int64_t received;
        std::int64_t total;
        std::u16string_view text;
    } cases[] = {
        {0, 1000, u"下载中 0%"},      {999, 1000, u"下载中 99%"}, {1000, 1000, u"下载中 100%"},
        {5000, 1000, u"下载中 100%"}, {10, -1, u"下载中"},        {10, 0, u"下载中"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(downloadingText(c.received, c.total).view(), c.text) << c.received << " of " << c.total;
}

class JobTrackerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char16_t* name : {u"a.ext", u"b.ext", u"c.ext"}) {
            CWString cells[kColumnCount] = {CWString(u"1"), CWString(u"下载"),
                                            CWString(name), CWString(u"sub\\") + name,
                                            CWString(),     CWString(u"100")};
            const std::size_t row = rows->appendFilledRow(cells);
            rg_LianJieYuSuoYinLei link;
            link.rowIndex = static_cast<std::int32_t>(row);
            link.fileName = CWString(name);
            link.localFile = CWString(u"D:\\m\\sub\\") + name;
            link.listedSize = 100;
            job.appendLink(link);
        }
        tracker = RefPtr<JobTracker>::adopt(JobTracker::create(*rows));
        tracker->jobStarting(job);
    }

    FileResult result(FileOutcome outcome, std::int64_t bytes, std::int64_t status = 0) {
        FileResult r;
        r.outcome = outcome;
        r.bytes = bytes;
        if (outcome != FileOutcome::Success)
            r.reason = httpStatusReason(status);
        r.attempts = 1;
        return r;
    }

    Rows rows;
    rg_XiaZaiShuJu job;
    RefPtr<JobTracker> tracker;
};

TEST_F(JobTrackerTest, FactsBecomeRowTextsAndFigures) {
    tracker->fileProgress(job.link(0), 40, 100);
    tracker->fileProgress(job.link(1), 5, -1);
    EXPECT_EQ(rows.cell(0, kColumnMode), u"下载中 40%");
    EXPECT_EQ(rows.cell(1, kColumnMode), u"下载中");
    JobTracker::Figures figures = tracker->figures();
    EXPECT_EQ(figures.files, 3u);
    EXPECT_EQ(figures.bytesTotal, 300);
    EXPECT_EQ(figures.bytesDone, 45);
    ASSERT_EQ(figures.active.size(), 2u);
    EXPECT_EQ(figures.active[0].name.view(), u"a.ext");
    EXPECT_FALSE(figures.finished);

    tracker->fileDone(job.link(1), result(FileOutcome::SaveFailed, 100, 507));
    tracker->fileDone(job.link(0), result(FileOutcome::Success, 100));
    tracker->fileDone(job.link(2), result(FileOutcome::DownloadFailed, 0, 404));
    tracker->jobDone(false);
    EXPECT_EQ(rows.cell(0, kColumnMode), u"成功");
    EXPECT_EQ(rows.cell(1, kColumnMode), u"保存失败");
    EXPECT_EQ(rows.cell(2, kColumnMode), u"下载失败");
    figures = tracker->figures();
    EXPECT_EQ(figures.succeeded, 1u);
    EXPECT_EQ(figures.saveFailed, 1u);
    EXPECT_EQ(figures.downloadFailed, 1u);
    EXPECT_EQ(figures.bytesDone, 200);
    EXPECT_TRUE(figures.active.empty());
    EXPECT_TRUE(figures.finished);
    EXPECT_FALSE(figures.stopped);
    const auto failures = tracker->failures();
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].row, 1u);
    EXPECT_EQ(failures[0].result.reason.status, 507);
    EXPECT_EQ(failures[1].name.view(), u"c.ext");
    // One row's failure, without the others; none for a row that succeeded.
    const auto third = tracker->failureAt(2);
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(third->name.view(), u"c.ext");
    EXPECT_EQ(third->result.reason.status, 404);
    EXPECT_FALSE(tracker->failureAt(0).has_value());
    EXPECT_FALSE(tracker->failureAt(7).has_value());
}

TEST_F(JobTrackerTest, ARowThatShowsAnotherFileKeepsItsTextAndAbandonedRowsStopTheJob) {
    // A check refilled the rows meanwhile: row 0 now shows another file.
    rows->setCellText(0, kColumnName, CWString(u"other.ext"));
    tracker->fileProgress(job.link(0), 50, 100);
    tracker->fileDone(job.link(0), result(FileOutcome::Success, 100));
    EXPECT_EQ(rows.cell(0, kColumnMode), u"下载");
    EXPECT_EQ(tracker->figures().succeeded, 1u);

    EXPECT_FALSE(tracker->stopRequested());
    rows->abandon();
    EXPECT_TRUE(tracker->stopRequested());
}

TEST_F(JobTrackerTest, AStoppedJobGivesEveryFileWithoutAnOutcomeItsDownloadBack) {
    // a.ext was saved, b.ext was on its way, c.ext not reached; a check has
    // meanwhile put another file into c.ext's row, which keeps its text.
    tracker->fileDone(job.link(0), result(FileOutcome::Success, 100));
    tracker->fileStarted(job.link(1));
    tracker->fileProgress(job.link(1), 30, 100);
    rows->setCellText(2, kColumnName, CWString(u"other.ext"));
    rows->setCellText(2, kColumnMode, CWString(u"下载失败"));
    ASSERT_EQ(rows.cell(1, kColumnMode), u"下载中 30%");
    for (const bool stopped : {false, true}) {
        SCOPED_TRACE(stopped ? "stopped" : "ended");
        tracker->jobDone(stopped);
        EXPECT_EQ(rows.cell(0, kColumnMode), u"成功");
        // Only a stop gives the files back: an ended job has an outcome for each.
        EXPECT_EQ(rows.cell(1, kColumnMode), stopped ? u"下载" : u"下载中 30%");
        EXPECT_EQ(rows.cell(2, kColumnMode), u"下载失败");
        const JobTracker::Figures figures = tracker->figures();
        EXPECT_TRUE(figures.finished);
        EXPECT_EQ(figures.stopped, stopped);
        EXPECT_EQ(figures.done(), 1u);
        EXPECT_TRUE(figures.active.empty());
        tracker->jobStarting(job);
        tracker->fileDone(job.link(0), result(FileOutcome::Success, 100));
        tracker->fileProgress(job.link(1), 30, 100);
    }
}

} // namespace
