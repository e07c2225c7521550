#include "updater/PackedRow.h"
#include "UpdaterTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace rg_quelt_app;
using namespace updater_test;

TEST(PackedRow, EachCellChangesAloneWhateverItsLength) {
    const std::u16string longText(70000, u'长');
    const std::u16string_view start[kColumnCount] = {u"1",          u"",           u"a.ext",
                                                     u"lib\\a.ext", u"2024-01-31", u"10"};
    for (int column = 0; column < kColumnCount; ++column) {
        for (const std::u16string_view text : {std::u16string_view(u""), std::u16string_view(u"x"),
                                               std::u16string_view(longText), start[column]}) {
            PackedRow row(start);
            row.setCell(column, text);
            for (int other = 0; other < kColumnCount; ++other)
                EXPECT_EQ(row.cell(other), other == column ? text : start[other]) << column << "/" << other;
        }
    }
    PackedRow row(start);
    EXPECT_TRUE(row.cell(-1).empty());
    EXPECT_TRUE(row.cell(kColumnCount).empty());
    row.setCell(kColumnCount, u"ignored");
    EXPECT_EQ(row.cell(kColumnName), u"a.ext");
    PackedRow moved(std::move(row));
    EXPECT_EQ(moved.cell(kColumnTime), u"2024-01-31");
    EXPECT_TRUE(row.cell(kColumnTime).empty()); // NOLINT(bugprone-use-after-move): moved-from is empty
    const std::u16string_view none[kColumnCount] = {};
    PackedRow empty(none);
    EXPECT_TRUE(empty.cell(kColumnOrdinal).empty());
}

TEST(MemoryRowTable, RowsAppendedEveryWayReadBackTheSame) {
    Rows rows;
    CWString cells[kColumnCount] = {u"1", u"", u"a", u"b", u"t", u"5"};
    const std::u16string_view views[kColumnCount] = {u"1", u"", u"a", u"b", u"t", u"5"};
    EXPECT_EQ(rows->appendFilledRow(cells), 0u);
    EXPECT_EQ(rows->appendRowTexts(views), 1u);
    EXPECT_EQ(rows->appendRow(CWString(u"1")), 2u);
    for (int column = 0; column < kColumnCount; ++column) {
        EXPECT_EQ(rows.cell(0, column), views[column]);
        EXPECT_EQ(rows.cell(1, column), views[column]);
        CWString reused(u"something longer than the cell");
        rows->readCellText(1, column, reused);
        EXPECT_EQ(reused, views[column]);
        EXPECT_EQ(rows.cell(2, column), column == 0 ? u"1" : u"");
    }
    CWString outside(u"x");
    rows->readCellText(3, kColumnName, outside);
    EXPECT_TRUE(outside.isEmpty());
    rows->setCellText(1, kColumnMode, CWString(u"下载"));
    EXPECT_EQ(rows.cell(1, kColumnMode), u"下载");
    EXPECT_EQ(rows.cell(1, kColumnSize), u"5");
}

} // namespace
