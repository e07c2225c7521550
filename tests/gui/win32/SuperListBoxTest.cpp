// The super list box under a real window system (Wine in the test runs).
#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"

#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/win32/VWnd_ListView.h"
#include "tests/gui/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace rg_quelt_WTLJieMian_base;
using namespace rg_quelt_WTLJieMian_KuoZhanZuJian;
using namespace quelt_gui;

namespace {

const char16_t kModuleColumns[] =
    u"0\n-1\n0\n50\n序号\n0\n-1\n0\n70\n方式\n0\n-1\n0\n200\n文件名称\n0\n-1\n0\n200\n"
    u"路径\n0\n-1\n0\n100\n更新时间\n0\n-1\n0\n70\n大小";

class ListForm : public CQueltWinForm {
public:
    ListForm() { setDesignClientSize(800, 600); }
    ~ListForm() override { teardown(); }

    rg_ChaoJiLieBiaoKuang list;
    std::vector<std::int32_t> seen;
    std::vector<std::u16string> texts;
    std::int32_t answer = 0;
    std::int32_t focusEvents = 0;

    // The form, then the list as the main window places its module lists.
    bool createWithList() {
        CQueltCreationRecord record;
        record.width = 800;
        record.height = 600;
        if (!create(record))
            return false;
        CQueltCreationRecord child;
        child.parentWindow = window();
        child.parentControl = this;
        child.x = 6;
        child.y = 20;
        child.width = 750;
        child.height = 420;
        child.identifier = 109;
        return list.create(child);
    }
    void moduleList() {
        list.setView(kViewReport);
        list.setGridLines(true);
        list.setFullRowSelect(true);
        list.setColumnDefinition(kModuleColumns);
    }
    HWND listWindow() const { return hwndOf(list); }
    CVWnd_ListView& impl() { return dynamic_cast<CVWnd_ListView&>(*list.windowObject().existingImpl()); }

    // The centre of a cell in list client coordinates.
    POINT cellCentre(int row, int column) {
        RECT r{};
        r.top = column;
        r.left = LVIR_LABEL;
        SendMessageW(listWindow(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void doubleClick(POINT p) {
        SendMessageW(listWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageW(listWindow(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        pump();
    }

    static std::int32_t onEndCell(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t row,
                                  std::int32_t column, CWString* text) {
        auto* f = static_cast<ListForm*>(self);
        f->seen.insert(f->seen.end(), {row, column});
        f->texts.emplace_back(text->view());
        return f->answer;
    }
    static std::int32_t onBeginCell(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t row,
                                    std::int32_t column) {
        auto* f = static_cast<ListForm*>(self);
        f->seen.insert(f->seen.end(), {100 + row, 100 + column});
        return 0;
    }
    static std::int32_t onBeginLabel(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t row) {
        auto* f = static_cast<ListForm*>(self);
        f->seen.push_back(200 + row);
        return f->answer;
    }
    static std::int32_t onEndLabel(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t row,
                                   CWString* text) {
        auto* f = static_cast<ListForm*>(self);
        f->seen.push_back(300 + row);
        f->texts.emplace_back(text->view());
        return f->answer;
    }
    static std::int32_t onRow(CQueltObject* self, CQueltObject*, std::int32_t userArgument,
                              std::int32_t row) {
        static_cast<ListForm*>(self)->seen.push_back(userArgument * 10 + row);
        return 0;
    }
    static std::int32_t onFill(CQueltObject* self, CQueltObject*, std::int32_t,
                               rg_ChaoJiLieBiaoKuangBiaoXiangTianChong* item) {
        static_cast<ListForm*>(self)->seen.push_back(item->checkState);
        item->text = CWString(u"行") + CWString::fromInteger(item->row).view();
        if (item->row == 0)
            item->checkState = -1;
        else if (item->row == 2)
            item->checkState = 1;
        return 0;
    }
    static std::int32_t onCheck(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t row,
                                std::int32_t state) {
        auto* f = static_cast<ListForm*>(self);
        f->seen.insert(f->seen.end(), {row, state});
        return 0;
    }
    static std::int32_t onDraw(CQueltObject* self, CQueltObject*, std::int32_t,
                               rg_ChaoJiLieBiaoKuangHuiZhiCanShu* p) {
        auto* f = static_cast<ListForm*>(self);
        if (p->row == 0)
            f->seen.push_back(p->column);
        p->textColour = 0x0000FF;
        return 0;
    }
    static std::int32_t onFocus(CQueltObject* self, CQueltObject*, std::int32_t) {
        ++static_cast<ListForm*>(self)->focusEvents;
        return 0;
    }
};

// Handles messages until `done` holds or the time is up; true when it held.
template <typename Done>
bool pumpUntil(Done done, int milliseconds = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

} // namespace

TEST(SuperListBoxTest, TheModuleColumnsAreCreatedWithTheirTitlesAndWidths) {
    ListForm form;
    form.moduleList();
    ASSERT_TRUE(form.createWithList());
    const HWND list = form.listWindow();
    EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    const auto ex = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(
        ex & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP),
        static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP));

    const std::u16string titles[] = {u"序号", u"方式", u"文件名称", u"路径", u"更新时间", u"大小"};
    const int widths[] = {50, 70, 200, 200, 100, 70};
    for (int i = 0; i < 6; ++i) {
        wchar_t title[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = title;
        column.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column))) << i;
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(title)), titles[i]);
        EXPECT_EQ(column.cx, widths[i]);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    LVCOLUMNW none{};
    none.mask = LVCF_WIDTH;
    EXPECT_FALSE(SendMessageW(list, LVM_GETCOLUMNW, 6, reinterpret_cast<LPARAM>(&none)));
    EXPECT_EQ(form.list.rowCount(), 0);
}

TEST(SuperListBoxTest, RowsAreAppendedWrittenReadAndCleared) {
    ListForm form;
    form.moduleList();
    ASSERT_TRUE(form.createWithList());
    rg_ChaoJiLieBiaoKuang& list = form.list;
    EXPECT_EQ(list.appendRow(u"1"), 0);
    EXPECT_EQ(list.appendRow(u"2"), 1);
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_TRUE(list.setCellText(1, 2, u"文件名称.ec"));
    EXPECT_TRUE(list.setCellText(1, 5, u"12 KB"));
    EXPECT_EQ(list.getCellText(1, 0).view(), u"2");
    EXPECT_EQ(list.getCellText(1, 2).view(), u"文件名称.ec");
    EXPECT_EQ(list.getCellText(1, 5).view(), u"12 KB");
    EXPECT_TRUE(list.getCellText(0, 2).isEmpty());
    // Outside the list: the list view's own failure comes back.
    EXPECT_FALSE(list.setCellText(7, 0, u"x"));
    EXPECT_TRUE(list.getCellText(7, 0).isEmpty());
    list.clearRows();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_TRUE(list.getCellText(0, 0).isEmpty());
    EXPECT_EQ(list.appendRow(u"again"), 0);

    // Once the window is gone the operations report nothing again.
    form.teardown();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.appendRow(u"x"), -1);
    EXPECT_TRUE(list.getCellText(0, 0).isEmpty());
}

TEST(SuperListBoxTest, RowsAddedWithRedrawOffAreThereAndTheListIsVisibleAgainAfterwards) {
    ListForm form;
    form.moduleList();
    ASSERT_TRUE(form.createWithList());
    ASSERT_TRUE(IsWindowVisible(form.listWindow()));
    form.list.setRedraw(false);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(form.list.appendRow(CWString::fromInteger(i)), i);
    ASSERT_TRUE(form.list.setCellText(49, 5, u"末"));
    form.list.setRedraw(true);
    pump();
    EXPECT_TRUE(IsWindowVisible(form.listWindow()));
    EXPECT_EQ(form.list.rowCount(), 50);
    EXPECT_EQ(form.list.getCellText(49, 5).view(), u"末");
    // The rows have their places: the last one lies below the first.
    RECT first{}, last{};
    first.left = last.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageW(form.listWindow(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)));
    ASSERT_TRUE(SendMessageW(form.listWindow(), LVM_GETITEMRECT, 49, reinterpret_cast<LPARAM>(&last)));
    EXPECT_GT(last.top, first.top);
}

TEST(SuperListBoxTest, ACellOfSixHundredCharactersComesBackWhole) {
    ListForm form;
    form.moduleList();
    ASSERT_TRUE(form.createWithList());
    std::u16string longText;
    for (int i = 0; i < 600; ++i)
        longText += static_cast<char16_t>(u'a' + i % 26);
    ASSERT_EQ(form.list.appendRow(u"1"), 0);
    ASSERT_TRUE(form.list.setCellText(0, 3, CWString(longText)));
    EXPECT_EQ(form.list.getCellText(0, 3).view(), longText);
    // Exactly one short of the first buffer, and exactly the first buffer's size.
    ASSERT_TRUE(form.list.setCellText(0, 4, CWString(longText.substr(0, 511))));
    EXPECT_EQ(form.list.getCellText(0, 4).length(), 511u);
    ASSERT_TRUE(form.list.setCellText(0, 4, CWString(longText.substr(0, 512))));
    EXPECT_EQ(form.list.getCellText(0, 4).length(), 512u);
}

TEST(SuperListBoxTest, ACellWriteFromAnotherThreadLandsWhileTheWindowsThreadPumpsAndTheWriterWaits) {
    ListForm form;
    form.moduleList();
    ASSERT_TRUE(form.createWithList());
    ASSERT_EQ(form.list.appendRow(u"1"), 0);
    std::atomic<bool> done{false};
    std::atomic<bool> written{false};
    std::atomic<int> appended{-2};
    std::thread writer([&] {
        written = form.list.setCellText(0, 4, u"2026-12-08 03:00");
        appended = form.list.appendRow(u"2");
        done = true;
    });
    // The window's thread is not taking messages: the writer has to wait.
    Sleep(200);
    EXPECT_FALSE(done.load());
    EXPECT_TRUE(form.list.getCellText(0, 4).isEmpty());
    const bool finished = pumpUntil([&] { return done.load(); });
    if (!finished)
        form.teardown(); // releases a writer stuck in its send
    writer.join();
    ASSERT_TRUE(finished);
    EXPECT_TRUE(written.load());
    EXPECT_EQ(appended.load(), 1);
    EXPECT_EQ(form.list.getCellText(0, 4).view(), u"2026-12-08 03:00");
    EXPECT_EQ(form.list.rowCount(), 2);
}

TEST(SuperListBoxTest, ADoubleClickOnColumnTwoOpensTheCellEditorOnlyWithEditCells) {
    for (bool editCells : {false, true}) {
        ListForm form;
        form.moduleList();
        form.list.setEditable(true);
        form.list.setEditCells(editCells);
        form.bindEvent(form.list, form.list.beginCellEdit, &ListForm::onBeginCell);
        ASSERT_TRUE(form.createWithList());
        ASSERT_EQ(form.list.appendRow(u"1"), 0);
        ASSERT_TRUE(form.list.setCellText(0, 2, u"old.ec"));
        form.doubleClick(form.cellCentre(0, 2));
        CVWnd_ListView& impl = form.impl();
        if (!editCells) {
            EXPECT_EQ(impl.editorWindow(), nullptr);
            EXPECT_EQ(impl.editingRow(), -1);
            EXPECT_TRUE(form.seen.empty());
            continue;
        }
        ASSERT_NE(impl.editorWindow(), nullptr);
        EXPECT_EQ(impl.editingRow(), 0);
        EXPECT_TRUE(IsWindowVisible(impl.editorWindow()));
        EXPECT_EQ(GetFocus(), impl.editorWindow());
        EXPECT_EQ(form.seen, (std::vector<std::int32_t>{100, 102}));
        wchar_t shown[32] = {};
        GetWindowTextW(impl.editorWindow(), shown, 32);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(shown)), u"old.ec");
        // Scrolling the list cancels the edit.
        SendMessageW(form.listWindow(), WM_VSCROLL, SB_LINEDOWN, 0);
        EXPECT_EQ(impl.editingRow(), -1);
        EXPECT_FALSE(IsWindowVisible(impl.editorWindow()));
    }
}

TEST(SuperListBoxTest, ADoubleClickOnColumnZeroStartsTheListsOwnLabelEditing) {
    ListForm form;
    form.moduleList();
    form.list.setEditable(true);
    ASSERT_TRUE(form.createWithList());
    ASSERT_EQ(form.list.appendRow(u"1"), 0);
    form.doubleClick(form.cellCentre(0, 0));
    HWND native = reinterpret_cast<HWND>(SendMessageW(form.listWindow(), LVM_GETEDITCONTROL, 0, 0));
    EXPECT_NE(native, nullptr);
    EXPECT_EQ(form.impl().editingRow(), -1);
    SendMessageW(form.listWindow(), LVM_CANCELEDITLABEL, 0, 0);
    pump();
}

TEST(SuperListBoxTest, TheCellEditorCommitsWhenItLosesTheFocusAndLeavesTheFocusWhereItWent) {
    ListForm form;
    form.moduleList();
    form.list.setEditable(true);
    form.list.setEditCells(true);
    form.bindEvent(form.list, form.list.endCellEdit, &ListForm::onEndCell);
    ASSERT_TRUE(form.createWithList());
    ASSERT_EQ(form.list.appendRow(u"1"), 0);
    CVWnd_ListView& impl = form.impl();
    form.doubleClick(form.cellCentre(0, 1));
    ASSERT_EQ(impl.editingRow(), 0);
    SetWindowTextW(impl.editorWindow(), L"强制");
    // Another input window of the form takes the focus.
    HWND other = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 500, 100, 20, hwndOf(form),
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetFocus(other);
    pump();
    EXPECT_EQ(impl.editingRow(), -1);
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(form.list.getCellText(0, 1).view(), u"强制");
    EXPECT_EQ(GetFocus(), other);
}

TEST(SuperListBoxTest, LabelEditHandlersCanPreventTheEditAndRejectTheNewText) {
    ListForm form;
    form.moduleList();
    form.list.setEditable(true);
    form.bindEvent(form.list, form.list.beginLabelEdit, &ListForm::onBeginLabel);
    form.bindEvent(form.list, form.list.endLabelEdit, &ListForm::onEndLabel);
    ASSERT_TRUE(form.createWithList());
    ASSERT_EQ(form.list.appendRow(u"甲"), 0);
    const HWND list = form.listWindow();
    SetFocus(list);

    form.answer = 1;
    EXPECT_EQ(SendMessageW(list, LVM_EDITLABELW, 0, 0), 0);
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{200}));

    // The begin handler lets it start; the end handler decides on the text.
    auto editTo = [&](const wchar_t* text, std::int32_t endAnswer) {
        form.answer = 0;
        HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_EDITLABELW, 0, 0));
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, text);
        form.answer = endAnswer;
        SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        pump();
    };
    form.seen.clear();
    editTo(L"乙", 1);
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{200, 300}));
    ASSERT_EQ(form.texts.size(), 1u);
    EXPECT_EQ(form.texts[0], u"乙");
    EXPECT_EQ(form.list.getCellText(0, 0).view(), u"甲");

    editTo(L"丙", 0);
    EXPECT_EQ(form.list.getCellText(0, 0).view(), u"丙");
}

TEST(SuperListBoxTest, FocusMovingToARowAndActivatingItAreReportedOnce) {
    ListForm form;
    form.moduleList();
    form.bindEvent(form.list, form.list.focusedItemChanged, &ListForm::onRow, 1);
    form.bindEvent(form.list, form.list.itemActivated, &ListForm::onRow, 2);
    ASSERT_TRUE(form.createWithList());
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(form.list.appendRow(CWString::fromInteger(i)), i);
    const HWND list = form.listWindow();
    auto focusRow = [&](int row) {
        LVITEMW state{};
        state.state = state.stateMask = LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    };
    focusRow(2);
    // A row that has the focus already does not get it again.
    focusRow(2);
    focusRow(1);
    // A double click (without its button-down) activates row 0 and leaves the focus.
    form.doubleClick(form.cellCentre(0, 1));
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{12, 11, 20}));
}

TEST(SuperListBoxTest, TheSpaceKeyReportsTheFocusedRowsCheckState) {
    ListForm form;
    form.moduleList();
    form.list.setCheckBoxes(true);
    form.bindEvent(form.list, form.list.checkStateChanged, &ListForm::onCheck);
    ASSERT_TRUE(form.createWithList());
    ASSERT_EQ(form.list.appendRow(u"1"), 0);
    ASSERT_EQ(form.list.appendRow(u"2"), 1);
    const HWND list = form.listWindow();
    LVITEMW focus{};
    focus.state = focus.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
    SendMessageW(list, WM_CHAR, L' ', 0);
    ASSERT_TRUE(pumpUntil([&] { return form.seen.size() >= 2; }, 2000));
    const auto state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK));
    EXPECT_EQ(form.seen[0], 1);
    EXPECT_EQ(form.seen[1], static_cast<std::int32_t>(state >> 12) - 1);
    // Another character reports nothing.
    form.seen.clear();
    SendMessageW(list, WM_CHAR, L'x', 0);
    pump();
    EXPECT_TRUE(form.seen.empty());
}

TEST(SuperListBoxTest, AnEndCellEditHandlerReturningNonZeroLeavesTheCellText) {
    ListForm form;
    form.moduleList();
    form.list.setEditable(true);
    form.list.setEditCells(true);
    form.bindEvent(form.list, form.list.endCellEdit, &ListForm::onEndCell);
    ASSERT_TRUE(form.createWithList());
    ASSERT_EQ(form.list.appendRow(u"1"), 0);
    ASSERT_TRUE(form.list.setCellText(0, 3, u"D:\\old"));
    CVWnd_ListView& impl = form.impl();
    auto editAndPress = [&](const wchar_t* text, WPARAM key) {
        form.doubleClick(form.cellCentre(0, 3));
        ASSERT_EQ(impl.editingRow(), 0);
        SetWindowTextW(impl.editorWindow(), text);
        // Through the queue, as typed: pre-translation sees the key first.
        PostMessageW(impl.editorWindow(), WM_KEYDOWN, key, 1);
        pump();
        EXPECT_EQ(impl.editingRow(), -1);
        EXPECT_FALSE(IsWindowVisible(impl.editorWindow()));
    };

    form.answer = 1;
    editAndPress(L"D:\\rejected", VK_RETURN);
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{0, 3}));
    ASSERT_EQ(form.texts.size(), 1u);
    EXPECT_EQ(form.texts[0], u"D:\\rejected");
    EXPECT_EQ(form.list.getCellText(0, 3).view(), u"D:\\old");
    EXPECT_EQ(GetFocus(), form.listWindow());

    // Esc cancels without asking the handler.
    editAndPress(L"D:\\cancelled", VK_ESCAPE);
    EXPECT_EQ(form.texts.size(), 1u);
    EXPECT_EQ(form.list.getCellText(0, 3).view(), u"D:\\old");

    form.answer = 0;
    editAndPress(L"D:\\new", VK_RETURN);
    EXPECT_EQ(form.list.getCellText(0, 3).view(), u"D:\\new");
}

TEST(SuperListBoxTest, ItemFillSuppliesTextAndAFillLeftAtMinusOneShowsNoCheckImage) {
    ListForm form;
    form.moduleList();
    form.list.setOwnerData(true);
    form.list.setCheckBoxes(true);
    form.list.setItemCount(3);
    form.bindEvent(form.list, form.list.itemFill, &ListForm::onFill);
    ASSERT_TRUE(form.createWithList());
    EXPECT_EQ(form.list.rowCount(), 3);
    const HWND list = form.listWindow();
    form.seen.clear();
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK), 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 2, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
    // The handler starts from "unchecked".
    ASSERT_FALSE(form.seen.empty());
    EXPECT_EQ(form.seen.front(), 0);
    EXPECT_EQ(form.list.getCellText(1, 0).view(), u"行1");
}

TEST(SuperListBoxTest, ADoubleClickOnACheckBoxReportsItsStateAfterwardsAndOpensNoEditor) {
    ListForm form;
    form.moduleList();
    form.list.setCheckBoxes(true);
    form.list.setEditable(true);
    form.list.setEditCells(true);
    form.bindEvent(form.list, form.list.checkStateChanged, &ListForm::onCheck);
    ASSERT_TRUE(form.createWithList());
    ASSERT_EQ(form.list.appendRow(u"1"), 0);
    const HWND list = form.listWindow();
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds)));
    POINT onBox{-1, (bounds.top + bounds.bottom) / 2};
    for (int x = bounds.left; x < bounds.left + 40 && onBox.x < 0; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = {x, onBox.y};
        SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.iItem == 0 && (hit.flags & LVHT_ONITEM) == LVHT_ONITEMSTATEICON)
            onBox.x = x;
    }
    ASSERT_GE(onBox.x, 0) << "no check box found in row 0";
    form.doubleClick(onBox);
    ASSERT_TRUE(pumpUntil([&] { return form.seen.size() >= 2; }, 2000));
    const auto state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK));
    EXPECT_EQ(form.seen[0], 0);
    EXPECT_EQ(form.seen[1], static_cast<std::int32_t>(state >> 12) - 1);
    EXPECT_EQ(form.impl().editingRow(), -1);
}

TEST(SuperListBoxTest, DrawParametersFireForEveryCellOfARowAndFocusEventsFireOnce) {
    ListForm form;
    form.moduleList();
    form.bindEvent(form.list, form.list.drawParameters, &ListForm::onDraw);
    form.bindEvent(form.list, form.list.gotFocus, &ListForm::onFocus);
    ASSERT_TRUE(form.createWithList());
    ShowWindow(form.listWindow(), SW_SHOW);
    ASSERT_EQ(form.list.appendRow(u"1"), 0);
    form.seen.clear();
    RedrawWindow(form.listWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    pump();
    for (int column = 0; column < 6; ++column)
        EXPECT_NE(std::find(form.seen.begin(), form.seen.end(), column), form.seen.end()) << column;

    SetFocus(nullptr);
    pump();
    form.focusEvents = 0;
    SetFocus(form.listWindow());
    pump();
    EXPECT_EQ(GetFocus(), form.listWindow());
    EXPECT_EQ(form.focusEvents, 1);
}

TEST(SuperListBoxTest, ColoursAndTheCurrentItemAreAppliedAtCreation) {
    ListForm form;
    form.moduleList();
    form.list.setTextColour(0x00336699);
    form.list.setBackgroundColour(kSystemFaceColour);
    form.list.setItemsDefinition(u"0\n-1\n-1\n0\n0\na\n\n0\n-1\n-1\n0\n0\nb\n\n0\n-1\n-1\n0\n0\nc\n");
    form.list.setCurrentItem(1);
    ASSERT_TRUE(form.createWithList());
    const HWND list = form.listWindow();
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)), 0x00336699u);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0)), 0xFFFFFFu);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
}

TEST(SuperListBoxTest, ItemsDefinitionFillsRowsAndSubItemsAndGivesEachRowItsTip) {
    ListForm form;
    form.moduleList();
    form.list.setItemsDefinition(u"0\n-1\n-1\n0\n41\n甲\n第一行很长\n"
                                 u"1\n-1\n-1\n0\n0\n甲二\n\n"
                                 u"0\n-1\n-1\n0\n42\n乙\n第二行");
    ASSERT_TRUE(form.createWithList());
    EXPECT_EQ(form.list.rowCount(), 2);
    EXPECT_EQ(form.list.getCellText(0, 1).view(), u"甲二");
    EXPECT_EQ(form.list.getCellText(1, 0).view(), u"乙");
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = 1;
    ASSERT_TRUE(SendMessageW(form.listWindow(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.lParam, 42);

    auto tipOf = [&](int row) {
        wchar_t buffer[8] = {L'?', 0};
        NMLVGETINFOTIPW tip{};
        tip.hdr.hwndFrom = form.listWindow();
        tip.hdr.code = LVN_GETINFOTIPW;
        tip.pszText = buffer;
        tip.cchTextMax = 4;
        tip.iItem = row;
        SendMessageW(GetParent(form.listWindow()), WM_NOTIFY, 109, reinterpret_cast<LPARAM>(&tip));
        return std::u16string(reinterpret_cast<const char16_t*>(buffer));
    };
    EXPECT_EQ(tipOf(1), u"第二行");
    EXPECT_EQ(tipOf(0), u"第一行"); // cut to the buffer
    EXPECT_EQ(tipOf(2), u"?");
    EXPECT_EQ(tipOf(-1), u"?");
}
