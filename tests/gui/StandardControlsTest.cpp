#include "runtime/gui/ControlStyles.h"
#include "runtime/gui/StandardControlWindows.h"
#include "runtime/gui/rg_FenZuKuang.h"
#include "runtime/gui/rg_XuanZeGa.h"
#include "runtime/gui/rg_button1.h"
#include "runtime/gui/rg_check_box.h"
#include "runtime/gui/rg_edit_box.h"
#include "runtime/gui/rg_label1.h"

#include "FakeWindowImpl.h"
#include "runtime/gui/WinForm.h"

#include <gtest/gtest.h>

using namespace rg_quelt_WTLJieMian_base;
using namespace quelt_gui;

namespace {

// Stand-ins for the windows of the standard controls.
class FakeButtonWindow : public FakeWindowImpl, public IButtonWindow {
public:
    std::int32_t checkState() const override { return state; }
    void setCheckState(std::int32_t value) override { state = value; }
    std::int32_t state = 0;
};

class FakeEditWindow : public FakeWindowImpl, public IEditWindow {
public:
    void applyInputMode() override { ++modeApplications; }
    int modeApplications = 0;
};

class FakeTabWindow : public FakeWindowImpl, public ITabWindow {
public:
    void applyCaptions() override { ++captionApplications; }
    void arrangePageWindows() override { ++arrangements; }
    std::int32_t currentSelection() const override { return selection; }
    int captionApplications = 0;
    int arrangements = 0;
    std::int32_t selection = 2;
};

struct FakeStandardWindows {
    FakeStandardWindows() {
        previous = windowImplFactory();
        setWindowImplFactory([](CQueltWinControl& control) -> CQueltWindowImpl* {
            switch (control.windowKind()) {
            case WindowKind::button:
                return new FakeButtonWindow();
            case WindowKind::edit:
                return new FakeEditWindow();
            case WindowKind::tab:
                return new FakeTabWindow();
            default:
                return new FakeWindowImpl();
            }
        });
    }
    ~FakeStandardWindows() { setWindowImplFactory(previous); }
    template <typename T>
    static T& of(CQueltWinControl& control) {
        return *dynamic_cast<T*>(control.windowObject().impl());
    }
    WindowImplFactory previous;
};

class Form : public CQueltWinForm {
public:
    ~Form() override { teardown(); }
    int calls = 0;
    std::int32_t answer = 0;

    static std::int32_t onPlain(CQueltObject* self, CQueltObject*, std::int32_t) {
        auto* f = static_cast<Form*>(self);
        ++f->calls;
        return f->answer;
    }
    static std::int32_t onMessage(CQueltObject* self, CQueltObject*, std::int32_t, std::uintptr_t,
                                  std::uint32_t, std::uintptr_t, std::intptr_t) {
        auto* f = static_cast<Form*>(self);
        ++f->calls;
        return f->answer;
    }
};

class StandardControls : public ::testing::Test {
protected:
    FakeStandardWindows layer;
    Form form;

    void SetUp() override {
        CQueltCreationRecord record;
        ASSERT_TRUE(form.create(record));
    }
    bool createOn(CQueltWinControl& control, std::int32_t page = -1) {
        CQueltCreationRecord record;
        record.parentWindow = form.window();
        record.parentControl = &form;
        record.identifier = 200;
        record.pageIndex = page;
        return control.create(record);
    }
    std::uint32_t createdStyle(CQueltWinControl& control) {
        EXPECT_TRUE(createOn(control));
        return FakeStandardWindows::of<FakeWindowImpl>(control).createdRecord.style;
    }
};

TEST_F(StandardControls, DefaultStylesOfEachControl) {
    rg_button1 button;
    rg_check_box check;
    rg_FenZuKuang group;
    rg_label1 label;
    rg_edit_box edit;
    rg_XuanZeGa tab;
    EXPECT_EQ(button.windowObject().style(), 0x14012000u);
    EXPECT_EQ(check.windowObject().style(), 0x14012003u);
    EXPECT_EQ(group.windowObject().style(), 0x14002007u);
    EXPECT_EQ(label.windowObject().style(), 0x14000000u);
    EXPECT_EQ(edit.windowObject().style(), 0x14010000u);
    EXPECT_EQ(tab.windowObject().style(), 0x14000000u);
    // On a parent every one becomes a child; containers are control parents.
    EXPECT_EQ(createdStyle(button), 0x54012000u);
    EXPECT_EQ(createdStyle(group), 0x54002007u);
    EXPECT_NE(FakeStandardWindows::of<FakeWindowImpl>(group).createdRecord.exStyle & kWsExControlParent, 0u);
    EXPECT_EQ(createdStyle(tab), 0x54000000u);
    EXPECT_EQ(button.windowKind(), WindowKind::button);
    EXPECT_EQ(group.windowKind(), WindowKind::button);
    EXPECT_EQ(label.windowKind(), WindowKind::label);
    EXPECT_EQ(edit.windowKind(), WindowKind::edit);
    EXPECT_EQ(tab.windowKind(), WindowKind::tab);
}

TEST_F(StandardControls, EditLinesDecideTheScrollingStyles) {
    rg_edit_box single;
    EXPECT_EQ(createdStyle(single), 0x54010000u | kEsAutoHScroll);
    rg_edit_box multi;
    multi.windowObject().setStyle(multi.windowObject().style() | kEsAutoHScroll);
    multi.setMultiLine(true);
    const std::uint32_t style = createdStyle(multi);
    EXPECT_EQ(style & 0x10C4u, 0x1044u);
    EXPECT_EQ(style & kEsAutoHScroll, 0u);
}

TEST_F(StandardControls, CheckBoxIsCheckedOnlyWithAWindowShowingACheck) {
    rg_check_box check;
    EXPECT_FALSE(check.isChecked());
    FakeStandardWindows::of<FakeButtonWindow>(check).state = 1;
    EXPECT_FALSE(check.isChecked()); // still no window
    ASSERT_TRUE(createOn(check));
    EXPECT_TRUE(check.isChecked());
    FakeStandardWindows::of<FakeButtonWindow>(check).state = 2; // indeterminate
    EXPECT_FALSE(check.isChecked());
    FakeStandardWindows::of<FakeButtonWindow>(check).state = 1;
    check.windowObject().impl()->destroyNative();
    EXPECT_FALSE(check.isChecked());
}

TEST_F(StandardControls, InputModeIsClampedAndAppliedToAnExistingWindow) {
    rg_edit_box edit;
    edit.setInputMode(99);
    EXPECT_EQ(edit.inputMode(), 13);
    EXPECT_EQ(FakeStandardWindows::of<FakeEditWindow>(edit).modeApplications, 0);
    ASSERT_TRUE(createOn(edit));
    edit.setInputMode(2);
    EXPECT_EQ(edit.inputMode(), 2);
    EXPECT_EQ(FakeStandardWindows::of<FakeEditWindow>(edit).modeApplications, 1);
}

TEST_F(StandardControls, EditFocusEventsDoNotComeFromTheFocusMessages) {
    rg_edit_box edit;
    form.bindEvent(edit, edit.gotFocus, &Form::onPlain);
    form.bindEvent(edit, edit.lostFocus, &Form::onPlain);
    ASSERT_TRUE(createOn(edit));
    CQueltMessageRecord focus;
    focus.message = kWmSetFocus;
    EXPECT_FALSE(FakeStandardWindows::of<FakeWindowImpl>(edit).deliver(focus));
    focus.message = kWmKillFocus;
    EXPECT_FALSE(FakeStandardWindows::of<FakeWindowImpl>(edit).deliver(focus));
    EXPECT_EQ(form.calls, 0);
    // The window message event still sees them and may consume them.
    form.bindEvent(edit, edit.windowMessage, &Form::onMessage);
    form.answer = 1;
    EXPECT_TRUE(FakeStandardWindows::of<FakeWindowImpl>(edit).deliver(focus));
    EXPECT_EQ(form.calls, 1);
}

TEST_F(StandardControls, TabSelectionChangingWithoutHandlerIsAllowed) {
    rg_XuanZeGa tab;
    EXPECT_TRUE(tab.onTabSelectionChanging());
    form.bindEvent(tab, tab.selectionChanging, &Form::onPlain);
    form.answer = 0;
    EXPECT_FALSE(tab.onTabSelectionChanging());
    form.answer = 1;
    EXPECT_TRUE(tab.onTabSelectionChanging());
    EXPECT_EQ(form.calls, 2);
}

TEST_F(StandardControls, TabCaptionsAreStoredBeforeCreationAndAppliedAfter) {
    rg_XuanZeGa tab;
    EXPECT_EQ(tab.currentSelection(), -1);
    tab.setCaptions(CWString(u"A\n0"));
    EXPECT_EQ(FakeStandardWindows::of<FakeTabWindow>(tab).captionApplications, 0);
    ASSERT_TRUE(createOn(tab));
    EXPECT_EQ(tab.currentSelection(), 2);
    tab.setCaptions(CWString(u"B\n0\nC\n0"));
    EXPECT_EQ(FakeStandardWindows::of<FakeTabWindow>(tab).captionApplications, 1);
    EXPECT_EQ(std::u16string(tab.captions().view()), u"B\n0\nC\n0");
}

TEST_F(StandardControls, PageWindowsAreKeptPerTabAndArrangedOnAnExistingWindow) {
    rg_XuanZeGa tab;
    tab.setPageWindow(2, 0x42, true, 3);
    tab.setPageWindow(-1, 0x43, false);
    ASSERT_EQ(tab.pageWindows().size(), 3u);
    EXPECT_EQ(tab.pageWindows()[0].window, 0u);
    EXPECT_EQ(tab.pageWindows()[2].window, 0x42u);
    EXPECT_TRUE(tab.pageWindows()[2].keep);
    EXPECT_EQ(tab.pageWindows()[2].placement, 3);
    EXPECT_EQ(FakeStandardWindows::of<FakeTabWindow>(tab).arrangements, 0);
    ASSERT_TRUE(createOn(tab));
    tab.setPageWindow(0, 0x44, false);
    EXPECT_EQ(FakeStandardWindows::of<FakeTabWindow>(tab).arrangements, 1);
    EXPECT_EQ(tab.pageWindows()[0].window, 0x44u);
}

TEST_F(StandardControls, LabelPropertiesAndCreationFont) {
    rg_label1 label;
    label.setHorizontalAlignment(5);
    label.setVerticalAlignment(1);
    label.setImageMode(9);
    EXPECT_EQ(label.horizontalAlignment(), rg_label1::kAlignLeft);
    EXPECT_EQ(label.verticalAlignment(), rg_label1::kAlignMiddle);
    EXPECT_EQ(label.imageMode(), 3);
    label.setFont(0x777);
    label.setTransparent(true);
    ASSERT_TRUE(createOn(label));
    auto& window = FakeStandardWindows::of<FakeWindowImpl>(label);
    EXPECT_EQ(window.fontSet, 0x777u);
    EXPECT_NE(window.createdRecord.exStyle & kWsExTransparent, 0u);
    label.setFont(0x888);
    EXPECT_EQ(window.fontSet, 0x888u);
}

} // namespace
