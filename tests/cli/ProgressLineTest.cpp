// The progress line drawn from a job's figures.
#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

namespace {

using namespace rg_quelt_app;
using namespace rg_quelt_app::cli;

TEST(ProgressLineTest, TheFileOnItsWayLongestIsShownWithTheOthersCounted) {
    JobTracker::Figures figures;
    figures.files = 9;
    figures.succeeded = 2;
    figures.saveFailed = 1;
    figures.bytesDone = 4096;
    ProgressSnapshot progress = progressOf(figures);
    EXPECT_TRUE(progress.file.isEmpty());
    EXPECT_EQ(progress.filesDone, 3u);
    EXPECT_EQ(progress.filesTotal, 9u);
    EXPECT_EQ(progress.bytesDone, 4096);

    figures.active = {{4, CWString(u"first.bin"), 500, 1000}, {7, CWString(u"second.bin"), 1, -1}};
    progress = progressOf(figures);
    EXPECT_EQ(progress.file.view(), u"first.bin");
    EXPECT_EQ(progress.fileDone, 500);
    EXPECT_EQ(progress.fileTotal, 1000);
    EXPECT_EQ(progress.alsoActive, 1u);
    EXPECT_EQ(progressText(progress, -1.0, 79).view(), u"first.bin +1  500 B of 1000 B  -/s  3/9 files");
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
    progress.fileTotal = -1;
    EXPECT_EQ(progressText(progress, -1.0, 79).view(), u"big.bin  2.0 KiB of ?  -/s  3/9 files");
    progress.file = CWString(u"\x1b]0;title\x07\x9b"
                             u"2J.ext");
    EXPECT_EQ(progressText(progress, -1.0, 79).view(), u" ]0;title  2J.ext  2.0 KiB of ?  -/s  3/9 files");
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
