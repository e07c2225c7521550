#include "runtime/platform/Thread.h"

#include <new>
#include <windows.h>

namespace platform {
namespace {

struct Launch {
    ThreadRoutine routine;
    void* parameter;
};

DWORD WINAPI trampoline(LPVOID raw) {
    const Launch launch = *static_cast<Launch*>(raw);
    delete static_cast<Launch*>(raw);
    return launch.routine(launch.parameter);
}

} // namespace

bool startDetachedThread(ThreadRoutine routine, void* parameter, std::size_t stackSize) {
    if (!routine)
        return false;
    Launch* launch = new (std::nothrow) Launch{routine, parameter};
    if (!launch)
        return false;
    DWORD flags = CREATE_SUSPENDED;
    if (stackSize)
        flags |= STACK_SIZE_PARAM_IS_A_RESERVATION;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, stackSize, trampoline, launch, flags, &id);
    if (!thread) {
        delete launch;
        return false;
    }
    if (ResumeThread(thread) == static_cast<DWORD>(-1)) {
        // It never ran a line of ours, so ending it holds no lock and leaks nothing
        // but its own stack, which the system takes back.
        TerminateThread(thread, 1);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        delete launch;
        return false;
    }
    CloseHandle(thread);
    return true;
}

} // namespace platform
