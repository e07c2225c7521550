#pragma once
// ProgramHost: how the application shell reaches the window system. The shell runs
// the same start-up and shutdown sequence with the Win32 window layer, another
// toolkit, or a test's stand-in; only these four steps differ between them.
class CQueltUserApp;

class ProgramHost {
public:
    virtual ~ProgramHost() = default;
    // Before the program object exists (common controls, the window module).
    virtual void initialise() {}
    virtual bool mainWindowRegistered() { return false; }
    // Runs the main loop and returns its exit code.
    virtual int runMainLoop(CQueltUserApp&) { return 0; }
    // The window module's termination, the last shutdown step.
    virtual void terminate() {}
};
