#include "runtime/gui/WinControl.h"

#include "FakeWindowImpl.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/WinContainer.h"
#include "runtime/gui/WinForm.h"

#include <gtest/gtest.h>

#include <vector>

using namespace rg_quelt_WTLJieMian_base;
using namespace quelt_gui;

namespace {

// The receiving form of the events, recording what arrives.
class RecordingForm : public CQueltWinForm {
public:
    ~RecordingForm() override { teardown(); }
    std::vector<std::int32_t> seen;
    std::int32_t answer = 0;

    static std::int32_t onMouse(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t x,
                                std::int32_t y, std::int32_t mods) {
        auto* f = static_cast<RecordingForm*>(self);
        f->seen.insert(f->seen.end(), {x, y, mods});
        return f->answer;
    }
    static std::int32_t onTwo(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t a,
                              std::int32_t b) {
        auto* f = static_cast<RecordingForm*>(self);
        f->seen.insert(f->seen.end(), {a, b});
        return f->answer;
    }
    static std::int32_t onOne(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t a) {
        auto* f = static_cast<RecordingForm*>(self);
        f->seen.push_back(a);
        return f->answer;
    }
    static std::int32_t onCreated(CQueltObject* self, CQueltObject*, std::int32_t, CQueltWinControl* parent,
                                  std::int32_t id) {
        auto* f = static_cast<RecordingForm*>(self);
        f->seen.push_back(parent == f ? 1 : 0);
        f->seen.push_back(id);
        return 0;
    }
    static std::int32_t onFiles(CQueltObject* self, CQueltObject*, std::int32_t,
                                rg_quelt_base::rg_WenBenShuZuLei* p) {
        static_cast<RecordingForm*>(self)->seen.push_back(static_cast<std::int32_t>(p->Count()));
        return 0;
    }
};

CQueltMessageRecord message(std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) {
    CQueltMessageRecord r;
    r.message = msg;
    r.wparam = wparam;
    r.lparam = lparam;
    return r;
}

class WinControlTest : public ::testing::Test {
protected:
    FakeWindowLayer layer;
    RecordingForm form;
    CQueltWinContainer control;

    void createControl() {
        CQueltCreationRecord parent;
        ASSERT_TRUE(form.create(parent));
        CQueltCreationRecord record;
        record.parentWindow = form.window();
        record.parentControl = &form;
        record.identifier = 7;
        ASSERT_TRUE(control.create(record));
    }
};

} // namespace

TEST_F(WinControlTest, CaptionIsStoredBeforeCreationAndAskedOfTheWindowAfter) {
    control.setCaption(u"检查更新");
    EXPECT_EQ(control.getCaption().view(), u"检查更新");
    createControl();
    FakeWindowImpl& impl = FakeWindowLayer::of(control);
    EXPECT_EQ(impl.text().view(), u"检查更新");
    control.setCaption(u"更新模块");
    EXPECT_EQ(impl.text().view(), u"更新模块");
    EXPECT_EQ(impl.invalidations, 1);
    EXPECT_EQ(control.getCaption().view(), u"更新模块");
}

TEST_F(WinControlTest, CreatingTwiceFailsAndAFailedCreationFiresNothing) {
    form.bindEvent(control, control.created, &RecordingForm::onCreated);
    createControl();
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{1, 7}));
    CQueltCreationRecord again;
    EXPECT_FALSE(control.create(again));
    EXPECT_EQ(FakeWindowLayer::of(control).createCalls, 1);

    CQueltWinContainer refused;
    FakeWindowLayer::of(refused).failCreate = true;
    form.bindEvent(refused, refused.created, &RecordingForm::onCreated);
    CQueltCreationRecord record;
    record.parentWindow = form.window();
    record.parentControl = &form;
    EXPECT_FALSE(refused.create(record));
    EXPECT_EQ(form.seen.size(), 2u);
}

TEST_F(WinControlTest, WithoutAWindowLayerCreationFails) {
    setWindowImplFactory(nullptr);
    CQueltWinContainer orphan;
    CQueltCreationRecord record;
    EXPECT_FALSE(orphan.create(record));
    EXPECT_FALSE(orphan.hasWindow());
}

TEST_F(WinControlTest, StylesDefaultsChildBitAndOneFontForTheWindowObject) {
    createControl();
    FakeWindowImpl& impl = FakeWindowLayer::of(control);
    EXPECT_EQ(impl.createdRecord.style, kWsVisible | kWsClipSiblings | kWsChild);
    EXPECT_TRUE(impl.createdRecord.exStyle & kWsExControlParent);
    EXPECT_EQ(impl.fontsCreated, 1);
    EXPECT_EQ(impl.fontSet, control.windowObject().font());
    EXPECT_EQ(impl.fontsCreated, 1);
    EXPECT_TRUE(impl.visibleFlag());
}

TEST_F(WinControlTest, CompletionAddsTabStopForInputControlsAndDropsAnUnaskedBorder) {
    CQueltWinContainer input;
    FakeWindowImpl& impl = FakeWindowLayer::of(input);
    impl.dialogCodeAnswer = 0x80;
    impl.extraStyleOnCreate = kWsBorder;
    CQueltCreationRecord record;
    ASSERT_TRUE(input.create(record));
    EXPECT_TRUE(impl.style() & kWsTabStop);
    EXPECT_FALSE(impl.style() & kWsBorder);
    EXPECT_FALSE(impl.style() & kWsChild);
}

TEST_F(WinControlTest, ThinBorderSwapsTheEdges) {
    control.windowObject().setStyle(kDefaultControlStyle | kWsBorder);
    control.windowObject().setExStyle(kWsExClientEdge | kWsExDlgModalFrame);
    control.setThinBorder();
    EXPECT_EQ(control.windowObject().style(), kDefaultControlStyle);
    EXPECT_EQ(control.windowObject().exStyle(), kWsExStaticEdge);
    // A form keeps its frame.
    form.windowObject().setStyle(kWsBorder);
    form.setThinBorder();
    EXPECT_EQ(form.windowObject().style(), kWsBorder);
}

TEST_F(WinControlTest, MouseEventsCarrySignedClientCoordinatesAndModifiers) {
    createControl();
    FakeWindowImpl& impl = FakeWindowLayer::of(control);
    form.bindEvent(control, control.leftButtonDown, &RecordingForm::onMouse);
    impl.keysDown = {kVkMenu};
    // x = -5, y = 300; Ctrl and Shift from the key flags, Alt from the key state.
    auto r = message(kWmLButtonDown, kMkControl | kMkShift, (300 << 16) | 0xFFFB);
    EXPECT_FALSE(impl.deliver(r));
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{-5, 300, kModCtrl | kModShift | kModAlt}));
    // A handler's non-zero answer consumes.
    form.answer = 1;
    r = message(kWmLButtonDown, 0, 0);
    EXPECT_TRUE(impl.deliver(r));
    // An unbound event does not.
    r = message(kWmRButtonDown, 0, 0);
    EXPECT_FALSE(impl.deliver(r));
}

TEST_F(WinControlTest, WheelDeltaArrivesInNotches) {
    createControl();
    FakeWindowImpl& impl = FakeWindowLayer::of(control);
    form.bindEvent(control, control.wheel, &RecordingForm::onTwo);
    auto r = message(kWmMouseWheel, (std::uintptr_t(std::uint16_t(-240)) << 16) | kMkShift, 0);
    impl.deliver(r);
    r = message(kWmMouseWheel, std::uintptr_t(120) << 16, 0);
    impl.deliver(r);
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{-2, kModShift, 1, 0}));
}

TEST_F(WinControlTest, KeysAreNormalisedAndUnnamedKeysIgnored) {
    createControl();
    FakeWindowImpl& impl = FakeWindowLayer::of(control);
    form.bindEvent(control, control.keyDown, &RecordingForm::onTwo);
    form.bindEvent(control, control.keyUp, &RecordingForm::onTwo);
    impl.keysDown = {kVkControl};
    auto r = message(kWmKeyDown, 0x65, 0); // keypad 5 with Ctrl
    impl.deliver(r);
    impl.keysDown.clear();
    r = message(kWmSysKeyUp, 0x07, 0); // no name
    impl.deliver(r);
    r = message(kWmKeyUp, 'A', 0);
    impl.deliver(r);
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{'5' + kModCtrl, kModCtrl, 'A', 0}));
}

TEST_F(WinControlTest, CharacterHandlersSwallowOrReplace) {
    createControl();
    FakeWindowImpl& impl = FakeWindowLayer::of(control);
    form.bindEvent(control, control.character, &RecordingForm::onOne);
    form.answer = -1;
    auto r = message(kWmChar, 'a', 0);
    EXPECT_TRUE(impl.deliver(r));
    form.answer = 'B';
    r = message(kWmChar, 'a', 0);
    EXPECT_FALSE(impl.deliver(r));
    EXPECT_EQ(r.wparam, std::uintptr_t('B'));
    form.answer = 0;
    r = message(kWmChar, 'c', 0);
    EXPECT_FALSE(impl.deliver(r));
    EXPECT_EQ(r.wparam, std::uintptr_t('c'));
}

TEST_F(WinControlTest, CursorAndDroppedFiles) {
    createControl();
    FakeWindowImpl& impl = FakeWindowLayer::of(control);
    auto r = message(kWmSetCursor, 0, 0);
    EXPECT_FALSE(impl.deliver(r));
    control.setCursor(0x77);
    EXPECT_TRUE(impl.deliver(r));
    EXPECT_EQ(impl.cursorShown, 0x77u);

    form.bindEvent(control, control.filesDropped, &RecordingForm::onFiles);
    r = message(kWmDropFiles, 0x99, 0);
    impl.deliver(r); // nothing read: no event
    impl.droppedPaths = {u"C:\\a.txt", u"C:\\b.txt"};
    impl.deliver(r);
    EXPECT_EQ(impl.dropsTaken, 2);
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{2}));
}

TEST_F(WinControlTest, DetachedControlsReceiveNothing) {
    createControl();
    FakeWindowImpl& impl = FakeWindowLayer::of(control);
    control.detachListener();
    EXPECT_EQ(impl.listener(), nullptr);
    // Detaching another control's listener leaves it alone.
    control.attachListener();
    CQueltWinContainer other;
    impl.setListener(&control);
    other.detachListener();
    EXPECT_EQ(impl.listener(), &control);
}
