#pragma once
// What "检查更新" and "更新模块" do for one module kind, apart from showing
// messages: the main window and the headless front end both drive the engine
// through these and tell the user what the outcome means.
#include "updater/ModuleKind.h"
#include "updater/ModuleRowTable.h"
#include "updater/rg_MoKuaiGengXinYinQing.h"

namespace rg_quelt_app {

inline constexpr const char16_t* kMessageConfigureFirst = u"请先在配置界面进行各参数的配置";
inline constexpr const char16_t* kMessageCheckFirst = u"请先检查更新！";

enum class CheckOutcome {
    NotConfigured, // the domain or the kind's folder is empty: "请先在配置界面进行各参数的配置"
    Checked,       // the rows show the server's list (empty when the list failed)
};

enum class UpdateOutcome {
    NothingChecked, // the rows are empty: "请先检查更新！"
    Started,        // the job went to the worker, or was dropped because one runs
};

// Fetches the kind's list, fills `rows` and marks the files to download.
CheckOutcome checkModules(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, ModuleRowTable& rows,
                          const rg_PeiZhiXinXiLei& config);

// Marks every row when `force` ("强制更新"), builds the job from the marked rows and
// starts the worker.
UpdateOutcome updateModules(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, ModuleRowTable& rows,
                            bool force, const rg_PeiZhiXinXiLei& config);

} // namespace rg_quelt_app
