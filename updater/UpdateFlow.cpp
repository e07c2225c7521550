#include "updater/UpdateFlow.h"

#include "runtime/platform/SystemInfo.h"
#include "updater/ModuleListRules.h"

#include <memory>
#include <utility>

namespace rg_quelt_app {

bool isConfigured(ModuleKind kind, const rg_PeiZhiXinXiLei& config) {
    return !config.domain.isEmpty() && !kindFolder(config, kind).isEmpty();
}

CheckResult checkModules(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, ModuleRowTable& rows,
                         const rg_PeiZhiXinXiLei& config) {
    CheckResult result;
    if (!isConfigured(kind, config))
        return result;
    const std::uint64_t start = platform::tickCount();
    // The rows are written as the answer is read, without a record of each entry.
    ModuleRowFiller filler(rows);
    result.list = engine.FetchModuleList(config.domain + listSuffix(kind), kindQq(config, kind),
                                         kindPassword(config, kind), filler);
    if (result.list.status == ListStatus::Ok)
        result.marked = MarkOutdatedRows(kindLetter(kind), rows, config);
    filler.finish();
    result.rows = filler.rows();
    result.outcome = result.list.status == ListStatus::Ok ? CheckOutcome::Checked : CheckOutcome::Failed;
    result.elapsedMs = platform::tickCount() - start;
    return result;
}

UpdateResult updateModules(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, ModuleRowTable& rows, bool force,
                           const rg_PeiZhiXinXiLei& config, DownloadObserver& observer) {
    UpdateResult result;
    // A folder emptied after the check would send every file to the root of the drive.
    if (!isConfigured(kind, config))
        return result;
    if (rows.rowCount() == 0) {
        result.outcome = UpdateOutcome::NothingChecked;
        return result;
    }
    rg_MoKuaiGengXinYinQing::DownloadRequest request;
    request.owner = static_cast<std::uint32_t>(kind);
    request.observer = RefPtr<DownloadObserver>(&observer);
    // What the job holds, for a start made at once; a queued one tells its observer.
    auto made = std::make_shared<UpdateResult>();
    // Taken once the job's turn comes; the rows of a window that has gone are not.
    request.prepare = [kind, force, config, made,
                       table = RefPtr<ModuleRowTable>(&rows)](rg_XiaZaiShuJu& job) {
        if (table->abandoned())
            return false;
        if (force)
            MarkAllRows(*table);
        job = BuildDownloadJob(kind, *table, config);
        made->files = job.linkCount();
        made->bytes = job.listedBytes();
        return true;
    };
    switch (engine.requestDownload(std::move(request))) {
    case rg_MoKuaiGengXinYinQing::RequestOutcome::Started:
        result.outcome = UpdateOutcome::Started;
        result.files = made->files;
        result.bytes = made->bytes;
        break;
    case rg_MoKuaiGengXinYinQing::RequestOutcome::Queued:
        result.outcome = UpdateOutcome::Queued;
        break;
    case rg_MoKuaiGengXinYinQing::RequestOutcome::Refused:
        result.outcome = UpdateOutcome::Busy;
        break;
    }
    return result;
}

} // namespace rg_quelt_app
