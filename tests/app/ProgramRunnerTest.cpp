#include "app/ProgramRunner.h"
#include "runtime/core/AppInstance.h"
#include "runtime/core/QueltException.h"
#include "runtime/core/UserApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What happened during one run, in order.
std::vector<std::string> events;
std::vector<std::u16string> reports;
enum class StartBehaviour { Succeed, Fail, ThrowRuntime, ThrowOther };
StartBehaviour behaviour = StartBehaviour::Succeed;

void captureReport(const CWString& text, const CWString& caption) {
    reports.push_back(std::u16string(text.view()));
    reports.push_back(std::u16string(caption.view()));
}

class ExitMarker : public CQueltObject {
public:
    ~ExitMarker() override { events.push_back("exit-list released"); }
};

class TestProgram : public rg_quelt_base::rg_ChuangKouChengXuLei {
    QUELT_CLASS(TestProgram)

public:
    TestProgram() { events.push_back("constructed"); }
    ~TestProgram() override { events.push_back("program deleted"); }

    bool start() override {
        events.push_back("start");
        CQueltAppInstance::instance().releaseAtExit(new ExitMarker());
        switch (behaviour) {
        case StartBehaviour::Fail:
            return false;
        case StartBehaviour::ThrowRuntime:
            throw CQueltException(17, CWString(u"配置丢失"));
        case StartBehaviour::ThrowOther:
            throw std::runtime_error("boom");
        case StartBehaviour::Succeed:
            break;
        }
        return true;
    }
    void onExit() override { events.push_back("onExit"); }
};

QUELT_DEFINE_CLASS(TestProgram, rg_quelt_base::rg_ChuangKouChengXuLei, "tests::TestProgram")

// Not a program at all.
class NotAProgram : public CQueltObject {
    QUELT_CLASS(NotAProgram)

public:
    NotAProgram() = default;
    ~NotAProgram() override { events.push_back("not-a-program deleted"); }
};

QUELT_DEFINE_CLASS(NotAProgram, CQueltObject, "tests::NotAProgram")

class FakeHost : public ProgramHost {
public:
    explicit FakeHost(bool window, int loopExit = 0) : window_(window), loopExit_(loopExit) {}
    void initialise() override { events.push_back("host initialised"); }
    bool mainWindowRegistered() override { return window_; }
    int runMainLoop(CQueltUserApp& program) override {
        events.push_back(CQueltAppInstance::instance().programObject() == &program ? "loop"
                                                                                   : "loop without program");
        return loopExit_;
    }
    void terminate() override { events.push_back("host terminated"); }

private:
    bool window_;
    int loopExit_;
};

class ProgramRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        events.clear();
        reports.clear();
        behaviour = StartBehaviour::Succeed;
    }

    int run(const CQueltClassRecord& record, ProgramHost* host, int debugger = 0) {
        ProgramStart start;
        start.host = host;
        start.report = &captureReport;
        start.debuggerOverride = debugger;
        return runProgram(record, start);
    }
};

TEST_F(ProgramRunnerTest, NormalCloseRunsTheLoopThenShutsDownInOrder) {
    FakeHost host(true, 0);
    EXPECT_EQ(run(TestProgram::staticClassRecord(), &host), 0);
    const std::vector<std::string> expected = {
        "host initialised", "constructed",        "start",          "loop", "onExit",
        "program deleted",  "exit-list released", "host terminated"};
    EXPECT_EQ(events, expected);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(CQueltAppInstance::instance().programObject(), nullptr);
    EXPECT_EQ(CQueltAppInstance::instance().releaseAtExitCount(), 0u);
}

TEST_F(ProgramRunnerTest, TheLoopsExitCodeIsTheProcesssExitCode) {
    FakeHost host(true, 3);
    EXPECT_EQ(run(TestProgram::staticClassRecord(), &host), 3);
}

TEST_F(ProgramRunnerTest, WithoutAMainWindowNoLoopRunsAndTheExitCodeIsZero) {
    FakeHost host(false);
    EXPECT_EQ(run(TestProgram::staticClassRecord(), &host), 0);
    const std::vector<std::string> expected = {"host initialised", "constructed",     "start",
                                               "onExit",           "program deleted", "exit-list released",
                                               "host terminated"};
    EXPECT_EQ(events, expected);
}

TEST_F(ProgramRunnerTest, RuntimeExceptionIsReportedWithCodeAndDescription) {
    behaviour = StartBehaviour::ThrowRuntime;
    FakeHost host(true);
    EXPECT_EQ(run(TestProgram::staticClassRecord(), &host), -1);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], u"俘获到异常,代码值为: 17, 描述为: 配置丢失");
    EXPECT_EQ(reports[1], u"运行时异常");
    // No loop after a report, and the shutdown still releases everything.
    const std::vector<std::string> expected = {"host initialised", "constructed",        "start",
                                               "program deleted",  "exit-list released", "host terminated"};
    EXPECT_EQ(events, expected);
}

TEST_F(ProgramRunnerTest, AnyOtherExceptionGetsTheUnmanagedReport) {
    behaviour = StartBehaviour::ThrowOther;
    EXPECT_EQ(run(TestProgram::staticClassRecord(), nullptr), -1);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], u"程序在运行时抛出了未被管理的异常");
    EXPECT_EQ(reports[1], u"运行时异常");
}

TEST_F(ProgramRunnerTest, UnderADebuggerTheExceptionIsNotCaught) {
    behaviour = StartBehaviour::ThrowRuntime;
    EXPECT_THROW(run(TestProgram::staticClassRecord(), nullptr, 1), CQueltException);
    EXPECT_TRUE(reports.empty());
    // Clean up what the interrupted run left behind.
    CQueltAppInstance& app = CQueltAppInstance::instance();
    if (CQueltUserApp* program = app.programObject())
        program->destroyAndFree();
    app.releaseExitObjects();
}

TEST_F(ProgramRunnerTest, AFailedStartEndsWithMinusOneAndNoLoop) {
    behaviour = StartBehaviour::Fail;
    FakeHost host(true);
    EXPECT_EQ(run(TestProgram::staticClassRecord(), &host), -1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "loop"), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "onExit"), 0);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ProgramRunnerTest, AnObjectThatIsNoProgramIsDeletedSilently) {
    FakeHost host(true);
    EXPECT_EQ(run(NotAProgram::staticClassRecord(), &host), -1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "not-a-program deleted"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "loop"), 0);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ProgramRunnerTest, ReportTextFormat) {
    EXPECT_EQ(formatRuntimeError(-1, CWString(u"x")), u"俘获到异常,代码值为: -1, 描述为: x");
}

} // namespace
