#include "updater/DownloadJobRunner.h"

#include "runtime/core/Paths.h"
#include "runtime/net/RedirectRule.h"
#include "runtime/net/rg_WangLaoFangWenLei.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/BodyLine.h"
#include "updater/DateTimeValue.h"
#include "updater/FormBody.h"
#include "updater/ModulePathCheck.h"
#include "updater/ResumePoint.h"
#include "updater/TemporaryFiles.h"

#include <curl/curl.h>

#include <algorithm>
#include <utility>

namespace rg_quelt_app {

using rg_quelt_windows_WangLao::AnswerHead;
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

void wakePool(void* pool) { static_cast<rg_quelt_windows_WangLao::TransferPool*>(pool)->wake(); }

// Opens a fresh temporary file beside `target`; `temporary` is its name, or the
// last name tried when none could be made.
bool createTemporaryFor(const CWString& target, platform::OutputFile& file, CWString& temporary) {
    for (int tries = 0; tries < kTemporaryNameTries; ++tries) {
        temporary = temporaryNameFor(target);
        if (file.createNew(temporary.view()))
            return true;
        // Only a name that is taken is worth another; any other failure stays.
        if (!platform::pathExists(temporary.view()))
            break;
    }
    return false;
}

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

// One request for one link: a 2xx answer on the way into the temporary file, the
// first bytes of any other answer kept for its reason. An attempt that continues
// a broken-off one (`from`) appends to its file and asks only for the rest.
class DownloadJobRunner::Attempt final : public rg_quelt_windows_WangLao::ITransferListener {
public:
    Attempt(DownloadJobRunner& runner, std::size_t link, std::unique_ptr<ResumePoint> from = nullptr)
        : runner_(runner), link_(link), listedSize_(runner.job_.link(link).listedSize),
          sentAt_(platform::tickCount()), nextProgress_(sentAt_ + kProgressIntervalMs) {
        if (from) {
            temporary = from->temporary();
            file = from->takeFile();
            received_ = rangeFrom_ = from->kept();
            writtenBack_ = from->writtenBack();
            validator_ = from->validator();
            from_ = std::move(from);
        }
    }

    bool onAnswer(const AnswerHead& head) override {
        answered_ = true;
        saving_ = head.status >= 200 && head.status < 300;
        contentType_ = head.contentType;
        announced_ = head.announced;
        if (runner_.stopping())
            return false;
        if (!saving_)
            return true;
        if (rangeFrom_ > 0) {
            if (head.status == 206) {
                // Only the rest of the very bytes kept goes on; any other part is refused.
                if (!from_->continuedBy(head, listedSize_)) {
                    rangeRefused_ = true;
                    return false;
                }
                if (head.announced >= 0)
                    announced_ = rangeFrom_ + head.announced;
                return true;
            }
            // The whole file after all (changed, or no range served): from zero.
            if (!restartFile())
                return false;
        }
        validator_ = head.status == 206 ? Validator() : ResumePoint::validatorFor(head);
        return true;
    }

    bool onBody(const void* data, std::size_t size) override {
        if (runner_.stopping())
            return false;
        if (!saving_) {
            // An error page: what it leads with, no more; a long one is not read to its end.
            const std::size_t keep =
                std::min(size, kErrorHeadBytes - std::min(kErrorHeadBytes, errorHead_.size()));
            errorHead_.append(static_cast<const char*>(data), keep);
            errorBodyBytes_ += static_cast<std::int64_t>(size);
            if (errorBodyBytes_ > kLongestErrorBody) {
                errorCut_ = true;
                return false;
            }
            return true;
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
        // libcurl counts the rest alone; the file's total includes what was kept.
        if (saving_)
            announced_ = total >= 0 && rangeFrom_ > 0 ? rangeFrom_ + total : total;
        reportProgress();
        return true;
    }

    // Closes and removes the temporary file: the target stays as it was.
    void discard() {
        file->close();
        if (!temporary.isEmpty())
            platform::removeFile(temporary.view());
        temporary = CWString();
    }

    // The point a retry continues from, when this attempt's bytes may be kept: at
    // least ResumePoint::kLeastKeptBytes of them, whole, of an answer that named
    // them by a validator and served ranges. The file then goes with the point.
    std::unique_ptr<ResumePoint> resumePoint() {
        if (writeFailed_ || createFailed_ || rangeRefused_ || !validator_.usable() ||
            received_ < ResumePoint::kLeastKeptBytes)
            return nullptr;
        auto point =
            std::make_unique<ResumePoint>(std::move(file), temporary, received_, writtenBack_, validator_);
        file = std::make_unique<platform::OutputFile>();
        temporary = CWString();
        return point;
    }

    // Whether the answer refused the rest that was asked for: a part other than
    // the rest, a 416, or a whole 2xx answer without any body to judge it by.
    bool rangeRefused(std::int32_t status, int curlResult) const {
        if (rangeFrom_ <= 0)
            return false;
        return rangeRefused_ || status == 416 ||
               (status >= 200 && status < 300 && !answered_ && curlResult == CURLE_OK);
    }

    std::size_t link() const { return link_; }
    std::int64_t received() const { return received_; }
    std::int64_t listedSize() const { return listedSize_; }
    std::uint64_t sentAt() const { return sentAt_; }
    bool writeFailed() const { return writeFailed_; }
    bool createFailed() const { return createFailed_; }
    std::int64_t rangeFrom() const { return rangeFrom_; }
    const Validator& validator() const { return validator_; }
    bool errorCut() const { return errorCut_; }
    CWString errorLine() const {
        std::string_view head(errorHead_);
        if (errorCut_ || errorBodyBytes_ != static_cast<std::int64_t>(head.size())) {
            // A line that runs past what was kept is not known whole.
            const std::size_t end = head.rfind('\n');
            head = end == std::string_view::npos ? std::string_view() : head.substr(0, end);
        }
        return firstBodyLine(head.data(), head.size(), contentType_);
    }

    std::unique_ptr<platform::OutputFile> file = std::make_unique<platform::OutputFile>();
    CWString temporary;
    CQueltMem body;

private:
    static constexpr std::size_t kErrorHeadBytes = 512;
    static constexpr std::int64_t kLongestErrorBody = 64 * 1024;

    // Drops the bytes kept and goes on in a fresh temporary file, so that nothing of
    // the earlier answer can mix with this one.
    bool restartFile() {
        discard();
        file = std::make_unique<platform::OutputFile>();
        from_.reset();
        received_ = writtenBack_ = rangeFrom_ = 0;
        if (!createTemporaryFor(runner_.job_.link(link_).localFile, *file, temporary)) {
            createFailed_ = true;
            return false;
        }
        return true;
    }

    void reportProgress() {
        const std::uint64_t now = platform::tickCount();
        if (now < nextProgress_ || !saving_)
            return;
        nextProgress_ = now + kProgressIntervalMs;
        runner_.observer_.fileProgress(runner_.job_.link(link_), received_,
                                       listedSize_ >= 0 ? listedSize_ : announced_);
    }

    DownloadJobRunner& runner_;
    const std::size_t link_;
    const std::int64_t listedSize_;
    const std::uint64_t sentAt_;
    std::int64_t received_ = 0;
    std::int64_t writtenBack_ = 0;
    std::int64_t announced_ = -1;
    std::uint64_t nextProgress_;
    bool saving_ = true; // until an answer says otherwise: a 2xx without a body saves nothing either way
    std::string contentType_;
    std::string errorHead_;
    std::int64_t errorBodyBytes_ = 0;
    bool writeFailed_ = false;
    bool errorCut_ = false;
    bool createFailed_ = false;
    bool answered_ = false;
    bool rangeRefused_ = false;
    std::int64_t rangeFrom_ = 0; // the bytes kept from before; 0 for the whole file
    Validator validator_;        // what names the bytes in the file
    std::unique_ptr<ResumePoint> from_;
};

std::uint64_t DownloadJobRunner::retryDelayMs(int attempt) {
    std::uint64_t delay = kFirstRetryDelayMs;
    for (int i = 1; i < attempt && delay < kLongestRetryDelayMs; ++i)
        delay *= 2;
    return std::min(delay, kLongestRetryDelayMs);
}

std::uint64_t DownloadJobRunner::jitteredDelayMs(int attempt, std::uint64_t random) {
    // Spread over the whole range, so that files refused together do not come back together.
    return random % (retryDelayMs(attempt) + 1);
}

bool DownloadJobRunner::isNoAnswer(int curlResult, std::int32_t status) {
    if (status != 0)
        return false;
    return curlResult == CURLE_COULDNT_CONNECT || curlResult == CURLE_OPERATION_TIMEDOUT ||
           curlResult == CURLE_GOT_NOTHING;
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
      forgiven_(job.linkCount(), 0), arrivedBefore_(job.linkCount(), 0), resumeFrom_(job.linkCount()),
      noResume_(job.linkCount(), false), throttle_(pool_.slotCount()),
      random_(std::random_device{}() ^ platform::tickCount()), backups_(settings, job),
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
    backups_.begin();
    for (std::size_t link = 0; link < job_.linkCount(); ++link)
        queue_.push_back(link);
    if (!pool_.usable()) {
        FileResult result;
        result.reason = reasonOf(ReasonKind::NetworkUnavailable);
        while (!queue_.empty()) {
            report(queue_.front(), result);
            queue_.pop_front();
        }
    }
    while (!stopping()) {
        const std::uint64_t now = platform::tickCount();
        fillSlots(now);
        if (queue_.empty() && pool_.busyCount() == 0) {
            // The last batch need not wait for files that will never come.
            finisher_.allSubmitted();
            if (finisher_.outstanding() == 0)
                break;
        }
        pool_.run(waitMs(now));
        std::size_t slot = 0;
        TransferOutcome outcome;
        while (pool_.takeFinished(slot, outcome))
            transferEnded(slot, outcome);
        if (hostDown_)
            giveUpOnHost();
        takeFinished();
    }
    if (stopped_) {
        stopAll();
        awaitFinisher();
    }
    finisher_.flushFolders();
    backups_.finish();
    observer_.jobDone(stopped_);
}

// The files handed over before the stop are put in place all the same (their
// downloads were complete); their rows get their outcomes like any other.
void DownloadJobRunner::awaitFinisher() {
    finisher_.allSubmitted();
    while (finisher_.outstanding() > 0) {
        pool_.run(kPollMs);
        takeFinished();
    }
}

void DownloadJobRunner::fillSlots(std::uint64_t now) {
    const auto due = [&](std::size_t link) { return notBefore_[link] <= now; };
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        while (!slots_[slot] && !queue_.empty() && !stopping()) {
            // A server that limits its rate gets fewer requests, spaced out.
            if (pool_.busyCount() >= throttle_.allowed() || throttle_.nextStartAt() > now)
                return;
            // One at a time keeps list order strictly, also while a file waits to be
            // tried again; several let the others go on meanwhile.
            auto next = slots_.size() == 1 ? queue_.begin() : std::find_if(queue_.begin(), queue_.end(), due);
            if (next == queue_.end() || !due(*next))
                return;
            const std::size_t link = *next;
            queue_.erase(next);
            if (startAttempt(slot, link))
                throttle_.started(now);
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
            result.reason = reasonOf(ReasonKind::UnsafeName);
            report(link, result);
            return false;
        }
        if (!target.localFolder.isEmpty())
            createFolderTree(target.localFolder);
    }

    const bool resuming = resumeFrom_[link] != nullptr;
    auto attempt = std::make_unique<Attempt>(*this, link, std::move(resumeFrom_[link]));
    if (!resuming && !createTemporaryFor(target.localFile, *attempt->file, attempt->temporary)) {
        result.outcome = FileOutcome::SaveFailed;
        result.reason = fileReason(ReasonKind::CannotCreate, attempt->temporary, attempt->file->errorText());
        report(link, result);
        return false;
    }

    attempt->body = downloadRequestBody(job_, target);
    TransferRequest request;
    request.url = target.downloadUrl;
    request.body = &attempt->body;
    request.headers = &headers_;
    request.maxBodySize = target.listedSize >= 0 ? target.listedSize : kLargestListedSize;
    request.policy = &policy_;
    if (resuming) {
        request.rangeFrom = attempt->rangeFrom();
        request.ifRange = attempt->validator().value;
    }
    if (!pool_.start(slot, request, *attempt)) {
        attempt->discard();
        result.reason = reasonOf(ReasonKind::TransferNotStarted);
        report(link, result);
        return false;
    }
    if (++attempts_[link] == 1) {
        arrivedBefore_[link] = arrived_;
        observer_.fileStarted(target);
    }
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
    noteAnswered(outcome.curlResult, outcome.responseCode, outcome.errorText);

    if (attempt->writeFailed()) {
        result.outcome = FileOutcome::SaveFailed;
        result.reason = fileReason(ReasonKind::CannotWrite, attempt->temporary, attempt->file->errorText());
        return fail(*attempt, std::move(result));
    }
    if (attempt->createFailed()) {
        result.outcome = FileOutcome::SaveFailed;
        result.reason = fileReason(ReasonKind::CannotCreate, attempt->temporary, attempt->file->errorText());
        return fail(*attempt, std::move(result));
    }
    if (attempt->rangeRefused(outcome.responseCode, outcome.curlResult))
        return restartFromZero(std::move(attempt), std::move(result));
    const bool success = outcome.responseCode >= 200 && outcome.responseCode < 300;
    // The status decides first: an error page says what it says whatever its length,
    // and a page this runner stopped reading is no failed transfer.
    if (outcome.responseCode != 0 && !success &&
        !rg_quelt_windows_WangLao::isRedirectStatus(outcome.responseCode)) {
        // A proxy that refused the tunnel also breaks the transfer off; asking it
        // again brings no credentials.
        if (attempt->errorCut() ||
            outcome.responseCode == rg_quelt_windows_WangLao::kProxyAuthenticationRequired)
            result.transferError = CURLE_OK;
        return errorAnswer(std::move(attempt), std::move(result), outcome.retryAfterSeconds);
    }
    if (success && outcome.curlResult == CURLE_FILESIZE_EXCEEDED) {
        result.reason =
            reasonOf(attempt->listedSize() >= 0 ? ReasonKind::AnswerTooLong : ReasonKind::AnswerTooLarge);
        result.reason.expected = attempt->listedSize();
        throttle_.failed();
        return fail(*attempt, std::move(result));
    }
    if (success && outcome.curlResult == CURLE_OK) {
        if (attempt->listedSize() >= 0 && attempt->received() != attempt->listedSize()) {
            result.reason = reasonOf(ReasonKind::LengthMismatch);
            result.reason.expected = attempt->listedSize();
            result.reason.received = attempt->received();
            throttle_.failed();
            return fail(*attempt, std::move(result));
        }
        const rg_LianJieYuSuoYinLei& target = job_.link(link);
        FileFinisher::Work work;
        work.link = link;
        work.file = std::move(attempt->file);
        work.temporary = attempt->temporary;
        work.target = target.localFile;
        work.lastWriteTime = fileTimeOfYearFirst(target.updateTime.view());
        work.backup = backups_.backupPathFor(link);
        work.backupRefused = backups_.refusal();
        result.outcome = FileOutcome::Success;
        result.bytes = attempt->received();
        ++arrived_;
        throttle_.succeeded();
        finishing_.emplace(link, std::move(result));
        finisher_.submit(std::move(work));
        return;
    }
    result.reason = answerReason(outcome, settings_.caFile);
    throttle_.failed();
    retryOrFail(std::move(attempt), std::move(result), outcome.retryAfterSeconds);
}

void DownloadJobRunner::errorAnswer(std::unique_ptr<Attempt> attempt, FileResult result,
                                    std::int64_t retryAfterSeconds) {
    result.reason = httpStatusReason(result.httpStatus, attempt->errorLine().view());
    if (result.httpStatus == 429 || result.httpStatus == 503) {
        throttle_.refused(platform::tickCount(), attempt->sentAt());
        // Only where retries are allowed at all: 0 means one attempt, whatever comes.
        const std::size_t link = attempt->link();
        if (settings_.retries > 0 && arrived_ > arrivedBefore_[link])
            ++forgiven_[link];
        arrivedBefore_[link] = arrived_;
    } else {
        throttle_.failed();
    }
    retryOrFail(std::move(attempt), std::move(result), retryAfterSeconds);
}

// Counts the attempts in a row that heard nothing at all; any answer ends the row.
void DownloadJobRunner::noteAnswered(int curlResult, std::int32_t status, const std::u16string& errorText) {
    if (!isNoAnswer(curlResult, status)) {
        silentInRow_ = 0;
        return;
    }
    lastSilence_ = reasonText(transferReason(curlResult, errorText));
    if (++silentInRow_ >= kDeadHostAttempts)
        hostDown_ = true;
}

// The host is down: asking it again for each file left would only cost their
// time-outs, one after another.
void DownloadJobRunner::giveUpOnHost() {
    FileResult result;
    result.reason = reasonOf(ReasonKind::HostSilent);
    result.reason.detail = lastSilence_;
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        if (!slots_[slot])
            continue;
        pool_.cancel(slot);
        FileResult own = result;
        own.attempts = attempts_[slots_[slot]->link()];
        fail(*slots_[slot], std::move(own));
        slots_[slot].reset();
    }
    while (!queue_.empty()) {
        FileResult own = result;
        own.attempts = attempts_[queue_.front()];
        report(queue_.front(), own);
        queue_.pop_front();
    }
}

void DownloadJobRunner::retryOrFail(std::unique_ptr<Attempt> attempt, FileResult result,
                                    std::int64_t retryAfterSeconds) {
    const std::size_t link = attempt->link();
    const bool transient = result.transferError != CURLE_OK ? isTransientTransfer(result.transferError)
                                                            : isTransientStatus(result.httpStatus);
    if (!transient || attempts_[link] - forgiven_[link] > settings_.retries)
        return fail(*attempt, std::move(result));
    if (hostDown_) {
        // Ends with the others, for the same reason.
        attempt->discard();
        queue_.push_front(link);
        return;
    }
    // What arrived whole stays for the next attempt, which asks only for the rest.
    if (!noResume_[link])
        resumeFrom_[link] = attempt->resumePoint();
    std::uint64_t delay = jitteredDelayMs(attempts_[link], random_());
    if (retryAfterSeconds >= 0) {
        // A server that will be busy for longer is not asked again and again meanwhile.
        if (retryAfterSeconds > kLongestRetryAfterSeconds) {
            result.reason.waitSeconds = retryAfterSeconds;
            return fail(*attempt, std::move(result));
        }
        // As asked, and a little later for some: all that were told the same second
        // do not arrive in the same millisecond.
        delay =
            static_cast<std::uint64_t>(retryAfterSeconds) * 1000 + random_() % (kFirstRetryDelayMs / 2 + 1);
    }
    attempt->discard();
    notBefore_[link] = platform::tickCount() + delay;
    queue_.push_front(link);
}

// The server did not give the rest as asked: the file is fetched again whole, in a
// fresh temporary file, and no more ranges are asked of it in this job. This is
// one more attempt, so only while retries are left.
void DownloadJobRunner::restartFromZero(std::unique_ptr<Attempt> attempt, FileResult result) {
    const std::size_t link = attempt->link();
    noResume_[link] = true;
    result.transferError = CURLE_OK;
    if (attempts_[link] - forgiven_[link] > settings_.retries) {
        result.reason = httpStatusReason(result.httpStatus, attempt->errorLine().view());
        return fail(*attempt, std::move(result));
    }
    attempt->discard();
    notBefore_[link] = 0;
    queue_.push_front(link);
}

void DownloadJobRunner::fail(Attempt& attempt, FileResult result) {
    attempt.discard();
    report(attempt.link(), result);
}

void DownloadJobRunner::report(std::size_t link, const FileResult& result,
                               const std::optional<BackupJob::OldFile>& old) {
    resumeFrom_[link].reset();
    const rg_LianJieYuSuoYinLei& target = job_.link(link);
    backups_.note(link, result, old, fileTimeOfYearFirst(target.updateTime.view()).value_or(0));
    observer_.fileDone(target, result);
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
            result.bytes = 0;
            result.reason = placed.reason;
        }
        std::optional<BackupJob::OldFile> old;
        if (placed.replacedOld)
            old = BackupJob::OldFile{placed.oldSize, placed.oldTime};
        report(placed.link, result, old);
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
    for (auto& point : resumeFrom_)
        point.reset();
}

int DownloadJobRunner::waitMs(std::uint64_t now) const {
    const std::uint64_t paced = throttle_.nextStartAt();
    if (!queue_.empty() && paced > now && pool_.busyCount() < throttle_.allowed())
        return static_cast<int>(std::min<std::uint64_t>(paced - now, kPollMs));
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
