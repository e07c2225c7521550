#pragma once
// rg_MoKuaiGengXinYinQing: the module update engine, the one object through which
// the main window (or the headless front end) talks to the module server. It owns
// the network access object of the list requests and the download worker's thread
// state; one engine means one download job at a time in the whole program.
//
// Construct, use and destroy it on the user-interface thread, which must keep
// servicing notices (its message loop) while a job runs: the worker's transfer
// object belongs to that thread.
#include "runtime/core/EventObjectPointer.h"
#include "runtime/core/QueltObjectArray.h"
#include "runtime/data/rg_XianChengZhuangTaiLei.h"
#include "runtime/net/rg_WangLaoFangWenLei.h"
#include "updater/ModuleListReader.h"
#include "updater/ModuleRowTable.h"
#include "updater/rg_XiaZaiShuJu.h"

namespace rg_quelt_app {

class rg_MoKuaiGengXinYinQing : public CQueltObject {
    QUELT_CLASS(rg_MoKuaiGengXinYinQing)

public:
    rg_MoKuaiGengXinYinQing();
    // A copy is an engine of its own with a fresh worker state.
    rg_MoKuaiGengXinYinQing(const rg_MoKuaiGengXinYinQing& other);
    rg_MoKuaiGengXinYinQing& operator=(const rg_MoKuaiGengXinYinQing&) { return *this; }
    ~rg_MoKuaiGengXinYinQing() override;

    // Asks `url` for a module list with the credentials; blocks until the answer
    // is read. The records (rg_MoKuaiXinXiLei) in answer order; empty on any failure.
    CQueltObjectArray FetchModuleList(const CWString& url, const CWString& qq, const CWString& password);

    // Hands the job and the rows to the worker and returns once it has started;
    // while a job runs it stores them and starts nothing.
    void StartDownload(const rg_XiaZaiShuJu& job, ModuleRowTable& rows);

    bool isDownloading() const { return workerState.isRunning(); }
    // Why the last FetchModuleList gave what it gave.
    ListStatus lastListStatus() const { return lastListStatus_; }

    rg_quelt_windows_WangLao::rg_WangLaoFangWenLei listNetAccess;
    rg_quelt_base::rg_XianChengZhuangTaiLei workerState;

private:
    static std::int32_t ignoreProgress(CQueltObject*, CQueltObject*, std::int32_t, std::int64_t, std::int64_t,
                                       std::int64_t, std::int64_t) {
        return 0;
    }

    ListStatus lastListStatus_ = ListStatus::Ok;
    CQueltEventReceiver receiver_;
};

// The list request's body: qq and pwd in the system ANSI code page.
CQueltMem listRequestBody(const CWString& qq, const CWString& password);

} // namespace rg_quelt_app
