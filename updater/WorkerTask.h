#pragma once
// WorkerTask: work that is not a download but must run as a job of the engine's
// queue, on the worker thread: after the jobs asked for before it, before those
// after it, and with no download running meanwhile (a rollback puts files back
// that a download would otherwise be writing). TaskWorker is its thread procedure.
//
// WorkerTaskRef is how a task travels as a runtime object (in a thread-state
// slot): it shares the task by reference count, so the task's captures live until
// the last holder lets go, which may be the worker thread.
#include "runtime/core/SharedRecordRef.h"
#include "runtime/data/rg_XianChengZhuangTaiLei.h"

#include <functional>
#include <utility>

namespace rg_quelt_app {

class WorkerTask final : public CRefObject {
public:
    explicit WorkerTask(std::function<void()> work) : work_(std::move(work)) {}

    // On the worker thread; an exception it throws ends here.
    void run() noexcept;

private:
    std::function<void()> work_;
};

class WorkerTaskRef : public SharedRecordRef<WorkerTask> {
    QUELT_CLASS(WorkerTaskRef)

public:
    WorkerTaskRef() = default;
    // A new task with the one reference of this object.
    explicit WorkerTaskRef(std::function<void()> work) : SharedRecordRef(new WorkerTask(std::move(work))) {}

    WorkerTask* task() const { return get(); }
};

// Slot 0 holds the observer (ObserverRef), slot 1 the task (WorkerTaskRef). The
// observer hears jobDone(false) once the task has returned, whatever it did; a stop
// of the engine does not cut a task short.
void TaskWorker(rg_quelt_base::rg_XianChengZhuangTaiLei* state);

} // namespace rg_quelt_app
