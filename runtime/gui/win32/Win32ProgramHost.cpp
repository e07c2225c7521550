#include "runtime/gui/win32/Win32ProgramHost.h"

#include "runtime/gui/win32/MainMessageLoop.h"
#include "runtime/gui/win32/WtlAppModule.h"

#include <commctrl.h>

void CQueltWin32ProgramHost::initialise() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = 8;
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    CQueltWtlAppModule::instance().init();
}

bool CQueltWin32ProgramHost::mainWindowRegistered() {
    return CQueltWtlAppModule::instance().mainWindow() != nullptr;
}

int CQueltWin32ProgramHost::runMainLoop(CQueltUserApp& program) {
    CQueltMainMessageLoop loop(program);
    return loop.run();
}

void CQueltWin32ProgramHost::terminate() { CQueltWtlAppModule::instance().term(); }
