// The wide Windows entry of MirethUpdater.exe. The runtime's start-up code has run
// the static initialisation by now; the shell does the rest in its fixed order.
#include "app/ProgramRunner.h"
#include "app/rg_startup_class.h"
#include "runtime/gui/win32/Win32ProgramHost.h"

#include <windows.h>

#include <cstdlib>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    CQueltWin32ProgramHost host;
    ProgramStart start;
    start.instanceHandle = instance;
    start.argc = __argc;
    start.argv = reinterpret_cast<char16_t**>(__wargv);
    start.host = &host;
    return runProgram(rg_quelt_app::rg_startup_class::staticClassRecord(), start);
}
