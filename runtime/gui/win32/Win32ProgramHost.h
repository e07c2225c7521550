#pragma once
// CQueltWin32ProgramHost: the application shell's window system on Windows: common
// controls and the window module before the program object exists, the main loop
// while a main window is registered, and the module's termination at the end.
#include "runtime/core/ProgramHost.h"

class CQueltWin32ProgramHost : public ProgramHost {
public:
    void initialise() override;
    bool mainWindowRegistered() override;
    int runMainLoop(CQueltUserApp& program) override;
    void terminate() override;
};
