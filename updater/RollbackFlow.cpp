#include "updater/RollbackFlow.h"

#include "updater/ModuleListRules.h"

#include <utility>

namespace rg_quelt_app {

RollbackTracker::Figures RollbackTracker::figures() const {
    platform::CriticalSectionLock hold(lock_);
    return figures_;
}

void RollbackTracker::record(const RollbackResult& result, std::size_t marked) {
    platform::CriticalSectionLock hold(lock_);
    figures_.result = result;
    figures_.marked = marked;
}

void RollbackTracker::jobStarting(const rg_XiaZaiShuJu&) {
    platform::CriticalSectionLock hold(lock_);
    figures_.started = true;
}

void RollbackTracker::jobDone(bool) {
    platform::CriticalSectionLock hold(lock_);
    figures_.finished = true;
}

std::uint32_t rollbackOwner(ModuleKind kind) {
    // Above the update owners (the kinds' indices).
    return 0x100u + static_cast<std::uint32_t>(kind);
}

RollbackOutcome rollbackModules(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, ModuleRowTable* rows,
                                const rg_PeiZhiXinXiLei& config, const CWString& jobTime,
                                RollbackTracker& tracker) {
    const CWString folder = kindFolder(config, kind);
    // An empty folder would put the files back relative to the working folder.
    if (folder.isEmpty())
        return RollbackOutcome::NotConfigured;
    rg_MoKuaiGengXinYinQing::DownloadRequest request;
    request.owner = rollbackOwner(kind);
    request.observer = RefPtr<DownloadObserver>(&tracker);
    request.task = [kind, folder, jobTime, config, settings = engine.transferSettings(),
                    follower = RefPtr<RollbackTracker>(&tracker), table = RefPtr<ModuleRowTable>(rows)] {
        const RollbackResult result = rollbackBackupJob(settings, kind, folder, jobTime);
        std::size_t marked = 0;
        // Rows of a window that has gone are not marked.
        if (result.found && table && !table->abandoned())
            marked = MarkOutdatedRows(kindLetter(kind), *table, config);
        follower->record(result, marked);
    };
    switch (engine.requestDownload(std::move(request))) {
    case rg_MoKuaiGengXinYinQing::RequestOutcome::Started:
        return RollbackOutcome::Started;
    case rg_MoKuaiGengXinYinQing::RequestOutcome::Queued:
        return RollbackOutcome::Queued;
    case rg_MoKuaiGengXinYinQing::RequestOutcome::Refused:
        break;
    }
    return RollbackOutcome::Busy;
}

} // namespace rg_quelt_app
