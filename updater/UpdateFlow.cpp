#include "updater/UpdateFlow.h"

#include "updater/ModuleListRules.h"

namespace rg_quelt_app {

CheckOutcome checkModules(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, ModuleRowTable& rows,
                          const rg_PeiZhiXinXiLei& config) {
    if (config.domain.isEmpty() || kindFolder(config, kind).isEmpty())
        return CheckOutcome::NotConfigured;
    const CQueltObjectArray records = engine.FetchModuleList(
        config.domain + listSuffix(kind), kindQq(config, kind), kindPassword(config, kind));
    rows.holdRedraw(true);
    FillModuleList(records, rows);
    MarkOutdatedRows(kindLetter(kind), rows, config);
    rows.holdRedraw(false);
    return CheckOutcome::Checked;
}

UpdateOutcome updateModules(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, ModuleRowTable& rows,
                            bool force, const rg_PeiZhiXinXiLei& config) {
    if (rows.rowCount() == 0)
        return UpdateOutcome::NothingChecked;
    if (force)
        MarkAllRows(rows);
    engine.StartDownload(BuildDownloadJob(kind, rows, config), rows);
    return UpdateOutcome::Started;
}

} // namespace rg_quelt_app
