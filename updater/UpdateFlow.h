#pragma once
// What "检查更新" and "更新模块" do for one module kind, apart from showing
// messages: the main window and the headless front end both drive the engine
// through these and tell the user what the result means.
#include "updater/DownloadObserver.h"
#include "updater/ModuleKind.h"
#include "updater/ModuleRowTable.h"
#include "updater/rg_MoKuaiGengXinYinQing.h"

#include <cstddef>
#include <cstdint>

namespace rg_quelt_app {

inline constexpr const char16_t* kMessageConfigureFirst = u"请先在配置界面进行各参数的配置";
inline constexpr const char16_t* kMessageCheckFirst = u"请先检查更新！";

enum class CheckOutcome {
    NotConfigured, // the domain or the kind's folder is empty: "请先在配置界面进行各参数的配置"
    Checked,       // the rows show the server's list
    Failed,        // the list could not be fetched or understood; `reason` says why
};

struct CheckResult {
    CheckOutcome outcome = CheckOutcome::NotConfigured;
    ListReading list;       // how the answer was read
    std::size_t rows = 0;   // rows filled
    std::size_t marked = 0; // of those, marked "下载"
    std::uint64_t elapsedMs = 0;
};

enum class UpdateOutcome {
    NotConfigured, // the domain or the kind's folder is empty: "请先在配置界面进行各参数的配置"
    NothingChecked, // the rows are empty: "请先检查更新！"
    Busy,           // this kind's update waits already: nothing more was asked for
    Queued,         // another job runs: this one starts after it (and those queued before)
    Started,        // the job went to the worker; the observer follows it
};

struct UpdateResult {
    UpdateOutcome outcome = UpdateOutcome::NotConfigured;
    std::size_t files = 0;  // of the job, once started
    std::int64_t bytes = 0; // their listed sizes
};

// Whether the domain and the kind's folder are set: a check or an update asks for
// nothing else.
bool isConfigured(ModuleKind kind, const rg_PeiZhiXinXiLei& config);

// Fetches the kind's list, fills `rows` and marks the files to download. A list that
// broke off fills the rows read before the break but marks none of them.
CheckResult checkModules(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, ModuleRowTable& rows,
                         const rg_PeiZhiXinXiLei& config);

// Marks every row when `force` ("强制更新"), builds the job from the marked rows and
// starts the worker, which reports to `observer`. While another job runs, the
// update waits in the engine's queue, and the marking and the job wait with it:
// the rows are read (and marked) when its turn comes, with `config` as it is now.
UpdateResult updateModules(rg_MoKuaiGengXinYinQing& engine, ModuleKind kind, ModuleRowTable& rows, bool force,
                           const rg_PeiZhiXinXiLei& config, DownloadObserver& observer);

} // namespace rg_quelt_app
