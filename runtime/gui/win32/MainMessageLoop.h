#pragma once
// CQueltMainMessageLoop: the main thread's message loop. It runs an idle phase
// whenever the queue is empty after an idle-triggering message, offers every
// message to the program object, the registered message filters and the
// framework's pre-translation chain, and ends at WM_QUIT with its exit code.
//
// Filters and idle handlers are not owned; they must stay alive while registered.
#include "runtime/core/QueltMem.h"

#include <windows.h>

class CQueltUserApp;

class IQueltMessageFilter {
public:
    // True when the message is consumed.
    virtual bool preTranslateMessage(MSG& message) = 0;

protected:
    ~IQueltMessageFilter() = default;
};

class IQueltIdleHandler {
public:
    virtual void onIdle() = 0;

protected:
    ~IQueltIdleHandler() = default;
};

// The framework's pre-translation of keyboard and mouse messages: offered to the
// framework windows from the message's window up to its top-level window. True
// when one of them consumed it.
bool preTranslateChain(MSG& message);

class CQueltMessageLoop {
public:
    CQueltMessageLoop() = default;
    CQueltMessageLoop(const CQueltMessageLoop&) = delete;
    CQueltMessageLoop& operator=(const CQueltMessageLoop&) = delete;
    virtual ~CQueltMessageLoop() = default;

    void addMessageFilter(IQueltMessageFilter* filter);
    bool removeMessageFilter(IQueltMessageFilter* filter);
    void addIdleHandler(IQueltIdleHandler* handler);
    bool removeIdleHandler(IQueltIdleHandler* handler);

protected:
    bool runFilters(MSG& message);
    void runIdleHandlers();

private:
    static bool removeFrom(CQueltMem& list, void* item);
    CQueltMem filters_;
    CQueltMem idleHandlers_;
};

class CQueltMainMessageLoop : public CQueltMessageLoop {
public:
    // `program` takes part (preTranslate, onIdle) only when it is a window program.
    explicit CQueltMainMessageLoop(CQueltUserApp& program);

    // Registers the loop for the calling thread, runs it and returns the exit code.
    int run();
    // One idle step; always 0, so each idle phase runs it once.
    bool idleStep(int idleCount);

private:
    CQueltUserApp& program_;
    bool windowProgram_;
};
