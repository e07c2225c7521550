#pragma once
// CQueltWtlAppModule: the window framework's process-wide module: the main thread,
// the message loop of each thread that runs one, and the main window. One static
// instance, constructed during static initialisation after the runtime's state.
// init() runs at the start of the entry function, term() as the last shutdown step.
#include "runtime/core/QueltMem.h"
#include "runtime/platform/CriticalSection.h"

#include <windows.h>

class CQueltMessageLoop;

class CQueltWtlAppModule {
public:
    CQueltWtlAppModule();
    ~CQueltWtlAppModule();
    CQueltWtlAppModule(const CQueltWtlAppModule&) = delete;
    CQueltWtlAppModule& operator=(const CQueltWtlAppModule&) = delete;

    static CQueltWtlAppModule& instance();

    // Records the main thread and installs the Win32 window layer.
    void init();
    void term();
    DWORD mainThreadId() const { return mainThreadId_; }

    // False (and nothing registered) when the map could not grow.
    bool addMessageLoop(DWORD thread, CQueltMessageLoop* loop);
    // Removes the first entry for `thread`.
    bool removeMessageLoop(DWORD thread);
    CQueltMessageLoop* messageLoop(DWORD thread);

    HWND mainWindow() const;
    void setMainWindow(HWND window);

private:
    DWORD mainThreadId_ = 0;
    platform::CriticalSection lock_;
    CQueltMem threads_;
    CQueltMem loops_;
};
