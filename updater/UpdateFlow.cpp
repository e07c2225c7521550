#include "updater/UpdateFlow.h"

#include "runtime/platform/SystemInfo.h"
#include "updater/ModuleListRules.h"

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
    if (force)
        MarkAllRows(rows);
    const rg_XiaZaiShuJu job = BuildDownloadJob(kind, rows, config);
    result.files = job.linkCount();
    result.bytes = job.listedBytes();
    result.outcome = engine.StartDownload(job, observer) ? UpdateOutcome::Started : UpdateOutcome::Busy;
    return result;
}

} // namespace rg_quelt_app
