// The progress line read from the rows the worker writes.
#include "cli/ProgressLine.h"
#include "updater/MemoryRowTable.h"

#include <gtest/gtest.h>

namespace {

using namespace rg_quelt_app;
using namespace rg_quelt_app::cli;

class ProgressLineTest : public ::testing::Test {
protected:
    ProgressLineTest() : rows(MemoryRowTable::create()) {}
    ~ProgressLineTest() override { rows->release(); }

    void addRow(const char16_t* mode, const char16_t* name, const char16_t* size) {
        const std::size_t row =
            rows->appendRow(CWString::fromInteger(static_cast<std::int64_t>(rows->rowCount() + 1)));
        rows->setCellText(row, kColumnMode, CWString(mode));
        rows->setCellText(row, kColumnName, CWString(name));
        rows->setCellText(row, kColumnSize, CWString(size));
    }

    MemoryRowTable* rows;
};

TEST_F(ProgressLineTest, TheFirstUnfinishedRowIsTheFileAtWork) {
    addRow(u"成功", u"done.ext", u"100");
    addRow(u"", u"not-in-job.ext", u"7777");
    addRow(u"下载失败", u"failed.ext", u"30");
    addRow(u"下载中 50%", u"half.ext", u"1000");
    addRow(u"下载", u"next.ext", u"10");
    const ProgressSnapshot progress = progressOf(*rows, {0, 2, 3, 4});
    EXPECT_EQ(progress.file.view(), u"half.ext");
    EXPECT_EQ(progress.fileDone, 500);
    EXPECT_EQ(progress.fileTotal, 1000);
    EXPECT_EQ(progress.bytesDone, 100 + 30 + 500);
    EXPECT_EQ(progress.filesDone, 2u);
    EXPECT_EQ(progress.filesTotal, 4u);
}

TEST_F(ProgressLineTest, AFileWithoutAPercentageHasUnknownBytes) {
    addRow(u"下载中", u"unsized.ext", u"-5");
    addRow(u"下载", u"next.ext", u"10");
    ProgressSnapshot progress = progressOf(*rows, {0, 1});
    EXPECT_EQ(progress.file.view(), u"unsized.ext");
    EXPECT_EQ(progress.fileDone, -1);
    EXPECT_EQ(progress.fileTotal, 0);
    EXPECT_EQ(progress.bytesDone, 0);

    // Not yet started: nothing done; a percentage over 100 counts as 100.
    rows->setCellText(0, kColumnMode, CWString(u"下载"));
    progress = progressOf(*rows, {0, 1});
    EXPECT_EQ(progress.fileDone, 0);
    rows->setCellText(1, kColumnMode, CWString(u"下载中 250%"));
    rows->setCellText(0, kColumnMode, CWString(u"保存失败"));
    progress = progressOf(*rows, {0, 1});
    EXPECT_EQ(progress.file.view(), u"next.ext");
    EXPECT_EQ(progress.fileDone, 10);

    rows->setCellText(1, kColumnMode, CWString(u"成功"));
    progress = progressOf(*rows, {0, 1});
    EXPECT_TRUE(progress.file.isEmpty());
    EXPECT_EQ(progress.filesDone, 2u);
}

TEST(ProgressTextTest, SizesUseBinaryUnitsWithOneDecimal) {
    EXPECT_EQ(byteSizeText(0).view(), u"0 B");
    EXPECT_EQ(byteSizeText(1023).view(), u"1023 B");
    EXPECT_EQ(byteSizeText(1536).view(), u"1.5 KiB");
    EXPECT_EQ(byteSizeText(12LL * 1024 * 1024).view(), u"12.0 MiB");
    EXPECT_EQ(byteSizeText(5LL << 40).view(), u"5.0 TiB");
    EXPECT_EQ(byteSizeText(5LL << 50).view(), u"5120.0 TiB");
}

TEST(ProgressTextTest, TheLineNamesFileBytesSpeedAndFiles) {
    ProgressSnapshot progress;
    progress.file = CWString(u"big.bin");
    progress.fileDone = 2048;
    progress.fileTotal = 4 * 1024 * 1024;
    progress.filesDone = 3;
    progress.filesTotal = 9;
    EXPECT_EQ(progressText(progress, 1536.0, 79).view(),
              u"big.bin  2.0 KiB of 4.0 MiB  1.5 KiB/s  3/9 files");
    progress.fileDone = -1;
    EXPECT_EQ(progressText(progress, -1.0, 79).view(), u"big.bin  ? of 4.0 MiB  -/s  3/9 files");
    progress.file = CWString(u"\x1b]0;title\x07\x9b"
                             u"2J.ext");
    EXPECT_EQ(progressText(progress, -1.0, 79).view(), u" ]0;title  2J.ext  ? of 4.0 MiB  -/s  3/9 files");
    progress.file = CWString();
    EXPECT_EQ(progressText(progress, 0.0, 79).view(), u"  0 B/s  3/9 files");
}

TEST(ProgressTextTest, ALongNameGivesWayFromTheLeftAndWideCharactersCountTwice) {
    EXPECT_EQ(displayWidth(u"ab界面"), 6u);
    EXPECT_EQ(displayWidth(u"\U0001F600"), 1u);
    ProgressSnapshot progress;
    progress.file = CWString(u"很长的模块文件名称很长的模块文件名称很长的模块文件名称很长的模块文件名称.ext");
    progress.fileTotal = 100;
    progress.filesTotal = 1;
    for (std::size_t width : {79u, 45u}) {
        const CWString text = progressText(progress, 10.0, width);
        EXPECT_LE(displayWidth(text.view()), width) << width;
        EXPECT_EQ(text.view().substr(0, 3), u"...");
        EXPECT_NE(text.view().find(u"称.ext  0 B of 100 B"), std::u16string_view::npos)
            << text.toUtf8String();
    }
    // Too narrow for any of the name: the figures alone, however wide.
    EXPECT_EQ(progressText(progress, 10.0, 10).view().substr(0, 2), u"  ");
}

} // namespace
