#include "updater/rg_MoKuaiGengXinYinQing.h"

#include "runtime/data/ThreadStateRecord.h"
#include "runtime/net/MemoryBodySink.h"
#include "runtime/platform/NoticeReceiver.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/BodyLine.h"
#include "updater/DownloadWorker.h"
#include "updater/FormBody.h"
#include "updater/WorkerTask.h"

#include <curl/curl.h>

#include <utility>

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_MoKuaiGengXinYinQing, CQueltObject, "rg_quelt_app::rg_MoKuaiGengXinYinQing")

namespace {

bool isErrorStatus(std::int32_t responseCode) {
    return responseCode != 0 && (responseCode < 200 || responseCode >= 300);
}

// A reason of its kind with a limit.
Reason limitReason(ReasonKind kind, std::int64_t limit) {
    Reason reason = reasonOf(kind);
    reason.expected = limit;
    return reason;
}

// How much sooner than our clock libcurl's own may see the request's time run out.
constexpr std::uint64_t kTimerSlackMs = 50;

// The list request's body: qq and pwd in the system ANSI code page.
CQueltMem listRequestBody(const CWString& qq, const CWString& password) {
    FormBody body;
    body.field("qq", qq.toAnsi()).field("pwd", password.toAnsi());
    return body.bytes();
}

} // namespace

rg_MoKuaiGengXinYinQing::rg_MoKuaiGengXinYinQing() : receiver_(this) {
    listNetAccess.progressEvent.bind(&onListProgress, receiver_.pointer());
}

rg_MoKuaiGengXinYinQing::rg_MoKuaiGengXinYinQing(const rg_MoKuaiGengXinYinQing& other)
    : CQueltObject(other), settings_(other.settings_), listLimits_(other.listLimits_), receiver_(this) {
    listNetAccess.progressEvent.bind(&onListProgress, receiver_.pointer());
}

rg_MoKuaiGengXinYinQing::~rg_MoKuaiGengXinYinQing() {
    // No event reaches the engine once it is going.
    receiver_.teardown();
    stopDownload();
}

void rg_MoKuaiGengXinYinQing::setTransferSettings(const TransferSettings& settings) {
    settings_ = settings;
    listNetAccess.setPolicy(settings.policy());
}

CQueltObjectArray rg_MoKuaiGengXinYinQing::FetchModuleList(const CWString& url, const CWString& qq,
                                                           const CWString& password) {
    ModuleRecordSink records;
    FetchModuleList(url, qq, password, records);
    return records.take();
}

const ListReading& rg_MoKuaiGengXinYinQing::FetchModuleList(const CWString& url, const CWString& qq,
                                                            const CWString& password, ModuleListSink& sink) {
    if (listRequestsAbandoned()) {
        sink.restart();
        lastListReading_ = {ListStatus::TransferFailed, reasonOf(ReasonKind::RequestAbandoned)};
        return lastListReading_;
    }
    const CQueltMem body = listRequestBody(qq, password);
    CQueltMem answer;
    rg_quelt_windows_WangLao::MemoryBodySink answerSink(answer, listLimits_.answerBytes);
    const std::uint64_t start = platform::tickCount();
    const auto response =
        listNetAccess.SendRequestTo(answerSink, url, &body, rg_quelt_windows_WangLao::defaultHeaderList(),
                                    {listLimits_.timeoutMs, listLimits_.answerBytes});
    const std::uint64_t elapsed = platform::tickCount() - start;
    answerSink.finish();
    const auto result = static_cast<CURLcode>(response.curlResult());
    const bool complete = result == CURLE_OK;
    // A redirect that was not followed completes, with the redirect as its answer.
    Reason failure;
    if (response.redirectRefusal() != rg_quelt_windows_WangLao::RedirectRefusal::None)
        failure = redirectReason(response.redirectRefusal(), response.responseCode(), response.location(),
                                 response.failureText().view());
    else if (!complete)
        failure = transferReason(result, response.failureText(), settings_.caFile);
    if (result == CURLE_ABORTED_BY_CALLBACK && listRequestsAbandoned()) {
        sink.restart();
        lastListReading_ = {ListStatus::TransferFailed, reasonOf(ReasonKind::RequestAbandoned)};
        return lastListReading_;
    }
    // Past a limit the check has failed, whatever part of a list arrived.
    if (answerSink.passedLimit() || result == CURLE_FILESIZE_EXCEEDED) {
        sink.restart();
        lastListReading_ = {
            ListStatus::TransferFailed,
            limitReason(ReasonKind::ListTooLarge, static_cast<std::int64_t>(listLimits_.answerBytes))};
        return lastListReading_;
    }
    // libcurl also ends a stalled transfer (after a minute) and a connection that
    // is not made (after 30 s) with this code; its own clock may put the end a
    // little before ours.
    if (result == CURLE_OPERATION_TIMEDOUT && listLimits_.timeoutMs != 0 &&
        elapsed + kTimerSlackMs >= listLimits_.timeoutMs) {
        sink.restart();
        lastListReading_ = {ListStatus::TransferFailed,
                            limitReason(ReasonKind::ListTimedOut, listLimits_.timeoutMs)};
        return lastListReading_;
    }
    // A proxy that wants credentials answers in its own words (a page, or a
    // refused tunnel): the reader would only call that "not JSON".
    if (response.responseCode() == rg_quelt_windows_WangLao::kProxyAuthenticationRequired) {
        sink.restart();
        lastListReading_ = {ListStatus::TransferFailed, httpStatusReason(response.responseCode())};
        return lastListReading_;
    }
    if (answer.empty() || failure.redirect != rg_quelt_windows_WangLao::RedirectRefusal::None) {
        // No answer, or none to read: a redirect that was not followed says why.
        sink.restart();
        lastListReading_.status = ListStatus::TransferFailed;
        if (failure.failed())
            lastListReading_.reason = failure;
        else if (isErrorStatus(response.responseCode()))
            lastListReading_.reason = httpStatusReason(response.responseCode());
        else
            lastListReading_.reason = reasonOf(ReasonKind::EmptyAnswer);
        return lastListReading_;
    }
    // An error answer's reason is its status and the server's first line of text.
    const CWString bodyLine = isErrorStatus(response.responseCode())
                                  ? firstBodyLine(answer.data(), answer.size(), response.contentType())
                                  : CWString();
    ModuleListReader reader(answer.data(), answer.size());
    // The reader keeps its own copy: the bytes can go before the rows come.
    answer.clear();
    lastListReading_ = reader.read(sink, listLimits_.bounds, &listAbandoned_);
    if (listRequestsAbandoned()) {
        sink.restart();
        lastListReading_ = {ListStatus::TransferFailed, reasonOf(ReasonKind::RequestAbandoned)};
        return lastListReading_;
    }
    if (!complete && lastListReading_.status == ListStatus::Ok) {
        // Whole JSON can still be a part of the answer (a cut between two elements
        // of a pretty-printed list is not): the transfer tells.
        lastListReading_.status = ListStatus::Incomplete;
        lastListReading_.reason = reasonOf(ReasonKind::ListBrokenOff);
        lastListReading_.reason.libcurlText = failure.libcurlText;
    } else if (lastListReading_.status != ListStatus::Ok && isErrorStatus(response.responseCode())) {
        lastListReading_.status = ListStatus::TransferFailed;
        lastListReading_.reason = httpStatusReason(response.responseCode(), bodyLine);
    }
    return lastListReading_;
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

bool rg_MoKuaiGengXinYinQing::StartTask(std::function<void()> task, DownloadObserver& observer) {
    // As for a download, only this thread starts jobs.
    if (isDownloading())
        return false;
    observer.jobStarting(rg_XiaZaiShuJu());
    workerState.StoreParameter(0, ObserverRef(&observer));
    workerState.StoreParameter(1, WorkerTaskRef(std::move(task)));
    workerState.StartThread(&TaskWorker);
    return true;
}

rg_MoKuaiGengXinYinQing::RequestOutcome rg_MoKuaiGengXinYinQing::requestDownload(DownloadRequest request) {
    if ((!request.prepare && !request.task) || !request.observer || isQueued(request.owner))
        return RequestOutcome::Refused;
    // Behind those that wait already, also when the job before them has just ended.
    queue_.push_back(std::move(request));
    const std::size_t waiting = queue_.size();
    if (waiting == 1 && startQueued())
        return RequestOutcome::Started;
    // Not started and no longer queued: its rows had nothing to give.
    return queue_.size() == waiting ? RequestOutcome::Queued : RequestOutcome::Refused;
}

bool rg_MoKuaiGengXinYinQing::startQueued() {
    while (!queue_.empty() && !isDownloading()) {
        DownloadRequest next = std::move(queue_.front());
        queue_.pop_front();
        rg_XiaZaiShuJu job;
        if (next.prepare && !next.prepare(job))
            continue;
        if (next.task ? StartTask(std::move(next.task), *next.observer) : StartDownload(job, *next.observer))
            return true;
    }
    return false;
}

bool rg_MoKuaiGengXinYinQing::isQueued(std::uint32_t owner) const {
    for (const DownloadRequest& waiting : queue_)
        if (waiting.owner == owner)
            return true;
    return false;
}

bool rg_MoKuaiGengXinYinQing::cancelQueued(std::uint32_t owner) {
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (it->owner == owner) {
            queue_.erase(it);
            return true;
        }
    }
    return false;
}

void rg_MoKuaiGengXinYinQing::requestStop() {
    if (rg_quelt_base::ThreadStateRecord* record = workerState.stateRecord(); record && isDownloading())
        record->stopEvent.set();
}

void rg_MoKuaiGengXinYinQing::stopDownload() {
    queue_.clear();
    requestStop();
    while (!workerState.waitUntilIdle(10))
        platform::serviceNotices(0);
}

} // namespace rg_quelt_app
