#pragma once
// rg_XianChengZhuangTaiLei: starts a job on a worker thread and hands it its
// parameters. Every copy shares one ThreadStateRecord; the job receives a copy of
// its own, so the starter may drop its object while the job runs (the record then
// goes with the job's copy).
//
// At most one job of a record runs at a time: StartThread while a job runs does
// nothing, and says nothing. A failed thread creation leaves the state idle. Only
// one thread (the user-interface thread) may call StartThread on a record: the test
// for "idle" and the switch to "running" are not one atomic step.
//
// The parameter slots may be stored and loaded from any thread at any time. A job
// takes its copies when it starts (LoadParameter); storing later replaces what the
// slot holds without touching those copies.
//
// A default-constructed object holds a fresh record. After releaseContents() an
// object holds none, and every operation on it does nothing.
#include "runtime/core/SharedRecordRef.h"
#include "runtime/platform/Thread.h"

#include <cstdint>

namespace rg_quelt_base {

class ThreadStateRecord;

class rg_XianChengZhuangTaiLei : public SharedRecordRef<ThreadStateRecord> {
    QUELT_CLASS(rg_XianChengZhuangTaiLei)

public:
    // The job, run on the new thread with that thread's own copy of the state. An
    // exception that escapes it is swallowed; the state still becomes idle.
    using JobFunction = void (*)(rg_XianChengZhuangTaiLei* state);
    // How StartThread creates its thread; the default is platform::startDetachedThread.
    using ThreadStarter = bool (*)(platform::ThreadRoutine routine, void* parameter);

    rg_XianChengZhuangTaiLei();
    // Copies share the record; the job's own parameter copies stay with the job.
    rg_XianChengZhuangTaiLei(const rg_XianChengZhuangTaiLei& other) : SharedRecordRef(other) {}
    rg_XianChengZhuangTaiLei& operator=(const rg_XianChengZhuangTaiLei& other);
    ~rg_XianChengZhuangTaiLei() override;

    // Returns once the new thread holds its copy of the state (or at once when a job
    // runs, the record is unusable, or the thread could not be created).
    void StartThread(JobFunction job);

    // Slot `index` (0-2) receives a copy of `object`; a null instance empties it.
    // The object stored there before is freed. Other indices are ignored.
    void StoreParameter(int index, const CQueltObject& object);
    // Assigns the slot's object to `target`; an empty slot, another class or a bad
    // index leave `target` unchanged. Inside a job this reads the copies the job
    // took as it started, so a start that was dropped while the job ran (and stored
    // its own parameters) never changes what the job works on.
    void LoadParameter(int index, CQueltObject& target) const;

    // True while a job of this record runs.
    bool isRunning() const;
    // Waits until no job runs; false when `timeoutMs` passed first.
    bool waitUntilIdle(std::uint32_t timeoutMs) const;

    ThreadStateRecord* stateRecord() const;

    // A fresh record, as after construction.
    void reset() override;

    // Replaces the thread starter (tests use it to make creation fail); null restores
    // the default. Returns the previous starter. Not while a start is under way.
    static ThreadStarter setThreadStarter(ThreadStarter starter);

    // Copies the slots for the job that is starting; the start routine calls it
    // before it lets the starter go on.
    void takeParameterCopies();

private:
    void dropParameterCopies();

    CQueltObject** jobCopies_ = nullptr; // the job's own slots, when this is a job's state
};

} // namespace rg_quelt_base
