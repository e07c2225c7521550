#pragma once
// ModuleCheckRunner: "检查更新" off the user-interface thread. A check (the list
// request, the fill of the rows and their marking: checkModules) runs on a thread
// of the runner's own, so the window keeps painting and answering meanwhile; its
// result comes back to the thread that made the runner, in a notice, when it is
// done.
//
// The engine has one list request at a time (one transfer handle, one record of
// the last reading), so the checks of several kinds queue up and run one after
// another, in the order they were asked for; a kind whose check is queued or
// running is busy until its result has been handed over.
//
// The rows are filled and marked from the runner's thread: a row table is safe
// from any thread, and while a kind is busy its window neither marks its rows nor
// builds a job from them, so nothing else writes them but a running job's
// outcomes, which land only on rows that still show their file.
//
// Made, used and destroyed on the user-interface thread, which services notices
// (its message loop) while checks run: the list request's progress notices come
// to it too. The engine must outlive the runner.
#include "runtime/platform/NoticeReceiver.h"
#include "updater/ModuleKind.h"
#include "updater/ModuleRowTable.h"
#include "updater/UpdateFlow.h"
#include "updater/rg_MoKuaiGengXinYinQing.h"
#include "updater/rg_PeiZhiXinXiLei.h"

#include <array>
#include <cstddef>
#include <functional>

namespace rg_quelt_app {

class ModuleCheckRunner final : private IQueltNoticeReceiver {
public:
    // On the runner's thread of creation, once per check that was started.
    using Done = std::function<void(ModuleKind kind, const CheckResult& result)>;

    ModuleCheckRunner(rg_MoKuaiGengXinYinQing& engine, Done done);
    // stop().
    ~ModuleCheckRunner();
    ModuleCheckRunner(const ModuleCheckRunner&) = delete;
    ModuleCheckRunner& operator=(const ModuleCheckRunner&) = delete;

    // Queues a check of `kind` into `rows` with `config` as it is now. False, and
    // nothing queued, while that kind is busy or once the runner is abandoned.
    bool start(ModuleKind kind, ModuleRowTable& rows, const rg_PeiZhiXinXiLei& config);
    // Queued or running, its result not handed over yet.
    bool busy(ModuleKind kind) const { return busy_[static_cast<std::size_t>(kind)]; }
    bool anyBusy() const;

    // For a window that is closing: no result is handed over any more, the queued
    // checks are dropped and the list request that runs ends at its next progress
    // notice (the engine's list requests are abandoned for good). Returns at once.
    void abandon();
    // abandon(), then waits for the runner's thread to end, servicing notices
    // meanwhile. Every step of an abandoned check ends soon: the request at its next
    // progress notice, the fill and the marking at once on rows nobody shows.
    void stop();

private:
    // What the runner and its thread share; the thread holds a reference while it
    // runs, so the record outlives whichever of the two ends last.
    class Shared;

    std::intptr_t onNotice(std::uintptr_t first, std::uintptr_t second, std::uintptr_t third) override;

    Shared* const shared_;
    Done done_;
    std::array<bool, 3> busy_{};
};

} // namespace rg_quelt_app
