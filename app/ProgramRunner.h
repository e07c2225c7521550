#pragma once
// The life of the process from the entry function to its exit code: the program
// object is made through its class record, its start operation runs under the
// run-time error guard, the main loop runs while a main window exists, and the
// shutdown steps release everything in order.
//
// The window system is reached only through ProgramHost, so the same sequence runs
// with the Win32 window layer, another toolkit, or a test's stand-in.
#include "runtime/core/ClassRecord.h"
#include "runtime/core/ProgramHost.h"
#include "runtime/core/WString.h"

#include <cstdint>

class CQueltUserApp;

struct ProgramStart {
    void* instanceHandle = nullptr;
    int argc = 0;
    char16_t** argv = nullptr;
    ProgramHost* host = nullptr; // null: no window system
    // How a run-time error is shown; null shows it with the platform's error box.
    void (*report)(const CWString& text, const CWString& caption) = nullptr;
    // Run the start operation without the guard (a debugger is attached); by
    // default the platform is asked.
    int debuggerOverride = -1;
};

inline constexpr int kExitFailure = -1;

// The report texts of the run-time error guard.
inline constexpr const char16_t* kRuntimeErrorCaption = u"运行时异常";
CWString formatRuntimeError(std::int32_t code, const CWString& description);
inline constexpr const char16_t* kUnmanagedErrorText = u"程序在运行时抛出了未被管理的异常";

// The whole sequence; returns the process exit code.
int runProgram(const CQueltClassRecord& startupClass, const ProgramStart& start);
