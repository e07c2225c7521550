#include "updater/rg_MoKuaiGengXinYinQing.h"

#include "runtime/data/ThreadStateRecord.h"
#include "runtime/platform/NoticeReceiver.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/DownloadWorker.h"
#include "updater/FormBody.h"

#include <curl/curl.h>

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_MoKuaiGengXinYinQing, CQueltObject, "rg_quelt_app::rg_MoKuaiGengXinYinQing")

namespace {

CWString statusNote(std::int32_t responseCode) {
    if (responseCode == 0 || (responseCode >= 200 && responseCode < 300))
        return CWString();
    return CWString(u" (HTTP ") + CWString::fromInteger(responseCode).view() + u")";
}

} // namespace

rg_MoKuaiGengXinYinQing::rg_MoKuaiGengXinYinQing() : receiver_(this) {
    listNetAccess.progressEvent.bind(&ignoreProgress, receiver_.pointer());
}

rg_MoKuaiGengXinYinQing::rg_MoKuaiGengXinYinQing(const rg_MoKuaiGengXinYinQing& other)
    : CQueltObject(other), settings_(other.settings_), receiver_(this) {
    listNetAccess.progressEvent.bind(&ignoreProgress, receiver_.pointer());
}

rg_MoKuaiGengXinYinQing::~rg_MoKuaiGengXinYinQing() {
    // No event reaches the engine once it is going.
    receiver_.teardown();
    stopDownload(kStopWaitMs);
}

void rg_MoKuaiGengXinYinQing::setTransferSettings(const TransferSettings& settings) {
    settings_ = settings;
    listNetAccess.setPolicy(settings.policy());
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
    const bool complete = response.curlResult() == CURLE_OK;
    const CWString failure = transferFailureText(response.curlResult(), response.failureText().view());
    if (response.body().empty() || (complete && !response.failureText().isEmpty())) {
        // No answer, or none to read: a redirect that was not followed says why.
        lastListReading_.status = ListStatus::TransferFailed;
        lastListReading_.reason = !failure.isEmpty() ? failure
                                                     : CWString(u"the server sent an empty answer") +
                                                           statusNote(response.responseCode()).view();
        return CQueltObjectArray();
    }
    CQueltObjectArray records = readModuleList(response.BodyAsText(), &lastListReading_);
    if (!complete && lastListReading_.status == ListStatus::Ok) {
        // Whole JSON can still be a part of the answer (a cut between two elements
        // of a pretty-printed list is not): the transfer tells.
        lastListReading_.status = ListStatus::Incomplete;
        lastListReading_.reason = CWString(u"the transfer broke off: ") + failure.view();
    } else if (lastListReading_.status != ListStatus::Ok) {
        lastListReading_.reason += statusNote(response.responseCode()).view();
    }
    return records;
}

bool rg_MoKuaiGengXinYinQing::StartDownload(const rg_XiaZaiShuJu& job, DownloadObserver& observer) {
    // Only this thread starts jobs, so a job found not running stays so until the
    // start below; the observer hears of a job only when it is the one that runs.
    const bool idle = !isDownloading();
    if (idle)
        observer.jobStarting(job);
    workerState.StoreParameter(0, ObserverRef(&observer));
    workerState.StoreParameter(1, job);
    workerState.StoreParameter(2, settings_);
    if (idle)
        workerState.StartThread(&DownloadWorker);
    return idle;
}

bool rg_MoKuaiGengXinYinQing::stopDownload(std::uint32_t timeoutMs) {
    rg_quelt_base::ThreadStateRecord* record = workerState.stateRecord();
    if (!record || !isDownloading())
        return true;
    record->stopEvent.set();
    const std::uint64_t deadline = platform::tickCount() + timeoutMs;
    // The worker may be waiting for this thread (a row write handed over to it).
    while (!workerState.waitUntilIdle(10)) {
        if (platform::tickCount() >= deadline)
            return false;
        platform::serviceNotices(0);
    }
    return true;
}

} // namespace rg_quelt_app
