#pragma once
// What "撤销上次更新" does for one module kind, apart from asking and telling: the
// rollback of one backed-up job (rollbackBackupJob) as a job of the engine's queue,
// on the worker thread, followed by a new marking of the kind's rows, so that the
// files put back with their old times read "下载" again and the user sees what the
// rollback undid. RollbackTracker is its observer: the front end reads from it
// whether the rollback waits, runs or ended, and what it did.
#include "runtime/core/RefPtr.h"
#include "runtime/platform/CriticalSection.h"
#include "updater/DownloadObserver.h"
#include "updater/ModuleBackups.h"
#include "updater/ModuleKind.h"
#include "updater/ModuleRowTable.h"
#include "updater/rg_MoKuaiGengXinYinQing.h"

#include <cstddef>
#include <cstdint>

namespace rg_quelt_app {

class RollbackTracker final : public DownloadObserver {
public:
    // A new tracker with one reference, which the caller owns.
    static RollbackTracker* create() { return new RollbackTracker; }

    struct Figures {
        bool started = false;  // its turn came
        bool finished = false; // it returned; `result` and `marked` hold
        RollbackResult result;
        std::size_t marked = 0; // rows that read "下载" afterwards because of the marking
    };
    // From any thread.
    Figures figures() const;

    // By the rollback's task, on the worker, before the job ends.
    void record(const RollbackResult& result, std::size_t marked);

    void jobStarting(const rg_XiaZaiShuJu&) override;
    void fileProgress(const rg_LianJieYuSuoYinLei&, std::int64_t, std::int64_t) override {}
    void fileDone(const rg_LianJieYuSuoYinLei&, const FileResult&) override {}
    void jobDone(bool stopped) override;

private:
    RollbackTracker() = default;

    mutable platform::CriticalSection lock_;
    Figures figures_;
};

// The queue's owner of a kind's rollback: apart from the kind's update, so that
// each has its own one wait.
std::uint32_t rollbackOwner(ModuleKind kind);

enum class RollbackOutcome {
    NotConfigured, // the kind has no folder
    Busy,          // this kind's rollback waits already
    Queued,        // another job runs: this one starts after it (and those queued before)
    Started,       // the rollback went to the worker; the tracker follows it
};

// Asks the engine to put back the kind's job `jobTime` (empty: the newest) into the
// kind's folder of `config`, with the engine's transfer settings as they are now
// (where the backups and the history are). `rows`, when given and still shown once
// the files are back, are marked anew (MarkOutdatedRows): nothing is fetched.
RollbackOutcome rollbackModules(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, ModuleRowTable* rows,
                                const rg_PeiZhiXinXiLei& config, const CWString& jobTime,
                                RollbackTracker& tracker);

} // namespace rg_quelt_app
