// The Win32 window layer under a real window system (Wine in the test runs).
#include "runtime/core/UserApp.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/MainWindow.h"
#include "runtime/gui/WinContainer.h"
#include "runtime/gui/WinForm.h"
#include "runtime/gui/rg_ChuangKouWeiZhiXianZhiXinXi.h"
#include "runtime/gui/win32/MainMessageLoop.h"
#include "runtime/gui/win32/Win32ProgramHost.h"
#include "runtime/platform/Event.h"
#include "tests/gui/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace rg_quelt_WTLJieMian_base;
using namespace quelt_gui;

namespace {

class WindowLayer : public ::testing::Environment {
public:
    void SetUp() override { host.initialise(); }
    void TearDown() override { host.terminate(); }
    CQueltWin32ProgramHost host;
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new WindowLayer);

class TestForm : public CQueltWinForm {
public:
    TestForm() { setDesignClientSize(800, 600); }
    ~TestForm() override { teardown(); }

    bool createDefault(std::int32_t width = kDefaultCoordinate, std::int32_t height = kDefaultCoordinate) {
        CQueltCreationRecord record;
        record.width = width;
        record.height = height;
        return create(record);
    }

    std::vector<std::int32_t> seen;
    std::vector<std::string> log;
    std::int32_t closeAnswer = 0;
    HWND other = nullptr;
    bool otherEnabledDuringModal = true;

    static std::int32_t onClose(CQueltObject* self, CQueltObject*, std::int32_t) {
        return static_cast<TestForm*>(self)->closeAnswer;
    }
    static std::int32_t onWheel(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t delta,
                                std::int32_t) {
        static_cast<TestForm*>(self)->seen.push_back(delta);
        return 1;
    }
    static std::int32_t onModalStart(CQueltObject* self, CQueltObject*, std::int32_t) {
        auto* f = static_cast<TestForm*>(self);
        f->otherEnabledDuringModal = IsWindowEnabled(f->other) != FALSE;
        PostMessageW(hwndOf(*f), WM_CLOSE, 0, 0);
        return 0;
    }
    static std::int32_t onMove(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t, std::int32_t,
                               std::int32_t) {
        static_cast<TestForm*>(self)->log.push_back("move");
        return 0;
    }
    static std::int32_t onKey(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t, std::int32_t) {
        static_cast<TestForm*>(self)->log.push_back("key");
        return 0;
    }
};

} // namespace

TEST(WindowLayerTest, PrivateMessagesAreAnsweredOnlyWithTheMagic) {
    TestForm form;
    ASSERT_TRUE(form.createDefault());
    HWND w = hwndOf(form);
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_USERDATA), kFrameworkMagic);
    EXPECT_EQ(SendMessageW(w, kMsgSetPageIndex, 3, kFrameworkMagic), kFrameworkMagic);
    std::int32_t index = -7;
    EXPECT_EQ(SendMessageW(w, kMsgGetPageIndex, reinterpret_cast<WPARAM>(&index), kFrameworkMagic),
              kFrameworkMagic);
    EXPECT_EQ(index, 3);
    // Another lparam: normal handling, no magic, nothing written.
    index = -7;
    EXPECT_NE(SendMessageW(w, kMsgGetPageIndex, reinterpret_cast<WPARAM>(&index), 5), kFrameworkMagic);
    EXPECT_EQ(index, -7);
    EXPECT_NE(SendMessageW(w, kMsgSetPageIndex, 9, 0), kFrameworkMagic);
    SendMessageW(w, kMsgGetPageIndex, reinterpret_cast<WPARAM>(&index), kFrameworkMagic);
    EXPECT_EQ(index, 3);
    // Query object names the implementation's type.
    struct {
        const char* name;
        void* object;
    } query{"CVWnd_WinForm", nullptr};
    EXPECT_EQ(SendMessageW(w, kMsgQueryObject, reinterpret_cast<WPARAM>(&query), kFrameworkMagic),
              kFrameworkMagic);
    EXPECT_EQ(query.object, form.windowObject().existingImpl());
    query = {"CVWnd_Tab", nullptr};
    EXPECT_NE(SendMessageW(w, kMsgQueryObject, reinterpret_cast<WPARAM>(&query), kFrameworkMagic),
              kFrameworkMagic);
}

TEST(WindowLayerTest, ADefaultSizedFormHasItsDesignedClientAreaAndIsCentred) {
    TestForm form;
    form.setCaption(u"Mireth模块更新程序");
    ASSERT_TRUE(form.createDefault());
    HWND w = hwndOf(form);
    RECT client{}, window{};
    GetClientRect(w, &client);
    GetWindowRect(w, &window);
    EXPECT_EQ(client.right - client.left, 800);
    EXPECT_EQ(client.bottom - client.top, 600);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2);
    EXPECT_EQ(form.getCaption().view(), u"Mireth模块更新程序");
}

TEST(WindowLayerTest, EscPostsCloseUnlessTurnedOff) {
    TestForm form;
    ASSERT_TRUE(form.createDefault());
    HWND w = hwndOf(form);
    MSG esc{w, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(preTranslateChain(esc));
    MSG close;
    EXPECT_TRUE(PeekMessageW(&close, w, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    form.setEscCloses(false);
    EXPECT_FALSE(preTranslateChain(esc));
    EXPECT_FALSE(PeekMessageW(&close, w, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    // Mouse and keyboard only: other messages never reach the chain.
    MSG paint{w, WM_TIMER, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(preTranslateChain(paint));
}

TEST(WindowLayerTest, AModalFormDisablesTheOtherWindowsAndReturnsMinusOneWhenClosed) {
    TestForm main;
    ASSERT_TRUE(main.createDefault(300, 200));
    TestForm dialog;
    dialog.other = hwndOf(main);
    dialog.bindEvent(dialog, dialog.modalLoopStarting, &TestForm::onModalStart);
    EXPECT_TRUE(IsWindowEnabled(hwndOf(main)));
    EXPECT_EQ(dialog.showModal(main.window()), -1);
    EXPECT_FALSE(dialog.otherEnabledDuringModal);
    EXPECT_TRUE(IsWindowEnabled(hwndOf(main)));
    EXPECT_FALSE(dialog.hasWindow());
    EXPECT_FALSE(dialog.isModal());
    // The modal form was the main window only for its loop.
    EXPECT_EQ(mainWindowHandle(), 0u);
}

TEST(WindowLayerTest, ACloseRequestHandlerReturningNonZeroRefusesTheClose) {
    TestForm form;
    form.bindEvent(form, form.closeRequest, &TestForm::onClose);
    ASSERT_TRUE(form.createDefault(300, 200));
    HWND w = hwndOf(form);
    form.closeAnswer = 1;
    SendMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(w));
    form.closeAnswer = 0;
    SendMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(form.hasWindow());
}

TEST(WindowLayerTest, TheWheelDeltaReachesTheHandlerInNotches) {
    TestForm form;
    form.bindEvent(form, form.wheel, &TestForm::onWheel);
    ASSERT_TRUE(form.createDefault(300, 200));
    const LRESULT r = SendMessageW(hwndOf(form), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{-2}));
}

int differingPixels(HRGN a, HRGN b) {
    int count = 0;
    for (int y = -2; y < 203; ++y)
        for (int x = -2; x < 303; ++x)
            if ((PtInRegion(a, x, y) != FALSE) != (PtInRegion(b, x, y) != FALSE))
                ++count;
    return count;
}

TEST(WindowLayerTest, WindowShapeTwoOnThreeHundredByTwoHundredHasFortyPixelCorners) {
    TestForm form;
    ASSERT_TRUE(form.createDefault(300, 200));
    RECT window{};
    GetWindowRect(hwndOf(form), &window);
    ASSERT_EQ(window.right - window.left, 300);
    ASSERT_EQ(window.bottom - window.top, 200);
    form.setWindowShape(2);
    HRGN actual = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(hwndOf(form), actual), ERROR);
    HRGN expected = CreateRoundRectRgn(0, 0, 300, 200, 40, 40);
    HRGN wider = CreateRoundRectRgn(0, 0, 300, 200, 60, 60);
    // Pixel by pixel: the system may store the same region with other rectangles.
    EXPECT_EQ(differingPixels(actual, expected), 0);
    EXPECT_GT(differingPixels(actual, wider), 0);
    form.setWindowShape(0);
    EXPECT_EQ(GetWindowRgn(hwndOf(form), actual), ERROR);
    DeleteObject(actual);
    DeleteObject(expected);
    DeleteObject(wider);
}

namespace {

// A program object that logs its idle passes into the form's log.
class IdleProgram : public rg_quelt_base::rg_ChuangKouChengXuLei {
public:
    TestForm* form = nullptr;
    std::thread* poster = nullptr;
    bool onIdle(int) override {
        form->log.push_back("idle");
        if (form->log.size() == 1) {
            HWND w = hwndOf(*form);
            const DWORD thread = GetCurrentThreadId();
            PostMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
            *poster = std::thread([w, thread] {
                std::this_thread::sleep_for(std::chrono::milliseconds(400));
                PostMessageW(w, WM_KEYDOWN, 'A', 0);
                std::this_thread::sleep_for(std::chrono::milliseconds(400));
                PostThreadMessageW(thread, WM_QUIT, 7, 0);
            });
        }
        return false;
    }
};

} // namespace

TEST(WindowLayerTest, MouseMovementDoesNotReEnterTheIdlePhaseButAKeyPressDoes) {
    TestForm form;
    form.windowObject().setStyle(kWsClipSiblings); // hidden: only our messages arrive
    form.bindEvent(form, form.mouseMove, &TestForm::onMove);
    form.bindEvent(form, form.keyDown, &TestForm::onKey);
    ASSERT_TRUE(form.createDefault(300, 200));
    pump();
    std::thread poster;
    IdleProgram program;
    program.form = &form;
    program.poster = &poster;
    CQueltMainMessageLoop loop(program);
    EXPECT_EQ(loop.run(), 7);
    poster.join();
    // idle, then the mouse move without an idle pass, then the key and an idle pass.
    ASSERT_GE(form.log.size(), 4u);
    EXPECT_EQ(form.log[0], "idle");
    EXPECT_EQ(form.log[1], "move");
    EXPECT_EQ(form.log[2], "key");
    EXPECT_EQ(form.log[3], "idle");
}

namespace {

struct SlowForm : TestForm {
    ~SlowForm() override { teardown(); }
    CQueltWinContainer child;
    platform::Event entered{true, false};
    std::atomic<bool> handlerDone{false};
    static std::int32_t slowHandler(CQueltObject* self, CQueltObject*, std::int32_t) {
        auto* f = static_cast<SlowForm*>(self);
        f->entered.set();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        f->handlerDone = IsWindow(hwndOf(f->child)) != FALSE;
        return 0;
    }
};

} // namespace

TEST(WindowLayerTest, DestroyingAFormWaitsForAHandlerOfItsControlRunningOnAnotherThread) {
    auto* form = new SlowForm();
    ASSERT_TRUE(form->createDefault(300, 200));
    form->bindEvent(form->child, form->child.gotFocus, &SlowForm::slowHandler);
    CQueltCreationRecord record;
    record.parentWindow = form->window();
    record.parentControl = form;
    record.x = 10;
    record.y = 10;
    record.width = 100;
    record.height = 50;
    ASSERT_TRUE(form->child.create(record));
    HWND formWindow = hwndOf(*form);
    std::thread worker([form] { form->child.gotFocus.fire(&form->child); });
    ASSERT_EQ(form->entered.wait(5000), platform::WaitResult::signalled);
    form->teardown();
    // The handler saw its control's window alive and had finished before teardown returned.
    EXPECT_TRUE(form->handlerDone.load());
    EXPECT_FALSE(IsWindow(formWindow));
    delete form;
    worker.join();
}

namespace {

struct LimitsForm : TestForm {
    std::int32_t minWidthSeen = -1;
    std::int32_t apply = 0;
    static std::int32_t onLimits(CQueltObject* self, CQueltObject*, std::int32_t,
                                 rg_ChuangKouWeiZhiXianZhiXinXi* limits) {
        auto* f = static_cast<LimitsForm*>(self);
        f->minWidthSeen = limits->minimumTrackingSize.width;
        limits->maximumTrackingSize = {321, 222};
        return f->apply;
    }
};

} // namespace

TEST(WindowLayerTest, SizeLimitsStartAtOneByOneAndApplyOnlyWhenTheHandlerSaysSo) {
    LimitsForm form;
    form.bindEvent(form, form.sizeLimits, &LimitsForm::onLimits);
    ASSERT_TRUE(form.createDefault(300, 200));
    MINMAXINFO info{};
    info.ptMaxTrackSize = {5000, 5000};
    SendMessageW(hwndOf(form), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(form.minWidthSeen, 1);
    EXPECT_EQ(info.ptMinTrackSize.x, 1);
    EXPECT_EQ(info.ptMinTrackSize.y, 1);
    EXPECT_NE(info.ptMaxTrackSize.x, 321);
    form.apply = 1;
    SendMessageW(hwndOf(form), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxTrackSize.x, 321);
    EXPECT_EQ(info.ptMaxTrackSize.y, 222);
}

TEST(WindowLayerTest, WithoutTitleBarOnlyAnOwnCaptionGivesACaptionBar) {
    TestForm form;
    form.setTitleBar(false);
    ASSERT_TRUE(form.createDefault(300, 200));
    HWND w = hwndOf(form);
    EXPECT_NE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    form.setCaption(u"帮助");
    EXPECT_EQ(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    form.setCaption(u"");
    EXPECT_NE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
}

TEST(WindowLayerTest, PreTranslationClimbsFromAChildToItsFormAndTheDefaultButtonIsReported) {
    TestForm form;
    ASSERT_TRUE(form.createDefault(300, 200));
    CQueltWinContainer inner;
    CQueltCreationRecord record;
    record.parentWindow = form.window();
    record.parentControl = &form;
    record.identifier = 41;
    record.x = record.y = 0;
    record.width = record.height = 50;
    ASSERT_TRUE(inner.create(record));
    // A plain container does not consume, so the form below it sees the Esc.
    MSG esc{hwndOf(inner), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(preTranslateChain(esc));
    MSG close;
    EXPECT_TRUE(PeekMessageW(&close, hwndOf(form), WM_CLOSE, WM_CLOSE, PM_REMOVE));

    EXPECT_EQ(SendMessageW(hwndOf(form), DM_GETDEFID, 0, 0) >> 16, 0);
    form.setDefaultButton(41);
    const LRESULT answer = SendMessageW(hwndOf(form), DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(answer), DC_HASDEFID);
    EXPECT_EQ(LOWORD(answer), 41);
    form.setDefaultButton(99); // no such child
    EXPECT_NE(HIWORD(SendMessageW(hwndOf(form), DM_GETDEFID, 0, 0)), DC_HASDEFID);
}

// A container inside `parent` at its top left.
bool placeInside(CQueltWinControl& control, CQueltWinControl& parent, std::int32_t identifier) {
    CQueltCreationRecord record;
    record.parentWindow = parent.window();
    record.parentControl = &parent;
    record.identifier = identifier;
    record.x = record.y = 0;
    record.width = record.height = 80;
    return control.create(record);
}

TEST(WindowLayerTest, AWaitCursorShowsOverTheControlAndTheControlsInsideItUntilTurnedOff) {
    TestForm form;
    ASSERT_TRUE(form.createDefault(300, 200));
    CQueltWinContainer outer, inner;
    ASSERT_TRUE(placeInside(outer, form, 41));
    ASSERT_TRUE(placeInside(inner, outer, 42));
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    EXPECT_EQ(cursorAfterAsking(hwndOf(inner)), arrow);
    outer.setWaitCursor(true);
    // The inner control keeps the default and asks its parent first.
    EXPECT_EQ(cursorAfterAsking(hwndOf(inner)), wait);
    EXPECT_EQ(cursorAfterAsking(hwndOf(outer)), wait);
    EXPECT_EQ(cursorAfterAsking(hwndOf(form)), arrow) << "the form is not inside it";
    outer.setWaitCursor(false);
    EXPECT_EQ(cursorAfterAsking(hwndOf(inner)), arrow);
}

TEST(WindowLayerTest, ATimerTicksThroughTheWindowMessageEventUntilStopped) {
    struct TimerForm : TestForm {
        static std::int32_t onMessage(CQueltObject* self, CQueltObject*, std::int32_t, std::uintptr_t,
                                      std::uint32_t message, std::uintptr_t wparam, std::intptr_t) {
            if (message == kWmTimer)
                static_cast<TimerForm*>(self)->seen.push_back(static_cast<std::int32_t>(wparam));
            return 0;
        }
    } form;
    EXPECT_FALSE(form.startTimer(7, 20)) << "no timer without a window";
    form.bindEvent(form, form.windowMessage, &TimerForm::onMessage);
    ASSERT_TRUE(form.createDefault(300, 200));
    ASSERT_TRUE(form.startTimer(7, 20));
    auto pumpFor = [](std::chrono::milliseconds span) {
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            pump();
        }
    };
    pumpFor(std::chrono::milliseconds(300));
    ASSERT_GE(form.seen.size(), 2u);
    EXPECT_EQ(form.seen.front(), 7);
    form.stopTimer(7);
    pump();
    const std::size_t ticks = form.seen.size();
    pumpFor(std::chrono::milliseconds(150));
    EXPECT_EQ(form.seen.size(), ticks);
}

TEST(WindowLayerTest, DestroyingTheRegisteredMainWindowPostsQuitZero) {
    TestForm form;
    ASSERT_TRUE(form.createDefault(300, 200));
    setMainWindowHandle(form.window());
    DestroyWindow(hwndOf(form));
    setMainWindowHandle(0);
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}
