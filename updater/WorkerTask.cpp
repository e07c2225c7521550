#include "updater/WorkerTask.h"

#include "updater/DownloadObserver.h"

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(WorkerTaskRef, CQueltRefObject, "rg_quelt_app::WorkerTaskRef")

void WorkerTask::run() noexcept {
    try {
        if (work_)
            work_();
    } catch (...) {
        // The task's own results say what became of it; the worker must still end
        // the job so that the queue goes on.
    }
}

void TaskWorker(rg_quelt_base::rg_XianChengZhuangTaiLei* state) {
    ObserverRef observerRef;
    WorkerTaskRef taskRef;
    state->LoadParameter(0, observerRef);
    state->LoadParameter(1, taskRef);
    if (WorkerTask* task = taskRef.task())
        task->run();
    if (DownloadObserver* observer = observerRef.observer()) {
        try {
            observer->jobDone(false);
        } catch (...) {
        }
    }
}

} // namespace rg_quelt_app
