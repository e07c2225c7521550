#include "updater/rg_MoKuaiGengXinYinQing.h"

#include "updater/DownloadWorker.h"
#include "updater/FormBody.h"
#include "updater/ModuleListReader.h"

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_MoKuaiGengXinYinQing, CQueltObject, "rg_quelt_app::rg_MoKuaiGengXinYinQing")

rg_MoKuaiGengXinYinQing::rg_MoKuaiGengXinYinQing() : receiver_(this) {
    listNetAccess.progressEvent.bind(&ignoreProgress, receiver_.pointer());
}

rg_MoKuaiGengXinYinQing::rg_MoKuaiGengXinYinQing(const rg_MoKuaiGengXinYinQing& other)
    : CQueltObject(other), receiver_(this) {
    listNetAccess.progressEvent.bind(&ignoreProgress, receiver_.pointer());
}

rg_MoKuaiGengXinYinQing::~rg_MoKuaiGengXinYinQing() {
    // No event reaches the engine once it is going; a running worker keeps its own
    // share of the thread state and finishes its job.
    receiver_.teardown();
}

CQueltMem listRequestBody(const CWString& qq, const CWString& password) {
    FormBody body;
    body.field("qq", qq.toAnsi()).field("pwd", password.toAnsi());
    return body.bytes();
}

CQueltObjectArray rg_MoKuaiGengXinYinQing::FetchModuleList(const CWString& url, const CWString& qq,
                                                           const CWString& password) {
    const CQueltMem body = listRequestBody(qq, password);
    const auto response = listNetAccess.Post(url, &body, rg_quelt_windows_WangLao::defaultHeaderList());
    if (response.responseCode() == 0 && response.body().empty()) {
        lastListStatus_ = ListStatus::TransferFailed;
        return CQueltObjectArray();
    }
    return readModuleList(response.BodyAsText(), &lastListStatus_);
}

void rg_MoKuaiGengXinYinQing::StartDownload(const rg_XiaZaiShuJu& job, ModuleRowTable& rows) {
    workerState.StoreParameter(0, RowTableRef(&rows));
    workerState.StoreParameter(1, job);
    workerState.StartThread(&DownloadWorker);
}

} // namespace rg_quelt_app
