// The standard controls' windows under a real window system (Wine in the test runs).
#include "runtime/gui/ControlStyles.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_FenZuKuang.h"
#include "runtime/gui/rg_XuanZeGa.h"
#include "runtime/gui/rg_button1.h"
#include "runtime/gui/rg_check_box.h"
#include "runtime/gui/rg_edit_box.h"
#include "runtime/gui/rg_label1.h"
#include "tests/gui/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

using namespace rg_quelt_WTLJieMian_base;
using namespace quelt_gui;

namespace {

class ControlsForm : public CQueltWinForm {
public:
    ControlsForm() { setDesignClientSize(640, 480); }
    ~ControlsForm() override { teardown(); }

    int clicks = 0;
    int changes = 0;
    int selectionChanges = 0;
    int spins = 0;
    std::int32_t lastSpin = 0;
    std::int32_t changingAnswer = 0;
    int changingCalls = 0;

    // The text of `watched` when its lost focus event fired.
    HWND watched = nullptr;
    std::wstring textAtLostFocus = L"(none)";
    static std::int32_t onLostFocus(CQueltObject* self, CQueltObject*, std::int32_t) {
        auto* f = static_cast<ControlsForm*>(self);
        wchar_t buffer[64] = {};
        GetWindowTextW(f->watched, buffer, 64);
        f->textAtLostFocus = buffer;
        return 0;
    }
    static std::int32_t onClicked(CQueltObject* self, CQueltObject*, std::int32_t) {
        ++static_cast<ControlsForm*>(self)->clicks;
        return 0;
    }
    static std::int32_t onChanged(CQueltObject* self, CQueltObject*, std::int32_t) {
        ++static_cast<ControlsForm*>(self)->changes;
        return 0;
    }
    static std::int32_t onSelectionChanged(CQueltObject* self, CQueltObject*, std::int32_t) {
        ++static_cast<ControlsForm*>(self)->selectionChanges;
        return 0;
    }
    static std::int32_t onSelectionChanging(CQueltObject* self, CQueltObject*, std::int32_t) {
        auto* f = static_cast<ControlsForm*>(self);
        ++f->changingCalls;
        return f->changingAnswer;
    }
    static std::int32_t onSpin(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t direction) {
        auto* f = static_cast<ControlsForm*>(self);
        ++f->spins;
        f->lastSpin = direction;
        return 0;
    }
    static std::int32_t onLabel(CQueltObject*, CQueltObject*, std::int32_t, std::uintptr_t wparam,
                                std::intptr_t lparam) {
        return static_cast<std::int32_t>(wparam) + static_cast<std::int32_t>(lparam);
    }
};

class StandardControlWindows : public ::testing::Test {
protected:
    ControlsForm form;

    void SetUp() override {
        CQueltCreationRecord record;
        ASSERT_TRUE(form.create(record));
        ShowWindow(hwndOf(form), SW_SHOW);
        pump();
    }

    // Places `control` on `parent` (the form when null) at a fixed spot.
    bool place(CQueltWinControl& control, std::int32_t identifier, CQueltWinControl* parent = nullptr,
               std::int32_t page = -1, std::int32_t height = 28) {
        CQueltWinControl& owner = parent ? *parent : form;
        CQueltCreationRecord record;
        record.parentWindow = owner.window();
        record.parentControl = &owner;
        record.x = 10;
        record.y = 40;
        record.width = 120;
        record.height = height;
        record.identifier = identifier;
        record.pageIndex = page;
        return control.create(record);
    }

    static std::u16string textOf(HWND window) {
        wchar_t buffer[256] = {};
        GetWindowTextW(window, buffer, 256);
        return std::u16string(reinterpret_cast<const char16_t*>(buffer));
    }

    static void type(HWND window, std::u16string_view text) {
        for (char16_t c : text)
            SendMessageW(window, WM_CHAR, c, 0);
    }

    // Clicks the tab `index` the way a user does.
    static void clickTab(HWND tab, int index) {
        RECT item{};
        ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(tab, WM_LBUTTONUP, 0, at);
        pump();
    }
};

TEST_F(StandardControlWindows, AButtonClickFiresClickedOnce) {
    rg_button1 button;
    form.bindEvent(button, button.clicked, &ControlsForm::onClicked);
    button.setCaption(u"检查更新");
    ASSERT_TRUE(place(button, 301));
    HWND w = hwndOf(button);
    EXPECT_EQ(GetDlgCtrlID(w), 301);
    EXPECT_EQ(textOf(w), u"检查更新");
    SendMessageW(w, BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(form.clicks, 1);
    // A real press and release over the button.
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    pump();
    EXPECT_EQ(form.clicks, 2);
}

TEST_F(StandardControlWindows, CheckBoxFollowsItsClicks) {
    rg_check_box check;
    EXPECT_FALSE(check.isChecked());
    form.bindEvent(check, check.clicked, &ControlsForm::onClicked);
    ASSERT_TRUE(place(check, 302));
    HWND w = hwndOf(check);
    EXPECT_EQ(GetWindowLongPtrW(w, GWL_STYLE) & 0xF, BS_AUTOCHECKBOX);
    EXPECT_FALSE(check.isChecked());
    SendMessageW(w, BM_CLICK, 0, 0);
    EXPECT_TRUE(check.isChecked());
    SendMessageW(w, BM_CLICK, 0, 0);
    EXPECT_FALSE(check.isChecked());
    EXPECT_EQ(form.clicks, 2);
    SendMessageW(w, BM_SETCHECK, BST_CHECKED, 0);
    DestroyWindow(w);
    EXPECT_FALSE(check.isChecked());
}

TEST_F(StandardControlWindows, ADefaultPushButtonBecomesTheFormsDefaultButton) {
    rg_FenZuKuang group;
    ASSERT_TRUE(place(group, 310, nullptr, -1, 200));
    rg_button1 button;
    button.windowObject().setStyle(button.windowObject().style() | kBsDefPushButton);
    EXPECT_EQ(form.defaultButton(), 0);
    ASSERT_TRUE(place(button, 311, &group));
    EXPECT_EQ(form.defaultButton(), 311);
    EXPECT_EQ(SendMessageW(hwndOf(form), DM_GETDEFID, 0, 0), MAKELRESULT(311, DC_HASDEFID));
    // Enter in another control of the form presses it.
    form.bindEvent(button, button.clicked, &ControlsForm::onClicked);
    rg_edit_box edit;
    ASSERT_TRUE(place(edit, 312));
    SetFocus(hwndOf(edit));
    PostMessageW(hwndOf(edit), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(hwndOf(edit), WM_KEYUP, VK_RETURN, 0xC0000001);
    pump();
    EXPECT_EQ(form.clicks, 1);
}

TEST_F(StandardControlWindows, ButtonsInAGroupBoxStillReportTheirClicks) {
    rg_FenZuKuang group;
    group.setCaption(u"功能");
    ASSERT_TRUE(place(group, 320, nullptr, -1, 200));
    EXPECT_EQ(GetWindowLongPtrW(hwndOf(group), GWL_STYLE) & 0xF, BS_GROUPBOX);
    rg_button1 button;
    form.bindEvent(button, button.clicked, &ControlsForm::onClicked);
    ASSERT_TRUE(place(button, 321, &group));
    EXPECT_EQ(GetParent(hwndOf(button)), hwndOf(group));
    SendMessageW(hwndOf(button), BM_CLICK, 0, 0);
    EXPECT_EQ(form.clicks, 1);
}

TEST_F(StandardControlWindows, ButtonColoursAnswerTheColourMessages) {
    rg_check_box check;
    check.setTextColour(RGB(200, 0, 0));
    check.setBackgroundColour(RGB(0, 0, 120));
    ASSERT_TRUE(place(check, 330));
    HDC dc = GetDC(hwndOf(check));
    ASSERT_NE(dc, nullptr);
    const LRESULT brush = SendMessageW(hwndOf(form), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(hwndOf(check)));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 120));
    LOGBRUSH info{};
    ASSERT_NE(GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(info), &info), 0);
    EXPECT_EQ(info.lbColor, RGB(0, 0, 120));
    ReleaseDC(hwndOf(check), dc);
}

TEST_F(StandardControlWindows, ReadOnlyAndPasswordModes) {
    rg_edit_box readOnly;
    readOnly.setInputMode(1);
    ASSERT_TRUE(place(readOnly, 340));
    HWND r = hwndOf(readOnly);
    EXPECT_NE(GetWindowLongPtrW(r, GWL_STYLE) & ES_READONLY, 0);
    type(r, u"abc");
    EXPECT_EQ(textOf(r), u"");
    readOnly.setCaption(u"D:\\modules");
    EXPECT_EQ(textOf(r), u"D:\\modules"); // the program still fills it

    rg_edit_box password;
    password.setInputMode(2);
    password.setPasswordChar(u'#');
    ASSERT_TRUE(place(password, 341));
    HWND p = hwndOf(password);
    EXPECT_EQ(SendMessageW(p, EM_GETPASSWORDCHAR, 0, 0), u'#');
    type(p, u"s3cret");
    EXPECT_EQ(textOf(p), u"s3cret");
    // A mode change applies at once: no mask, typing allowed again.
    password.setInputMode(0);
    EXPECT_EQ(SendMessageW(p, EM_GETPASSWORDCHAR, 0, 0), 0);
    readOnly.setInputMode(0);
    EXPECT_EQ(GetWindowLongPtrW(r, GWL_STYLE) & ES_READONLY, 0);
    SendMessageW(r, EM_SETSEL, 10, 10);
    type(r, u"x");
    EXPECT_EQ(textOf(r), u"D:\\modulesx");
}

TEST_F(StandardControlWindows, ByteModeFiltersAndNormalisesWhenTheFocusLeaves) {
    rg_edit_box edit;
    edit.setInputMode(5);
    form.bindEvent(edit, edit.contentChanged, &ControlsForm::onChanged);
    form.bindEvent(edit, edit.lostFocus, &ControlsForm::onLostFocus);
    ASSERT_TRUE(place(edit, 350));
    form.watched = hwndOf(edit);
    rg_edit_box other;
    ASSERT_TRUE(place(other, 351));
    HWND e = hwndOf(edit);
    SetFocus(e);
    type(e, u"-3a0.0");
    EXPECT_EQ(textOf(e), u"300");
    EXPECT_EQ(form.changes, 3);
    SetFocus(hwndOf(other));
    pump();
    EXPECT_EQ(textOf(e), u"255");
    // Lost focus comes after the normalisation.
    EXPECT_EQ(form.textAtLostFocus, L"255");
    // The box's own rewrite is not a content change.
    EXPECT_EQ(form.changes, 3);
    SetFocus(e);
    SetWindowTextW(e, L"0");
    SetFocus(hwndOf(other));
    EXPECT_EQ(textOf(e), u"");
}

TEST_F(StandardControlWindows, ShortModeClampsWhenTheFocusLeaves) {
    rg_edit_box edit;
    edit.setInputMode(6);
    ASSERT_TRUE(place(edit, 352));
    rg_button1 other;
    ASSERT_TRUE(place(other, 353));
    HWND e = hwndOf(edit);
    SetFocus(e);
    type(e, u"40000");
    SetFocus(hwndOf(other));
    EXPECT_EQ(textOf(e), u"32767");
}

TEST_F(StandardControlWindows, ASingleLineBoxCentresOneTextLine) {
    rg_edit_box edit;
    ASSERT_TRUE(place(edit, 354, nullptr, -1, 60));
    HWND e = hwndOf(edit);
    RECT client{};
    GetClientRect(e, &client);
    HDC dc = GetDC(e);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(e, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(e, dc);
    EXPECT_EQ(client.bottom - client.top, metrics.tmHeight);
    // A box lower than a line grows to hold one.
    rg_edit_box low;
    ASSERT_TRUE(place(low, 355, nullptr, -1, 4));
    RECT window{};
    GetWindowRect(hwndOf(low), &window);
    EXPECT_GE(window.bottom - window.top, metrics.tmHeight + 2 * GetSystemMetrics(SM_CYEDGE) + 2);
}

TEST_F(StandardControlWindows, AutomaticSpinWrapsAroundItsRange) {
    rg_edit_box edit;
    edit.setSpinMode(rg_edit_box::kSpinAutomatic);
    edit.setSpinMinimum(3);
    edit.setSpinMaximum(-2);
    ASSERT_TRUE(place(edit, 360));
    HWND spin = GetDlgItem(hwndOf(form), 1360);
    ASSERT_NE(spin, nullptr);
    const LRESULT range = SendMessageW(spin, UDM_GETRANGE, 0, 0);
    EXPECT_EQ(static_cast<short>(HIWORD(range)), -2); // the minimum
    EXPECT_EQ(static_cast<short>(LOWORD(range)), 3);
    auto step = [&](int delta) {
        NMUPDOWN notice{};
        notice.hdr.hwndFrom = spin;
        notice.hdr.idFrom = 1360;
        notice.hdr.code = UDN_DELTAPOS;
        notice.iDelta = delta;
        SendMessageW(hwndOf(form), WM_NOTIFY, 1360, reinterpret_cast<LPARAM>(&notice));
        return textOf(hwndOf(edit));
    };
    edit.setCaption(u"2");
    EXPECT_EQ(step(1), u"3");
    EXPECT_EQ(step(1), u"-2");
    EXPECT_EQ(step(-1), u"3");
    // The spin button goes with the box.
    ShowWindow(hwndOf(edit), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(spin));
    EXPECT_EQ(step(1), u"3"); // no step while hidden
    ShowWindow(hwndOf(edit), SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(spin));
    EnableWindow(hwndOf(edit), FALSE);
    EXPECT_FALSE(IsWindowEnabled(spin));
}

TEST_F(StandardControlWindows, ManualSpinFiresTheDirection) {
    rg_edit_box edit;
    edit.setSpinMode(rg_edit_box::kSpinManual);
    form.bindEvent(edit, edit.spin, &ControlsForm::onSpin);
    ASSERT_TRUE(place(edit, 362));
    HWND spin = GetDlgItem(hwndOf(form), 1362);
    ASSERT_NE(spin, nullptr);
    NMUPDOWN notice{};
    notice.hdr.hwndFrom = spin;
    notice.hdr.idFrom = 1362;
    notice.hdr.code = UDN_DELTAPOS;
    notice.iDelta = -3;
    SendMessageW(hwndOf(form), WM_NOTIFY, 1362, reinterpret_cast<LPARAM>(&notice));
    EXPECT_EQ(form.spins, 1);
    EXPECT_EQ(form.lastSpin, -1);
    // A multi-line box has no spin button.
    rg_edit_box multi;
    multi.setMultiLine(true);
    multi.setSpinMode(rg_edit_box::kSpinManual);
    ASSERT_TRUE(place(multi, 363));
    EXPECT_EQ(GetDlgItem(hwndOf(form), 1363), nullptr);
}

TEST_F(StandardControlWindows, LabelAnswersItsNotificationAndKeepsAFontCopy) {
    rg_label1 label;
    form.bindEvent(label, label.labelNotification, &ControlsForm::onLabel);
    label.setCaption(u"服务器域名：");
    ASSERT_TRUE(place(label, 370));
    HWND l = hwndOf(label);
    EXPECT_EQ(SendMessageW(l, kMsgLabelNotify, 40, 2), 42);
    EXPECT_EQ(SendMessageW(l, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    HFONT given = CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    ASSERT_NE(given, nullptr);
    label.setFont(reinterpret_cast<std::uintptr_t>(given));
    HFONT kept = reinterpret_cast<HFONT>(SendMessageW(l, WM_GETFONT, 0, 0));
    EXPECT_NE(kept, given);
    DeleteObject(given);
    LOGFONTW face{};
    ASSERT_NE(GetObjectW(kept, sizeof(face), &face), 0);
    EXPECT_EQ(face.lfHeight, -20);
    EXPECT_EQ(face.lfWeight, FW_BOLD);
    UpdateWindow(l); // paints with the copy
}

class TabPages : public StandardControlWindows {
protected:
    rg_XuanZeGa tab;
    rg_button1 onFirst, onSecond, hiddenOnSecond, offPage;

    void SetUp() override {
        StandardControlWindows::SetUp();
        tab.setCaptions(u"A\n0\nB\n0\nC\n0");
        ASSERT_TRUE(place(tab, 380, nullptr, -1, 300));
        SetWindowPos(hwndOf(tab), nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
        ASSERT_TRUE(place(onFirst, 381, &tab, 0));
        ASSERT_TRUE(place(onSecond, 382, &tab, 1));
        hiddenOnSecond.windowObject().setStyle(hiddenOnSecond.windowObject().style() & ~WS_VISIBLE);
        ASSERT_TRUE(place(hiddenOnSecond, 383, &tab, 1));
        ASSERT_TRUE(place(offPage, 384, &tab, -1));
        pump(); // the posted page update
    }
};

TEST_F(TabPages, CaptionsMakeTheTabsAndOnlyTheFirstPageShows) {
    EXPECT_EQ(SendMessageW(hwndOf(tab), TCM_GETITEMCOUNT, 0, 0), 3);
    wchar_t caption[16] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = 16;
    ASSERT_TRUE(SendMessageW(hwndOf(tab), TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(std::wstring(caption), L"B");
    EXPECT_EQ(tab.currentSelection(), 0);
    std::int32_t selection = -5;
    EXPECT_EQ(
        SendMessageW(hwndOf(tab), kMsgGetTabSelection, reinterpret_cast<WPARAM>(&selection), kFrameworkMagic),
        kFrameworkMagic);
    EXPECT_EQ(selection, 0);
    EXPECT_TRUE(IsWindowVisible(hwndOf(onFirst)));
    EXPECT_FALSE(IsWindowVisible(hwndOf(onSecond)));
    EXPECT_FALSE(IsWindowVisible(hwndOf(hiddenOnSecond)));
    EXPECT_TRUE(IsWindowVisible(hwndOf(offPage)));
}

TEST_F(TabPages, ChangingTheTabShowsOnlyThatPage) {
    form.bindEvent(tab, tab.selectionChanged, &ControlsForm::onSelectionChanged);
    form.bindEvent(tab, tab.clicked, &ControlsForm::onClicked);
    ShowWindow(hwndOf(offPage), SW_HIDE);
    clickTab(hwndOf(tab), 1);
    EXPECT_EQ(tab.currentSelection(), 1);
    EXPECT_EQ(form.selectionChanges, 1);
    EXPECT_EQ(form.clicks, 1);
    EXPECT_FALSE(IsWindowVisible(hwndOf(onFirst)));
    EXPECT_TRUE(IsWindowVisible(hwndOf(onSecond)));
    EXPECT_FALSE(IsWindowVisible(hwndOf(hiddenOnSecond))); // its visible flag is off
    EXPECT_FALSE(IsWindowVisible(hwndOf(offPage)));        // not on a page: left as it was
    EXPECT_EQ(GetFocus(), hwndOf(onSecond));               // the page's first control
    ShowWindow(hwndOf(offPage), SW_SHOW);
    clickTab(hwndOf(tab), 0);
    EXPECT_TRUE(IsWindowVisible(hwndOf(onFirst)));
    EXPECT_FALSE(IsWindowVisible(hwndOf(onSecond)));
    EXPECT_TRUE(IsWindowVisible(hwndOf(offPage)));
    EXPECT_EQ(GetFocus(), hwndOf(onFirst));
    // A page without a control leaves the focus with the tabs, which the click gave it.
    clickTab(hwndOf(tab), 2);
    EXPECT_EQ(GetFocus(), hwndOf(tab));
}

TEST_F(TabPages, ARefusingSelectionChangingHandlerKeepsTheTab) {
    form.bindEvent(tab, tab.selectionChanging, &ControlsForm::onSelectionChanging);
    form.bindEvent(tab, tab.selectionChanged, &ControlsForm::onSelectionChanged);
    form.changingAnswer = 0;
    clickTab(hwndOf(tab), 2);
    EXPECT_GE(form.changingCalls, 1);
    EXPECT_EQ(tab.currentSelection(), 0);
    EXPECT_EQ(form.selectionChanges, 0);
    EXPECT_TRUE(IsWindowVisible(hwndOf(onFirst)));
    form.changingAnswer = 1;
    clickTab(hwndOf(tab), 2);
    EXPECT_EQ(tab.currentSelection(), 2);
    EXPECT_EQ(form.selectionChanges, 1);
    EXPECT_FALSE(IsWindowVisible(hwndOf(onFirst)));
}

TEST_F(TabPages, SettingCaptionsAgainDestroysThePageControls) {
    HWND first = hwndOf(onFirst);
    HWND second = hwndOf(onSecond);
    tab.setCaptions(u"A\n0\nB");
    EXPECT_EQ(SendMessageW(hwndOf(tab), TCM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(second));
    EXPECT_FALSE(onFirst.hasWindow());
    EXPECT_TRUE(IsWindow(hwndOf(offPage)));
    // New page controls can be made after the captions.
    ASSERT_TRUE(place(onFirst, 381, &tab, 0));
    pump();
    EXPECT_TRUE(IsWindowVisible(hwndOf(onFirst)));
}

TEST_F(TabPages, PageWindowsFollowTheSelectionAndTheCaptions) {
    HWND filling = CreateWindowExW(0, L"STATIC", L"page A", WS_CHILD, 0, 0, 10, 10, hwndOf(tab), nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    HWND centred = CreateWindowExW(0, L"STATIC", L"page B", WS_CHILD | SS_NOTIFY, 0, 0, 50, 40, hwndOf(tab),
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(filling && centred);
    tab.setPageWindow(0, reinterpret_cast<std::uintptr_t>(filling), true, 0);
    tab.setPageWindow(1, reinterpret_cast<std::uintptr_t>(centred), false, 2);
    EXPECT_TRUE(IsWindowVisible(filling));
    EXPECT_FALSE(IsWindowVisible(centred));
    // A new size places them in the display area again.
    SetWindowPos(hwndOf(tab), nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT area{};
    GetClientRect(hwndOf(tab), &area);
    SendMessageW(hwndOf(tab), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    auto placeOf = [&](HWND page) {
        RECT r{};
        GetWindowRect(page, &r);
        MapWindowPoints(nullptr, hwndOf(tab), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT a = placeOf(filling);
    EXPECT_TRUE(EqualRect(&a, &area));
    const RECT b = placeOf(centred);
    EXPECT_EQ(b.right - b.left, 50);
    EXPECT_EQ(b.left, area.left + (area.right - area.left - 50) / 2);
    EXPECT_EQ(b.top, area.top + (area.bottom - area.top - 40) / 2);

    clickTab(hwndOf(tab), 1);
    EXPECT_FALSE(IsWindowVisible(filling));
    EXPECT_TRUE(IsWindowVisible(centred));
    EXPECT_EQ(GetFocus(), centred);

    // New captions: the kept page is hidden, the other one destroyed.
    tab.setCaptions(u"X\n0");
    EXPECT_TRUE(IsWindow(filling));
    EXPECT_FALSE(IsWindowVisible(filling));
    EXPECT_FALSE(IsWindow(centred));
    EXPECT_TRUE(tab.pageWindows().empty());
}

} // namespace
