#include "app/ProgramRunner.h"

#include "runtime/core/AppInstance.h"
#include "runtime/core/QueltException.h"
#include "runtime/core/UserApp.h"
#include "runtime/platform/ProcessServices.h"
#include "runtime/platform/SystemInfo.h"

CWString formatRuntimeError(std::int32_t code, const CWString& description) {
    return CWString(u"俘获到异常,代码值为: ") + CWString::fromInteger(code) + u", 描述为: " + description;
}

namespace {

void report(const ProgramStart& start, const CWString& text) {
    const CWString caption(kRuntimeErrorCaption);
    if (start.report)
        start.report(text, caption);
    else
        platform::showErrorMessage(text.text(), caption.text());
}

// Shutdown after the loop, or at once when there was none.
void shutdown(CQueltAppInstance& app, ProgramHost* host) {
    app.closeThreadStates();
    if (CQueltUserApp* program = app.programObject()) {
        program->destroyAndFree();
        app.setProgramObject(nullptr);
    }
    app.releaseExitObjects();
    app.freeLibraries();
    app.shutdownGdiplus();
    if (host)
        host->terminate();
}

// Runs `program`'s start operation; an escaping exception is reported and turns
// the result into kExitFailure. Otherwise 1 when start returned true, 0 when not.
int runStartGuarded(CQueltUserApp& program, const ProgramStart& start) {
    try {
        return program.start() ? 1 : 0;
    } catch (const CQueltException& e) {
        report(start, formatRuntimeError(e.code(), e.description()));
    } catch (...) {
        report(start, CWString(kUnmanagedErrorText));
    }
    return kExitFailure;
}

} // namespace

int runProgram(const CQueltClassRecord& startupClass, const ProgramStart& start) {
    CQueltAppInstance& app = CQueltAppInstance::instance();
    ProgramHost* host = start.host;
    if (host)
        host->initialise();
    app.recordStart(start.instanceHandle, start.argc, start.argv, platform::currentThreadId());
    app.setComInitialised(platform::comInitialize());

    CQueltObject* made = startupClass.factory ? startupClass.factory() : nullptr;
    if (!made || !made->isInstanceOf(CQueltUserApp::staticClassRecord())) {
        if (made)
            made->destroyAndFree();
        app.setProgramObject(nullptr);
        shutdown(app, host);
        return kExitFailure;
    }
    auto* program = static_cast<CQueltUserApp*>(made);
    app.setProgramObject(program);

    const bool underDebugger =
        start.debuggerOverride >= 0 ? start.debuggerOverride != 0 : platform::debuggerPresent();
    const int started = underDebugger ? (program->start() ? 1 : 0) : runStartGuarded(*program, start);

    int exitCode = kExitFailure;
    if (started == 1) {
        exitCode = 0;
        // Only a window program takes part in the loop.
        const bool windowProgram =
            program->isInstanceOf(rg_quelt_base::rg_ChuangKouChengXuLei::staticClassRecord());
        if (host && host->mainWindowRegistered())
            exitCode = host->runMainLoop(*program);
        if (windowProgram)
            program->onExit();
    }
    shutdown(app, host);
    return exitCode;
}
