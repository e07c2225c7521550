#pragma once
// CQueltAppInstance: the runtime's process-wide state, constructed before anything
// else during static initialisation and destroyed after everything else. It owns
// the allocator pool, the run-time library list, the thread-state registry and the
// release-at-exit list, and records the program object and the facts of the start.
//
// Its shutdown steps run once, from the application shell after the main loop;
// whatever is still pending runs again from the destructor.
#include "runtime/core/PoolMem.h"
#include "runtime/core/QueltMem.h"
#include "runtime/core/QueltObjectArray.h"
#include "runtime/core/ThreadStateRegistry.h"
#include "runtime/platform/CriticalSection.h"

#include <cstdint>

class CQueltUserApp;

class CQueltAppInstance {
public:
    CQueltAppInstance();
    ~CQueltAppInstance();
    CQueltAppInstance(const CQueltAppInstance&) = delete;
    CQueltAppInstance& operator=(const CQueltAppInstance&) = delete;

    static CQueltAppInstance& instance();

    constexpr CPoolMem& pool() { return pool_; }
    ThreadStateRegistry& threadStates() { return threadStates_; }

    // A library loaded at run time, freed at exit.
    void addLibrary(void* library);
    void setSocketsStarted() { socketsStarted_ = true; }
    // Takes ownership; the object is destroyed and freed at exit.
    void releaseAtExit(CQueltObject* object);
    std::size_t releaseAtExitCount();

    CQueltUserApp* programObject() const { return programObject_; }
    void setProgramObject(CQueltUserApp* program) { programObject_ = program; }

    void recordStart(void* instanceHandle, int argc, char16_t** argv, std::uint64_t mainThreadId);
    void* instanceHandle() const { return instanceHandle_; }
    int argumentCount() const { return argc_; }
    char16_t** argumentVector() const { return argv_; }
    std::uint64_t mainThreadId() const { return mainThreadId_; }
    void setComInitialised(bool initialised) { comInitialised_ = initialised; }
    bool comInitialised() const { return comInitialised_; }

    // Shutdown steps of the runtime, each at most once: close the thread-state
    // registry; release the release-at-exit list; free the run-time libraries;
    // end GDI+ if it was started. The program object is deleted by the shell between
    // the first and the second step.
    void closeThreadStates();
    void releaseExitObjects();
    void freeLibraries();
    void shutdownGdiplus();

private:
    CPoolMem pool_;
    CQueltMem libraries_;
    bool socketsStarted_ = false;
    platform::CriticalSection gdiplusLock_;
    std::uintptr_t gdiplusToken_ = 0;
    ThreadStateRegistry threadStates_;
    platform::CriticalSection exitListLock_;
    CQueltObjectArray exitList_;
    CQueltUserApp* programObject_ = nullptr;
    void* instanceHandle_ = nullptr;
    int argc_ = 0;
    char16_t** argv_ = nullptr;
    std::uint64_t mainThreadId_ = 0;
    bool comInitialised_ = false;
};
