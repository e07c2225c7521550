#include "updater/rg_MoKuaiGengXinYinQing.h"

#include "runtime/data/ThreadStateRecord.h"
#include "runtime/net/MemoryBodySink.h"
#include "runtime/platform/NoticeReceiver.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/DownloadWorker.h"
#include "updater/FormBody.h"

#include <curl/curl.h>

#include <utility>

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_MoKuaiGengXinYinQing, CQueltObject, "rg_quelt_app::rg_MoKuaiGengXinYinQing")

namespace {

CWString statusNote(std::int32_t responseCode) {
    if (responseCode == 0 || (responseCode >= 200 && responseCode < 300))
        return CWString();
    return CWString(u" (HTTP ") + CWString::fromInteger(responseCode).view() + u")";
}

// How much sooner than our clock libcurl's own may see the request's time run out.
constexpr std::uint64_t kTimerSlackMs = 50;

constexpr const char16_t* kAbandonedReason = u"the request was abandoned";

// "64 MiB" for whole mebibytes, else the bytes.
CWString byteCountText(std::size_t bytes) {
    constexpr std::size_t kMiB = std::size_t(1) << 20;
    if (bytes != 0 && bytes % kMiB == 0)
        return CWString::fromInteger(static_cast<std::int64_t>(bytes / kMiB)) + u" MiB";
    return CWString::fromInteger(static_cast<std::int64_t>(bytes)) + u" bytes";
}

// "120 s" for whole seconds, else the milliseconds.
CWString durationText(std::uint32_t ms) {
    if (ms != 0 && ms % 1000 == 0)
        return CWString::fromInteger(ms / 1000) + u" s";
    return CWString::fromInteger(ms) + u" ms";
}

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
        lastListReading_ = {ListStatus::TransferFailed, CWString(kAbandonedReason)};
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
    const CWString failure = transferFailureText(result, response.failureText().view());
    if (result == CURLE_ABORTED_BY_CALLBACK && listRequestsAbandoned()) {
        sink.restart();
        lastListReading_ = {ListStatus::TransferFailed, CWString(kAbandonedReason)};
        return lastListReading_;
    }
    // Past a limit the check has failed, whatever part of a list arrived.
    if (answerSink.passedLimit() || result == CURLE_FILESIZE_EXCEEDED) {
        sink.restart();
        lastListReading_ = {ListStatus::TransferFailed, CWString(u"the answer passes the limit of ") +
                                                            byteCountText(listLimits_.answerBytes).view()};
        return lastListReading_;
    }
    // libcurl also ends a stalled transfer (after a minute) and a connection that
    // is not made (after 30 s) with this code; its own clock may put the end a
    // little before ours.
    if (result == CURLE_OPERATION_TIMEDOUT && listLimits_.timeoutMs != 0 &&
        elapsed + kTimerSlackMs >= listLimits_.timeoutMs) {
        sink.restart();
        lastListReading_ = {ListStatus::TransferFailed, CWString(u"no whole answer within the limit of ") +
                                                            durationText(listLimits_.timeoutMs).view()};
        return lastListReading_;
    }
    if (answer.empty() || (complete && !response.failureText().isEmpty())) {
        // No answer, or none to read: a redirect that was not followed says why.
        sink.restart();
        lastListReading_.status = ListStatus::TransferFailed;
        lastListReading_.reason = !failure.isEmpty() ? failure
                                                     : CWString(u"the server sent an empty answer") +
                                                           statusNote(response.responseCode()).view();
        return lastListReading_;
    }
    ModuleListReader reader(answer.data(), answer.size());
    // The document holds all the reader needs: the bytes can go before the rows come.
    answer.clear();
    lastListReading_ = reader.read(sink);
    if (!complete && lastListReading_.status == ListStatus::Ok) {
        // Whole JSON can still be a part of the answer (a cut between two elements
        // of a pretty-printed list is not): the transfer tells.
        lastListReading_.status = ListStatus::Incomplete;
        lastListReading_.reason = CWString(u"the transfer broke off: ") + failure.view();
    } else if (lastListReading_.status != ListStatus::Ok) {
        lastListReading_.reason += statusNote(response.responseCode()).view();
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

rg_MoKuaiGengXinYinQing::RequestOutcome rg_MoKuaiGengXinYinQing::requestDownload(DownloadRequest request) {
    if (!request.prepare || !request.observer || isQueued(request.owner))
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
        if (next.prepare(job) && StartDownload(job, *next.observer))
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
