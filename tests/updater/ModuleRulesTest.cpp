#include "UpdaterTestSupport.h"
#include "updater/DateTimeValue.h"
#include "updater/ModuleListRules.h"
#include "updater/rg_MoKuaiXinXiLei.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using namespace rg_quelt_app;
using namespace updater_test;

TEST(YearFirstDateTime, SeparatorFormsDenoteTheSameTime) {
    const auto dashed = parseYearFirstDateTime(u"2024-01-31 08:05:00");
    ASSERT_TRUE(dashed.has_value());
    EXPECT_EQ(parseYearFirstDateTime(u"2024/1/31 8:05"), dashed);
    EXPECT_EQ(parseYearFirstDateTime(u"2024年1月31日8时5分0秒"), dashed);
    EXPECT_EQ(parseYearFirstDateTime(u"2024.01.31 08.05.00"), dashed);
    EXPECT_EQ(parseYearFirstDateTime(u"2024-01-31"), dateTimeValue(2024, 1, 31, 0, 0, 0));
    EXPECT_LT(*parseYearFirstDateTime(u"2024-01-31 08:04:59"), *dashed);
    EXPECT_GT(*parseYearFirstDateTime(u"2024-01-31 08:05:01"), *dashed);
}

TEST(YearFirstDateTime, InvalidTexts) {
    EXPECT_FALSE(parseYearFirstDateTime(u"").has_value());
    EXPECT_FALSE(parseYearFirstDateTime(u"2024-01-31T08:05:00").has_value());
    EXPECT_FALSE(parseYearFirstDateTime(u"2024-01-31 08:05:00Z").has_value());
    EXPECT_FALSE(parseYearFirstDateTime(u"yesterday").has_value());
}

TEST(YearFirstDateTime, FieldsAreClamped) {
    EXPECT_EQ(parseYearFirstDateTime(u"2023-13-40 25:61:61"), dateTimeValue(2023, 12, 31, 23, 59, 59));
    EXPECT_EQ(parseYearFirstDateTime(u"2024-02-31"), dateTimeValue(2024, 2, 29, 0, 0, 0));
    EXPECT_EQ(parseYearFirstDateTime(u"2023-02-31"), dateTimeValue(2023, 2, 28, 0, 0, 0));
    EXPECT_EQ(parseYearFirstDateTime(u"5-0-0"), dateTimeValue(100, 1, 1, 0, 0, 0));
    EXPECT_EQ(*dateTimeValue(100, 1, 1, 0, 0, 0), kEarliestDateTime);
    EXPECT_EQ(*dateTimeValue(1899, 12, 30, 12, 0, 0), 0.5);
    EXPECT_EQ(*dateTimeValue(1900, 1, 1, 0, 0, 0), 2.0);
}

CQueltObjectArray records(std::initializer_list<rg_MoKuaiXinXiLei> items) {
    CQueltObjectArray array;
    for (const auto& item : items)
        array.append(item.clone());
    return array;
}

rg_MoKuaiXinXiLei record(int ordinal, const char16_t* name, const char16_t* path, const char16_t* time,
                         std::int64_t size) {
    rg_MoKuaiXinXiLei r;
    r.ordinal = ordinal;
    r.name = name;
    r.path = path;
    r.updateTime = time;
    r.size = size;
    return r;
}

std::u16string native(std::u16string path) {
    for (auto& c : path) {
        if (c == u'/')
            c = kPathSeparator;
    }
    return path;
}

TEST(FillModuleList, OneRowPerRecordInColumnOrder) {
    Rows rows;
    rows->appendRow(CWString(u"old"));
    FillModuleList(records({record(1, u"a.ext", u"lib/sub/a.ext", u"2024-01-31 08:05:00", 1024),
                            record(2, u"b.ext", u"b.ext", u"bad", -5)}),
                   *rows);
    ASSERT_EQ(rows->rowCount(), 2u);
    EXPECT_EQ(rows.cell(0, kColumnOrdinal), u"1");
    EXPECT_EQ(rows.cell(0, kColumnMode), u"");
    EXPECT_EQ(rows.cell(0, kColumnName), u"a.ext");
    EXPECT_EQ(rows.cell(0, kColumnPath), native(u"lib/sub/a.ext"));
    EXPECT_EQ(rows.cell(0, kColumnTime), u"2024-01-31 08:05:00");
    EXPECT_EQ(rows.cell(0, kColumnSize), u"1024");
    EXPECT_EQ(rows.cell(1, kColumnSize), u"-5");
}

TEST(FillModuleList, NumbersAtTheEdgesOfTheirRange) {
    Rows rows;
    FillModuleList(
        records({record(1, u"a", u"a", u"t", 0), record(2, u"b", u"b", u"t", -2147483648LL),
                 record(2147483647, u"c", u"c", u"t", INT64_MIN), record(-1, u"d", u"d", u"t", INT64_MAX)}),
        *rows);
    ASSERT_EQ(rows->rowCount(), 4u);
    EXPECT_EQ(rows.cell(0, kColumnSize), u"0");
    EXPECT_EQ(rows.cell(1, kColumnSize), u"-2147483648");
    EXPECT_EQ(rows.cell(2, kColumnOrdinal), u"2147483647");
    EXPECT_EQ(rows.cell(2, kColumnSize), u"-9223372036854775808");
    EXPECT_EQ(rows.cell(3, kColumnOrdinal), u"-1");
    EXPECT_EQ(rows.cell(3, kColumnSize), u"9223372036854775807");
}

// Rows in memory that count how often their redraw is held and released.
class RedrawCountingRows final : public ModuleRowTable {
public:
    std::size_t rowCount() const override { return rows->rowCount(); }
    void clearRows() override {
        ++clears;
        rows->clearRows();
    }
    std::size_t appendRow(const CWString& first) override { return rows->appendRow(first); }
    CWString getCellText(std::size_t row, int column) const override {
        return rows->getCellText(row, column);
    }
    void setCellText(std::size_t row, int column, const CWString& text) override {
        rows->setCellText(row, column, text);
    }
    bool setCellTextIfShows(std::size_t row, int column, const CWString& text, const CWString& name,
                            const CWString& localFile) override {
        return rows->setCellTextIfShows(row, column, text, name, localFile);
    }
    void holdRedraw(bool hold) override { (hold ? holds : releases) += 1; }

    Rows rows;
    int clears = 0;
    int holds = 0;
    int releases = 0;
};

TEST(ModuleRowFiller, ClearsOnEveryRestartAndHoldsTheRedrawOnceUntilFinished) {
    RedrawCountingRows table;
    table.appendRow(CWString(u"old"));
    {
        ModuleRowFiller filler(table);
        filler.restart();
        filler.entry({1, u"a", u"x/y/a", u"t", 3});
        EXPECT_EQ(filler.rows(), 1u);
        filler.restart(); // the entries turned out to belong to no list
        EXPECT_EQ(filler.rows(), 0u);
        filler.entry({1, u"b", u"b", u"t", 4});
        EXPECT_EQ(table.holds, 1);
        EXPECT_EQ(table.releases, 0);
        filler.finish();
        EXPECT_EQ(table.releases, 1);
    } // finished already: the end releases nothing more
    EXPECT_EQ(table.clears, 2);
    EXPECT_EQ(table.releases, 1);
    ASSERT_EQ(table.rowCount(), 1u);
    EXPECT_EQ(table.rows.cell(0, kColumnName), u"b");
    // A filler never restarted touches nothing.
    { ModuleRowFiller idle(table); }
    EXPECT_EQ(table.holds, 1);
    EXPECT_EQ(table.rowCount(), 1u);
    // Rows going through the default, one cell at a time, read the same.
    ModuleRowFiller filler(table);
    filler.restart();
    filler.entry({7, u"c", u"x/c", u"t", -1});
    EXPECT_EQ(table.rows.cell(0, kColumnPath), native(u"x/c"));
    EXPECT_EQ(table.rows.cell(0, kColumnOrdinal), u"7");
    EXPECT_EQ(table.rows.cell(0, kColumnSize), u"-1");
}

class MarkTest : public ::testing::Test {
protected:
    void SetUp() override {
        config.windowsFolder = textOf(folder.path());
        config.androidFolder = CWString(u"/nonexistent/android");
    }
    void addFile(const std::u16string& relative, const std::string& contents) {
        const fs::path path = folder.path() / fs::path(native(relative));
        writeFile(path, contents);
        ASSERT_TRUE(setLocalMtime(path, 2024, 1, 31, 8, 5, 0));
    }

    TempFolder folder{"mark"};
    rg_PeiZhiXinXiLei config;
    Rows rows;
};

TEST_F(MarkTest, MissingAndOlderFilesAreMarked) {
    addFile(u"same.ext", "x");
    addFile(u"lib/older.ext", "x");
    addFile(u"newer.ext", "a different size");
    addFile(u"iso.ext", "x");
    addFile(u"bad.ext", "x");
    FillModuleList(records({record(1, u"same.ext", u"same.ext", u"2024-01-31 08:05:00", 999),
                            record(2, u"older.ext", u"lib/older.ext", u"2024-01-31 08:05:01", 1),
                            record(3, u"newer.ext", u"newer.ext", u"2024-01-31 08:04:59", 1),
                            record(4, u"missing.ext", u"lib/missing.ext", u"2000-01-01 00:00:00", 1),
                            record(5, u"iso.ext", u"iso.ext", u"2099-01-31T08:05:00", 1),
                            record(6, u"bad.ext", u"bad.ext", u"", 1)}),
                   *rows);
    MarkOutdatedRows(u"w", *rows, config);
    EXPECT_EQ(rows.cell(0, kColumnMode), u"");     // the same time to the second
    EXPECT_EQ(rows.cell(1, kColumnMode), u"下载"); // one second older
    EXPECT_EQ(rows.cell(2, kColumnMode), u"");     // newer, whatever its size
    EXPECT_EQ(rows.cell(3, kColumnMode), u"下载"); // missing
    EXPECT_EQ(rows.cell(4, kColumnMode), u"");     // an ISO time never marks an existing file
    EXPECT_EQ(rows.cell(5, kColumnMode), u"");
}

TEST_F(MarkTest, RowsSharingAnUpdateTimeAreEachJudgedByTheirOwn) {
    for (const char16_t* name : {u"a.ext", u"b.ext", u"c.ext", u"d.ext", u"e.ext"})
        addFile(name, "x");
    FillModuleList(records({record(1, u"a.ext", u"a.ext", u"2024-01-31 08:05:01", 1),
                            record(2, u"b.ext", u"b.ext", u"2024-01-31 08:05:01", 1),
                            record(3, u"c.ext", u"c.ext", u"2024-01-31 08:04:59", 1),
                            record(4, u"d.ext", u"d.ext", u"2024-01-31 08:05:01", 1),
                            record(5, u"e.ext", u"e.ext", u"", 1)}),
                   *rows);
    EXPECT_EQ(MarkOutdatedRows(u"w", *rows, config), 3u);
    for (std::size_t row : {0u, 1u, 3u})
        EXPECT_EQ(rows.cell(row, kColumnMode), u"下载") << row;
    EXPECT_EQ(rows.cell(2, kColumnMode), u"");
    EXPECT_EQ(rows.cell(4, kColumnMode), u"");
}

TEST_F(MarkTest, AFolderOfTheFilesNameCountsAsExistingAndOtherModesStay) {
    fs::create_directories(folder.path() / "adir");
    FillModuleList(records({record(1, u"adir", u"adir", u"2099-01-01 00:00:00", 0),
                            record(2, u"gone.ext", u"gone.ext", u"2000-01-01", 0)}),
                   *rows);
    rows->setCellText(1, kColumnMode, CWString(u"成功"));
    MarkOutdatedRows(u"w", *rows, config);
    // The folder exists; its own time is older than the update time.
    EXPECT_EQ(rows.cell(0, kColumnMode), u"下载");
    EXPECT_EQ(rows.cell(1, kColumnMode), u"下载");
}

TEST_F(MarkTest, TheLetterChoosesTheFolder) {
    addFile(u"w.ext", "x");
    FillModuleList(records({record(1, u"w.ext", u"w.ext", u"2024-01-31 08:05:00", 1)}), *rows);
    MarkOutdatedRows(u"a", *rows, config);
    EXPECT_EQ(rows.cell(0, kColumnMode), u"下载");
    rows->setCellText(0, kColumnMode, CWString());
    config.serverFolder = textOf(folder.path());
    MarkOutdatedRows(u"x", *rows, config); // any other letter: the server folder
    EXPECT_EQ(rows.cell(0, kColumnMode), u"");
}

TEST(BuildDownloadJob, OneLinkPerRowMarkedForDownload) {
    rg_PeiZhiXinXiLei config;
    config.domain = u"http://modules.example/";
    config.androidQq = u"10001";
    config.androidPassword = u"p&w";
#if defined(_WIN32)
    config.androidFolder = u"D:\\mods";
#else
    config.androidFolder = u"/mods";
#endif
    Rows rows;
    FillModuleList(records({record(1, u"a.ext", u"lib/sub/a.ext", u"t", 1),
                            record(2, u"b.ext", u"b.ext", u"t", 1), record(3, u"c.ext", u"c.ext", u"t", 1)}),
                   *rows);
    rows->setCellText(0, kColumnMode, CWString(u"下载"));
    rows->setCellText(1, kColumnMode, CWString(u"成功"));
    rows->setCellText(2, kColumnMode, CWString(u"下载"));
    const rg_XiaZaiShuJu job = BuildDownloadJob(ModuleKind::Android, *rows, config);
    ASSERT_EQ(job.linkCount(), 2u);
    EXPECT_EQ(job.qq, u"10001");
    EXPECT_EQ(job.password, u"p&w");
    EXPECT_EQ(job.kindLetter, u"a");
    const auto& first = job.link(0);
    EXPECT_EQ(first.downloadUrl, u"http://modules.example/download");
    EXPECT_EQ(first.rowIndex, 0);
    EXPECT_EQ(first.fileName, u"a.ext");
    EXPECT_EQ(first.remoteFolder, u"lib/sub");
    EXPECT_EQ(first.localFile, CWString(config.androidFolder + native(u"/lib/sub/a.ext")));
    EXPECT_EQ(first.localFolder, CWString(config.androidFolder + native(u"/lib/sub")));
    const auto& root = job.link(1);
    EXPECT_EQ(root.rowIndex, 2);
    EXPECT_TRUE(root.remoteFolder.isEmpty());
    EXPECT_EQ(root.localFolder, config.androidFolder);
}

TEST(BuildDownloadJob, LocalFolderRules) {
#if defined(_WIN32)
    EXPECT_EQ(localFolderOf(CWString(u"C:\\a.ext")), u"C:\\");
    EXPECT_EQ(localFolderOf(CWString(u"C:\\m\\\\a.ext")), u"C:\\m\\");
    EXPECT_EQ(localFolderOf(CWString(u"\\\\server\\share\\a.ext")), u"\\\\server\\share");
    EXPECT_EQ(localFolderOf(CWString(u"mods\\a.ext")), u"");
#else
    EXPECT_EQ(localFolderOf(CWString(u"/a.ext")), u"/");
    EXPECT_EQ(localFolderOf(CWString(u"/m//a.ext")), u"/m/");
    EXPECT_EQ(localFolderOf(CWString(u"mods/a.ext")), u"");
#endif
    EXPECT_EQ(localFolderOf(CWString()), u"");
}

TEST(ForceRule, MarksEveryRow) {
    Rows rows;
    FillModuleList(records({record(1, u"a", u"a", u"t", 1), record(2, u"b", u"b", u"t", 1)}), *rows);
    rows->setCellText(1, kColumnMode, CWString(u"成功"));
    MarkAllRows(*rows);
    EXPECT_EQ(rows.cell(0, kColumnMode), u"下载");
    EXPECT_EQ(rows.cell(1, kColumnMode), u"下载");
}

TEST(RowTable, OutcomesLandOnlyOnTheRowThatStillShowsTheFile) {
    Rows rows;
    FillModuleList(records({record(1, u"a.ext", u"lib/a.ext", u"t", 1)}), *rows);
    const CWString file = CWString(native(u"/mods/lib/a.ext"));
    EXPECT_TRUE(rows->setCellTextIfShows(0, kColumnMode, CWString(u"成功"), CWString(u"a.ext"), file));
    EXPECT_EQ(rows.cell(0, kColumnMode), u"成功");
    // A refill put another file into the row.
    FillModuleList(records({record(1, u"b.ext", u"lib/b.ext", u"t", 1)}), *rows);
    EXPECT_FALSE(rows->setCellTextIfShows(0, kColumnMode, CWString(u"成功"), CWString(u"a.ext"), file));
    EXPECT_FALSE(rows->setCellTextIfShows(0, kColumnMode, CWString(u"成功"), CWString(u"b.ext"), file));
    EXPECT_FALSE(rows->setCellTextIfShows(7, kColumnMode, CWString(u"成功"), CWString(u"b.ext"), file));
    EXPECT_EQ(rows.cell(0, kColumnMode), u"");
    // Only a whole last part matches: "xlib/b.ext" is not "lib/b.ext".
    EXPECT_FALSE(rows->setCellTextIfShows(0, kColumnMode, CWString(u"成功"), CWString(u"b.ext"),
                                          CWString(native(u"/mods/xlib/b.ext"))));
}

} // namespace
