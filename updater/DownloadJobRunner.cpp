#include "updater/DownloadJobRunner.h"

#include "runtime/core/Paths.h"
#include "runtime/net/rg_WangLaoFangWenLei.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/DateTimeValue.h"
#include "updater/FormBody.h"
#include "updater/ModulePathCheck.h"
#include "updater/TemporaryFiles.h"

#include <curl/curl.h>

#include <algorithm>
#include <utility>

namespace rg_quelt_app {

using rg_quelt_windows_WangLao::TransferOutcome;
using rg_quelt_windows_WangLao::TransferRequest;

namespace {

constexpr std::uint64_t kProgressIntervalMs = 250; // between two progress reports of a file
constexpr int kPollMs = 100;                       // the longest a stop waits to be seen
constexpr std::uint64_t kFirstRetryDelayMs = 500;
constexpr std::uint64_t kLongestRetryDelayMs = 10000;
constexpr int kTemporaryNameTries = 8;
// A large answer goes to the disk while it arrives, a piece of this size at a time,
// so that its flush before the rename waits for little.
constexpr std::int64_t kWritebackPieceBytes = 8 << 20;

CWString number(std::int64_t value) { return CWString::fromInteger(value); }

void wakePool(void* pool) { static_cast<rg_quelt_windows_WangLao::TransferPool*>(pool)->wake(); }

// The download request's body: qq, pwd, type, path and file, in UTF-8.
CQueltMem downloadRequestBody(const rg_XiaZaiShuJu& job, const rg_LianJieYuSuoYinLei& link) {
    FormBody body;
    body.field("qq", job.qq.toUtf8String())
        .field("pwd", job.password.toUtf8String())
        .field("type", job.kindLetter.toUtf8String())
        .field("path", link.remoteFolder.toUtf8String())
        .field("file", link.fileName.toUtf8String());
    return body.bytes();
}

} // namespace

// One request for one link: its answer on the way into the temporary file.
class DownloadJobRunner::Attempt final : public rg_quelt_windows_WangLao::ITransferListener {
public:
    Attempt(DownloadJobRunner& runner, std::size_t link)
        : runner_(runner), link_(link), listedSize_(runner.job_.link(link).listedSize),
          nextProgress_(platform::tickCount() + kProgressIntervalMs) {}

    bool onBody(const void* data, std::size_t size) override {
        if (runner_.stopping())
            return false;
        if (listedSize_ > 0 && received_ + static_cast<std::int64_t>(size) > listedSize_) {
            tooLong_ = true;
            return false;
        }
        if (file->write(data, size) != size) {
            writeFailed_ = true;
            return false;
        }
        received_ += static_cast<std::int64_t>(size);
        if (received_ - writtenBack_ >= kWritebackPieceBytes) {
            file->startWriteback(writtenBack_, received_ - writtenBack_);
            writtenBack_ = received_;
        }
        reportProgress();
        return true;
    }

    bool onProgress(std::int64_t, std::int64_t total) override {
        if (runner_.stopping())
            return false;
        announced_ = total;
        reportProgress();
        return true;
    }

    // Closes and removes the temporary file: the target stays as it was.
    void discard() {
        file->close();
        platform::removeFile(temporary.view());
    }

    std::size_t link() const { return link_; }
    std::int64_t received() const { return received_; }
    std::int64_t listedSize() const { return listedSize_; }
    bool writeFailed() const { return writeFailed_; }
    bool tooLong() const { return tooLong_; }

    std::unique_ptr<platform::OutputFile> file = std::make_unique<platform::OutputFile>();
    CWString temporary;
    CQueltMem body;

private:
    void reportProgress() {
        const std::uint64_t now = platform::tickCount();
        if (now < nextProgress_)
            return;
        nextProgress_ = now + kProgressIntervalMs;
        runner_.observer_.fileProgress(runner_.job_.link(link_), received_,
                                       listedSize_ > 0 ? listedSize_ : announced_);
    }

    DownloadJobRunner& runner_;
    const std::size_t link_;
    const std::int64_t listedSize_;
    std::int64_t received_ = 0;
    std::int64_t writtenBack_ = 0;
    std::int64_t announced_ = -1;
    std::uint64_t nextProgress_;
    bool writeFailed_ = false;
    bool tooLong_ = false;
};

std::uint64_t DownloadJobRunner::retryDelayMs(int attempt) {
    std::uint64_t delay = kFirstRetryDelayMs;
    for (int i = 1; i < attempt && delay < kLongestRetryDelayMs; ++i)
        delay *= 2;
    return std::min(delay, kLongestRetryDelayMs);
}

bool DownloadJobRunner::isTransientTransfer(int curlResult) {
    switch (curlResult) {
    case CURLE_COULDNT_CONNECT:    // refused
    case CURLE_SEND_ERROR:         // reset while asking
    case CURLE_RECV_ERROR:         // reset while answering
    case CURLE_GOT_NOTHING:        // closed before any answer
    case CURLE_OPERATION_TIMEDOUT: // no connection in time, or stalled
    case CURLE_PARTIAL_FILE:       // cut off before the announced length
        return true;
    default:
        return false;
    }
}

bool DownloadJobRunner::isTransientStatus(std::int32_t status) {
    switch (status) {
    case 408:
    case 429:
    case 500:
    case 502:
    case 503:
    case 504:
        return true;
    default:
        return false;
    }
}

DownloadJobRunner::DownloadJobRunner(const rg_XiaZaiShuJu& job, DownloadObserver& observer,
                                     const TransferSettings& settings, platform::Event* stopEvent)
    : job_(job), observer_(observer), settings_(settings), policy_(settings.policy()), stopEvent_(stopEvent),
      headers_(rg_quelt_windows_WangLao::defaultHeaderList()),
      pool_(static_cast<std::size_t>(std::clamp(settings.parallelDownloads, TransferSettings::kMinParallel,
                                                TransferSettings::kMaxParallel))),
      slots_(pool_.slotCount()), notBefore_(job.linkCount(), 0), attempts_(job.linkCount(), 0),
      finisher_(&wakePool, &pool_) {}

DownloadJobRunner::~DownloadJobRunner() = default;

bool DownloadJobRunner::stopping() {
    if (!stopped_ &&
        (observer_.stopRequested() || (stopEvent_ && stopEvent_->wait(0) == platform::WaitResult::signalled)))
        stopped_ = true;
    return stopped_;
}

void DownloadJobRunner::run() {
    if (!stopping())
        removeLeftovers(job_);
    for (std::size_t link = 0; link < job_.linkCount(); ++link)
        queue_.push_back(link);
    if (!pool_.usable()) {
        FileResult result;
        result.detail = CWString(u"the network library could not be started");
        while (!queue_.empty()) {
            report(queue_.front(), result);
            queue_.pop_front();
        }
    }
    while (!stopping()) {
        const std::uint64_t now = platform::tickCount();
        fillSlots(now);
        if (queue_.empty() && pool_.busyCount() == 0 && finisher_.outstanding() == 0)
            break;
        pool_.run(waitMs(now));
        std::size_t slot = 0;
        TransferOutcome outcome;
        while (pool_.takeFinished(slot, outcome))
            transferEnded(slot, outcome);
        takeFinished();
    }
    if (stopped_)
        stopAll();
    observer_.jobDone(stopped_);
}

void DownloadJobRunner::fillSlots(std::uint64_t now) {
    const auto due = [&](std::size_t link) { return notBefore_[link] <= now; };
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        while (!slots_[slot] && !queue_.empty() && !stopping()) {
            // One at a time keeps list order strictly, also while a file waits to be
            // tried again; several let the others go on meanwhile.
            auto next = slots_.size() == 1 ? queue_.begin() : std::find_if(queue_.begin(), queue_.end(), due);
            if (next == queue_.end() || !due(*next))
                return;
            const std::size_t link = *next;
            queue_.erase(next);
            startAttempt(slot, link);
        }
    }
}

bool DownloadJobRunner::startAttempt(std::size_t slot, std::size_t link) {
    const rg_LianJieYuSuoYinLei& target = job_.link(link);
    FileResult result;
    result.attempts = attempts_[link];
    if (attempts_[link] == 0) {
        // A name from the server that would lead out of the module folder is never written.
        if (!isSafeLink(target)) {
            result.detail = CWString(u"the server's path or name would leave the module folder");
            report(link, result);
            return false;
        }
        if (!target.localFolder.isEmpty())
            createFolderTree(target.localFolder);
    }

    auto attempt = std::make_unique<Attempt>(*this, link);
    bool created = false;
    for (int tries = 0; tries < kTemporaryNameTries && !created; ++tries) {
        attempt->temporary = temporaryNameFor(target.localFile);
        created = attempt->file->createNew(attempt->temporary.view());
        // Only a name that is taken is worth another; any other failure stays.
        if (!created && !platform::pathExists(attempt->temporary.view()))
            break;
    }
    if (!created) {
        result.outcome = FileOutcome::SaveFailed;
        result.detail =
            CWString(u"cannot create ") + attempt->temporary.view() + u": " + attempt->file->errorText();
        report(link, result);
        return false;
    }

    attempt->body = downloadRequestBody(job_, target);
    TransferRequest request;
    request.url = target.downloadUrl;
    request.body = &attempt->body;
    request.headers = &headers_;
    request.maxBodySize = target.listedSize > 0 ? target.listedSize : 0;
    request.policy = &policy_;
    if (!pool_.start(slot, request, *attempt)) {
        attempt->discard();
        result.detail = CWString(u"the transfer could not be started");
        report(link, result);
        return false;
    }
    if (++attempts_[link] == 1)
        observer_.fileStarted(target);
    slots_[slot] = std::move(attempt);
    return true;
}

void DownloadJobRunner::transferEnded(std::size_t slot, const TransferOutcome& outcome) {
    std::unique_ptr<Attempt> attempt = std::move(slots_[slot]);
    if (!attempt)
        return;
    // A transfer that the stop broke off has no outcome: its row gets its "下载" back.
    if (stopped_ && outcome.curlResult != CURLE_OK) {
        attempt->discard();
        return;
    }
    const std::size_t link = attempt->link();
    FileResult result;
    result.httpStatus = outcome.responseCode;
    result.transferError = outcome.curlResult;
    result.attempts = attempts_[link];
    result.bytes = attempt->received();

    if (attempt->writeFailed()) {
        result.outcome = FileOutcome::SaveFailed;
        result.detail =
            CWString(u"cannot write ") + attempt->temporary.view() + u": " + attempt->file->errorText();
        return fail(*attempt, std::move(result));
    }
    // Announced (libcurl refuses it before the body) or found on the way.
    if (attempt->tooLong() || outcome.curlResult == CURLE_FILESIZE_EXCEEDED) {
        result.detail = CWString(u"the answer is longer than the ") + number(attempt->listedSize()).view() +
                        u" bytes the list gives";
        return fail(*attempt, std::move(result));
    }
    const bool answered = outcome.curlResult == CURLE_OK;
    if (answered && outcome.responseCode >= 200 && outcome.responseCode < 300) {
        if (attempt->received() == 0) {
            result.detail = CWString(u"the server sent an empty answer (HTTP ") +
                            number(outcome.responseCode).view() + u")";
            return fail(*attempt, std::move(result));
        }
        if (attempt->listedSize() > 0 && attempt->received() != attempt->listedSize()) {
            result.detail = CWString(u"the answer has ") + number(attempt->received()).view() +
                            u" bytes, the list gives " + number(attempt->listedSize()).view();
            return fail(*attempt, std::move(result));
        }
        const rg_LianJieYuSuoYinLei& target = job_.link(link);
        FileFinisher::Work work;
        work.link = link;
        work.file = std::move(attempt->file);
        work.temporary = attempt->temporary;
        work.target = target.localFile;
        work.lastWriteTime = fileTimeOfYearFirst(target.updateTime.view());
        result.outcome = FileOutcome::Success;
        finishing_.emplace(link, std::move(result));
        finisher_.submit(std::move(work));
        return;
    }
    if (!outcome.errorText.empty())
        result.detail = transferFailureText(outcome.curlResult, outcome.errorText);
    else
        result.detail = CWString(u"the server answered HTTP ") + number(outcome.responseCode).view();
    retryOrFail(std::move(attempt), std::move(result), outcome.retryAfterSeconds);
}

void DownloadJobRunner::retryOrFail(std::unique_ptr<Attempt> attempt, FileResult result,
                                    std::int64_t retryAfterSeconds) {
    const std::size_t link = attempt->link();
    const bool transient = result.transferError != CURLE_OK ? isTransientTransfer(result.transferError)
                                                            : isTransientStatus(result.httpStatus);
    if (!transient || attempts_[link] > settings_.retries)
        return fail(*attempt, std::move(result));
    std::uint64_t delay = retryDelayMs(attempts_[link]);
    if (retryAfterSeconds >= 0) {
        // A server that will be busy for longer is not asked again and again meanwhile.
        if (retryAfterSeconds > kLongestRetryAfterSeconds) {
            result.detail += u"; it asks to wait ";
            result.detail += number(retryAfterSeconds).view();
            result.detail += u" s";
            return fail(*attempt, std::move(result));
        }
        delay = static_cast<std::uint64_t>(retryAfterSeconds) * 1000;
    }
    attempt->discard();
    notBefore_[link] = platform::tickCount() + delay;
    queue_.push_front(link);
}

void DownloadJobRunner::fail(Attempt& attempt, FileResult result) {
    attempt.discard();
    report(attempt.link(), result);
}

void DownloadJobRunner::report(std::size_t link, const FileResult& result) {
    observer_.fileDone(job_.link(link), result);
}

void DownloadJobRunner::takeFinished() {
    FileFinisher::Result placed;
    while (finisher_.takeResult(placed)) {
        const auto entry = finishing_.find(placed.link);
        if (entry == finishing_.end())
            continue;
        FileResult result = std::move(entry->second);
        finishing_.erase(entry);
        if (!placed.placed) {
            result.outcome = FileOutcome::SaveFailed;
            result.detail = placed.error;
        }
        report(placed.link, result);
    }
}

void DownloadJobRunner::stopAll() {
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        if (!slots_[slot])
            continue;
        pool_.cancel(slot);
        slots_[slot]->discard();
        slots_[slot].reset();
    }
    queue_.clear();
}

int DownloadJobRunner::waitMs(std::uint64_t now) const {
    if (pool_.busyCount() > 0 || finisher_.outstanding() > 0 || queue_.empty())
        return kPollMs;
    // Every slot that could start something has: what waits is a few files to be
    // tried again, at the front.
    std::uint64_t next = notBefore_[queue_.front()];
    const std::size_t waiting = std::min(queue_.size(), slots_.size() + 1);
    for (std::size_t i = 1; i < waiting; ++i)
        next = std::min(next, notBefore_[queue_[i]]);
    return next > now ? static_cast<int>(std::min<std::uint64_t>(next - now, kPollMs)) : 0;
}

} // namespace rg_quelt_app
