// A module tab's row table with its virtual list under a real window system (Wine
// in the test runs): what the list view is told, and when, for changes made on the
// window's thread and on others.
#include "windows/ListBoxRowTable.h"

#include "WindowDriver.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

using namespace rg_quelt_app;
using namespace rg_quelt_WTLJieMian_base;
using namespace rg_quelt_WTLJieMian_KuoZhanZuJian;

namespace {

const char16_t kFolder[] = u"C:\\modules";

CWString nameOf(std::size_t row) {
    return CWString(u"m") + CWString::fromInteger(static_cast<std::int64_t>(row)).view() + u".ext";
}
CWString pathOf(std::size_t row) { return CWString(u"lib\\") + nameOf(row).view(); }
CWString localFileOf(std::size_t row) { return CWString(kFolder) + u"\\" + pathOf(row).view(); }

// A form with one virtual module list shown from a row table, as the main window
// makes its tabs.
class TableForm : public CQueltWinForm {
public:
    TableForm() {
        setDesignClientSize(800, 600);
        list.setView(kViewReport);
        list.setFullRowSelect(true);
        list.setColumnDefinition(kModuleListColumns);
        list.setOwnerData(true);
        CQueltCreationRecord record;
        record.width = 800;
        record.height = 600;
        created = create(record);
        bindEvent(list, list.itemFill, &TableForm::onFill);
        CQueltCreationRecord child;
        child.parentWindow = window();
        child.parentControl = this;
        child.x = 6;
        child.y = 20;
        child.width = 750;
        child.height = 420;
        created = created && list.create(child);
        table = new ListBoxRowTable(list);
        ShowWindow(hwnd(), SW_SHOW);
        pump();
    }
    ~TableForm() override {
        teardown();
        table->detach();
        table->release();
    }

    HWND hwnd() const { return reinterpret_cast<HWND>(window()); }
    HWND listWindow() const { return hwndOf(list); }
    int listCount() const { return static_cast<int>(SendMessageW(listWindow(), LVM_GETITEMCOUNT, 0, 0)); }

    // Replaces the rows by `count` rows as a check does, the list's redraw held.
    void fill(std::size_t count) {
        table->holdRedraw(true);
        table->clearRows();
        for (std::size_t row = 0; row < count; ++row) {
            CWString cells[kColumnCount] = {CWString::fromInteger(static_cast<std::int64_t>(row + 1)),
                                            CWString(),
                                            nameOf(row),
                                            pathOf(row),
                                            CWString(u"2024-01-31 08:05:00"),
                                            CWString(u"1")};
            table->appendFilledRow(cells);
        }
        table->holdRedraw(false);
    }
    // Paints what is due, so that afterwards the list has nothing left to repaint.
    void paintAll() {
        pump();
        RedrawWindow(listWindow(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    RECT rowRect(int row) const {
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessageW(listWindow(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // Handles the posted messages only, not the paints they may cause; how many of
    // them were for a notice receiver.
    int handlePostedMessages() {
        int notices = 0;
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) {
            if (m.hwnd && window_driver::className(m.hwnd) == L"_QUELT_IQueltNoticeReceiver")
                ++notices;
            DispatchMessageW(&m);
        }
        return notices;
    }

    bool created = false;
    rg_ChaoJiLieBiaoKuang list;
    ListBoxRowTable* table = nullptr;

private:
    static std::int32_t onFill(CQueltObject* self, CQueltObject*, std::int32_t,
                               rg_ChaoJiLieBiaoKuangBiaoXiangTianChong* item) {
        static_cast<TableForm*>(self)->table->fillCell(*item);
        return 0;
    }
};

std::u16string listCell(const TableForm& form, int row, int column) {
    return std::u16string(form.list.getCellText(row, column).view());
}

} // namespace

TEST(ListBoxRowTableTest, AFillReachesTheListOnceWhenTheHoldEndsAndTheListShowsTheTablesCells) {
    TableForm form;
    ASSERT_TRUE(form.created);
    form.table->holdRedraw(true);
    for (int row = 0; row < 3000; ++row)
        form.table->appendRow(CWString::fromInteger(row + 1));
    EXPECT_EQ(form.listCount(), 0) << "the list heard of rows while the hold lasted";
    form.table->setCellText(2999, kColumnName, CWString(u"last.ext"));
    form.table->holdRedraw(false);
    EXPECT_EQ(form.listCount(), 3000);
    EXPECT_EQ(form.list.rowCount(), 3000);
    EXPECT_EQ(listCell(form, 0, kColumnOrdinal), u"1");
    EXPECT_EQ(listCell(form, 2999, kColumnName), u"last.ext");
    EXPECT_EQ(listCell(form, 3000, kColumnName), u"");
    // The rows are the owner's: the list's own row writes do nothing.
    EXPECT_EQ(form.list.appendRow(CWString(u"x")), -1);
    EXPECT_FALSE(form.list.setCellText(0, kColumnName, CWString(u"x")));
    EXPECT_EQ(listCell(form, 0, kColumnName), u"");

    // Without a hold the list hears of new rows on the next turn of the message
    // loop, of all of them at once.
    for (int row = 3000; row < 6000; ++row)
        form.table->appendRow(CWString::fromInteger(row + 1));
    EXPECT_EQ(form.listCount(), 3000);
    EXPECT_EQ(form.handlePostedMessages(), 1);
    EXPECT_EQ(form.listCount(), 6000);
    EXPECT_EQ(listCell(form, 5999, kColumnOrdinal), u"6000");
}

TEST(ListBoxRowTableTest, ARefillReplacesTheRowsAndLeavesNoSelectionFocusOrScrollingBehind) {
    TableForm form;
    ASSERT_TRUE(form.created);
    form.fill(1000);
    LVITEMW state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(form.listWindow(), LVM_SETITEMSTATE, 700, reinterpret_cast<LPARAM>(&state));
    SendMessageW(form.listWindow(), LVM_ENSUREVISIBLE, 700, FALSE);
    ASSERT_GT(SendMessageW(form.listWindow(), LVM_GETTOPINDEX, 0, 0), 0);

    form.fill(300);
    EXPECT_EQ(form.listCount(), 300);
    EXPECT_EQ(SendMessageW(form.listWindow(), LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(form.listWindow(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), -1);
    EXPECT_EQ(SendMessageW(form.listWindow(), LVM_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(listCell(form, 299, kColumnName), u"m299.ext");
    EXPECT_EQ(listCell(form, 300, kColumnName), u"");
}

TEST(ListBoxRowTableTest, WritesFromAnotherThreadNeverWaitAndRepaintOnlyTheirRowsInView) {
    TableForm form;
    ASSERT_TRUE(form.created);
    form.fill(1000);
    form.paintAll();
    ASSERT_FALSE(GetUpdateRect(form.listWindow(), nullptr, FALSE));

    // The window's thread takes no message while the other thread writes: a write
    // that waited for it would never end.
    auto writeFrom = [&](auto write) {
        auto done = std::async(std::launch::async, write);
        return done.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    };
    ASSERT_TRUE(writeFrom([&] {
        EXPECT_TRUE(
            form.table->setCellTextIfShows(3, kColumnMode, CWString(u"成功"), nameOf(3), localFileOf(3)));
    }));
    EXPECT_FALSE(GetUpdateRect(form.listWindow(), nullptr, FALSE)) << "repainted before the notice arrived";
    EXPECT_EQ(form.handlePostedMessages(), 1);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(form.listWindow(), &update, FALSE));
    const RECT row3 = form.rowRect(3);
    EXPECT_EQ(update.top, row3.top);
    EXPECT_EQ(update.bottom, row3.bottom);
    EXPECT_EQ(listCell(form, 3, kColumnMode), u"成功");

    // A row out of view changes without any repaint.
    form.paintAll();
    ASSERT_TRUE(writeFrom([&] {
        EXPECT_TRUE(form.table->setCellTextIfShows(900, kColumnMode, CWString(u"下载失败"), nameOf(900),
                                                   localFileOf(900)));
    }));
    form.handlePostedMessages();
    EXPECT_FALSE(GetUpdateRect(form.listWindow(), nullptr, FALSE));
    EXPECT_EQ(listCell(form, 900, kColumnMode), u"下载失败");

    // A burst of progress and outcomes is one notice and one repaint of the rows
    // in view.
    form.paintAll();
    ASSERT_TRUE(writeFrom([&] {
        for (std::size_t row = 0; row < 1000; ++row) {
            form.table->setCellTextIfShows(row, kColumnMode, CWString(u"下载中 50%"), nameOf(row),
                                           localFileOf(row));
            form.table->setCellTextIfShows(row, kColumnMode, CWString(u"成功"), nameOf(row),
                                           localFileOf(row));
        }
    }));
    EXPECT_EQ(form.handlePostedMessages(), 1);
    ASSERT_TRUE(GetUpdateRect(form.listWindow(), &update, FALSE));
    const int perPage = static_cast<int>(SendMessageW(form.listWindow(), LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_EQ(update.top, form.rowRect(0).top);
    EXPECT_GE(update.bottom, form.rowRect(perPage - 1).bottom);
    EXPECT_EQ(listCell(form, 999, kColumnMode), u"成功");
}

TEST(ListBoxRowTableTest, AnOutcomeLandsOnlyInTheRowThatStillShowsItsFile) {
    TableForm form;
    ASSERT_TRUE(form.created);
    form.fill(10);
    struct Case {
        std::size_t row;
        CWString name;
        CWString localFile;
        bool lands;
    };
    const Case cases[] = {
        {4, nameOf(4), localFileOf(4), true},
        {5, nameOf(4), localFileOf(4), false},                 // the row shows another file
        {6, nameOf(6), CWString(u"C:\\other\\m6.ext"), false}, // same name, another path
        {10, nameOf(10), localFileOf(10), false},              // past the last row
    };
    for (const Case& c : cases) {
        std::thread writer([&] {
            EXPECT_EQ(
                form.table->setCellTextIfShows(c.row, kColumnMode, CWString(u"成功"), c.name, c.localFile),
                c.lands)
                << c.row;
        });
        writer.join();
        EXPECT_EQ(form.table->getCellText(c.row, kColumnMode).view() == u"成功", c.lands) << c.row;
    }

    // A refill from the window's thread while outcomes keep coming: they land only
    // where the new rows show their files.
    form.fill(3);
    std::thread late([&] {
        EXPECT_FALSE(
            form.table->setCellTextIfShows(4, kColumnMode, CWString(u"成功"), nameOf(4), localFileOf(4)));
    });
    late.join();
    form.handlePostedMessages();
    EXPECT_EQ(form.listCount(), 3);
}

TEST(ListBoxRowTableTest, ADetachedTableIsAbandonedEmptyAndIgnoresWritesFromAnyThread) {
    TableForm form;
    ASSERT_TRUE(form.created);
    form.fill(10);
    form.table->addRef(); // the worker's reference
    ListBoxRowTable* table = form.table;
    EXPECT_FALSE(table->abandoned());
    table->detach();
    EXPECT_TRUE(table->abandoned());
    EXPECT_EQ(table->rowCount(), 0u);
    std::thread worker([&] {
        EXPECT_FALSE(table->setCellTextIfShows(1, kColumnMode, CWString(u"成功"), nameOf(1), localFileOf(1)));
        table->appendRow(CWString(u"1"));
        table->setCellText(0, kColumnMode, CWString(u"成功"));
        EXPECT_EQ(table->rowCount(), 0u);
        // The worker lets go last, on its own thread.
        table->release();
    });
    worker.join();
    EXPECT_EQ(form.handlePostedMessages(), 0);
}

TEST(ListBoxRowTableTest, TypingTheStartOfAnOrdinalFindsItsRow) {
    TableForm form;
    ASSERT_TRUE(form.created);
    form.fill(200);
    SetFocus(form.listWindow());
    LVITEMW state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(form.listWindow(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    const auto focused = [&] {
        return SendMessageW(form.listWindow(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    };
    // "1", then "15": the rows with ordinals 10 (after the focused 1) and 15.
    SendMessageW(form.listWindow(), WM_CHAR, L'1', 1);
    EXPECT_EQ(focused(), 9);
    SendMessageW(form.listWindow(), WM_CHAR, L'5', 1);
    EXPECT_EQ(focused(), 14);
    // "159" is row 158; nothing starts with "159x", so the focus stays there.
    SendMessageW(form.listWindow(), WM_CHAR, L'9', 1);
    SendMessageW(form.listWindow(), WM_CHAR, L'x', 1);
    EXPECT_EQ(focused(), 158);
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = L"42";
    EXPECT_EQ(SendMessageW(form.listWindow(), LVM_FINDITEMW, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(&find)),
              41);
    find.psz = L"4200";
    EXPECT_EQ(SendMessageW(form.listWindow(), LVM_FINDITEMW, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(&find)),
              -1);
}
