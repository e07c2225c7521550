#include "runtime/gui/WinForm.h"

#include "FakeWindowImpl.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/platform/Event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace rg_quelt_WTLJieMian_base;
using namespace quelt_gui;

namespace {

class TestForm : public CQueltWinForm {
public:
    ~TestForm() override { teardown(); }
    std::int32_t closeAnswer = 0;
    int built = 0;
    static std::int32_t onClose(CQueltObject* self, CQueltObject*, std::int32_t) {
        return static_cast<TestForm*>(self)->closeAnswer;
    }

protected:
    void build() override { ++built; }
};

} // namespace

TEST(WinFormTest, CloseIsAllowedUnlessAHandlerReturnsNonZero) {
    TestForm form;
    EXPECT_TRUE(form.allowsCloseRequest());
    EXPECT_TRUE(form.allowsQueryClose());
    form.bindEvent(form, form.closeRequest, &TestForm::onClose);
    form.bindEvent(form, form.queryClose, &TestForm::onClose);
    EXPECT_TRUE(form.allowsCloseRequest());
    form.closeAnswer = 1;
    EXPECT_FALSE(form.allowsCloseRequest());
    EXPECT_FALSE(form.onFormQueryClose());
    form.closeAnswer = -3;
    EXPECT_FALSE(form.allowsQueryClose());
    // Once torn down, nothing refuses.
    form.teardown();
    EXPECT_TRUE(form.allowsCloseRequest());
}

TEST(WinFormTest, CreationRunsTheBuildStepAndAppliesTheFormStyles) {
    FakeWindowLayer layer;
    TestForm form;
    CQueltCreationRecord record;
    ASSERT_TRUE(form.create(record));
    EXPECT_EQ(form.built, 1);
    FakeWindowImpl& impl = FakeWindowLayer::of(form);
    EXPECT_EQ(impl.text().view(), std::u16string_view(kDefaultFormCaption));
    EXPECT_TRUE(impl.createdRecord.style & kWsCaption);
    EXPECT_FALSE(impl.createdRecord.style & kWsChild);
    EXPECT_TRUE(impl.createdRecord.exStyle & kWsExControlParent);
    form.teardown();
    EXPECT_FALSE(form.hasWindow());
    EXPECT_EQ(impl.destroyCalls, 1);
}

TEST(WinFormTest, AnOwnedFormIsAPopupNotAChild) {
    FakeWindowLayer layer;
    TestForm form;
    CQueltCreationRecord record;
    record.parentWindow = 0x42;
    ASSERT_TRUE(form.create(record));
    const std::uint32_t style = FakeWindowLayer::of(form).createdRecord.style;
    EXPECT_TRUE(style & kWsPopup);
    EXPECT_FALSE(style & kWsChild);
}

TEST(WinFormTest, ShapeAndStateAreClampedAndTheStateOfAHiddenFormOnlyStored) {
    FakeWindowLayer layer;
    TestForm form;
    form.setWindowShape(7);
    EXPECT_EQ(form.windowShape(), 2);
    form.setWindowState(-1);
    EXPECT_EQ(form.windowState(), 0);
    form.windowObject().setStyle(kWsClipSiblings); // not visible
    CQueltCreationRecord record;
    ASSERT_TRUE(form.create(record));
    FakeWindowImpl& impl = FakeWindowLayer::of(form);
    form.setWindowState(1);
    EXPECT_EQ(form.windowState(), 1);
    EXPECT_EQ(impl.appliedState, -1);
    form.setWindowShape(1);
    EXPECT_EQ(impl.appliedShape, 1);
    impl.applyStyles(impl.style() | kWsVisible, impl.exStyle());
    form.setWindowState(9);
    EXPECT_EQ(impl.appliedState, 3);
}

namespace {

// A form whose control's handler runs on another thread while the form goes.
struct SlowForm : CQueltWinForm {
    ~SlowForm() override {
        teardown();
        finishedTeardown = true;
    }
    CQueltWinContainer button;
    platform::Event entered{true, false};
    std::atomic<bool> handlerDone{false};
    static std::atomic<bool> finishedTeardown;
    static std::int32_t slowHandler(CQueltObject* self, CQueltObject*, std::int32_t) {
        auto* f = static_cast<SlowForm*>(self);
        f->entered.set();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        // The form's members are still intact here.
        f->handlerDone = f->button.windowObject().style() != 0;
        return 0;
    }
};
std::atomic<bool> SlowForm::finishedTeardown{false};

} // namespace

TEST(WinFormTest, DestroyingAFormWaitsForAHandlerOfItsControlOnAnotherThread) {
    auto* form = new SlowForm();
    form->bindEvent(form->button, form->button.gotFocus, &SlowForm::slowHandler);
    std::thread worker([form] { form->button.gotFocus.fire(&form->button); });
    ASSERT_EQ(form->entered.wait(5000), platform::WaitResult::signalled);
    EXPECT_FALSE(form->handlerDone.load());
    // teardown() returns only after the handler has finished.
    form->teardown();
    const bool doneWhenDestroyed = form->handlerDone.load();
    delete form;
    worker.join();
    EXPECT_TRUE(doneWhenDestroyed);
    EXPECT_TRUE(SlowForm::finishedTeardown.load());
}
