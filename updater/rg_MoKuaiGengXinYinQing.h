#pragma once
// rg_MoKuaiGengXinYinQing: the module update engine, the one object through which
// the main window (or the headless front end) talks to the module server. It owns
// the network access object of the list requests and the download worker's thread
// state; one engine means one download job at a time in the whole program.
//
// Construct, use and destroy it on the user-interface thread; a list request may
// also run on a helper thread, one at a time, while that thread keeps servicing
// notices (the request's progress notices come to it). Destroying it drops the
// queued jobs, stops the running one and waits until the worker has ended,
// servicing notices meanwhile, so that nothing the worker uses goes before it; a
// list request running elsewhere must have ended before (abandonListRequests ends
// it).
#include "runtime/core/EventObjectPointer.h"
#include "runtime/core/QueltObjectArray.h"
#include "runtime/data/rg_XianChengZhuangTaiLei.h"
#include "runtime/net/rg_WangLaoFangWenLei.h"
#include "updater/DownloadObserver.h"
#include "updater/ModuleListReader.h"
#include "updater/TransferSettings.h"
#include "updater/rg_XiaZaiShuJu.h"

#include "runtime/core/RefPtr.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>

namespace rg_quelt_app {

// What a list request may take before the check counts as failed.
struct ListLimits {
    static constexpr std::size_t kDefaultAnswerBytes = std::size_t(64) << 20;
    static constexpr std::uint32_t kDefaultTimeoutMs = 120000;

    std::size_t answerBytes = kDefaultAnswerBytes; // refused as soon as the answer passes it
    std::uint32_t timeoutMs = kDefaultTimeoutMs;   // for the whole request
    ListBounds bounds;                             // what the list read from it may hold
};

class rg_MoKuaiGengXinYinQing : public CQueltObject {
    QUELT_CLASS(rg_MoKuaiGengXinYinQing)

public:
    // A download asked for while another job runs waits for its turn: one job at a
    // time, in the order asked. Its job is made only when the turn comes, so that
    // it takes the rows as they are then.
    struct DownloadRequest {
        // Who asked (the window: the module kind); one request of an owner waits at a time.
        std::uint32_t owner = 0;
        // Makes the job, on the engine's thread, right before it starts; false starts
        // nothing and drops the request (its rows are gone).
        std::function<bool(rg_XiaZaiShuJu& job)> prepare;
        RefPtr<DownloadObserver> observer;
        // Set: the request's turn runs this on the worker thread instead of a
        // download, as a job of its own (a rollback); no download starts until it
        // has returned. `prepare` is then optional; when set, it still decides first
        // and its job is not used. The observer hears jobStarting (with an empty
        // job) and jobDone(false) only.
        std::function<void()> task;
    };
    enum class RequestOutcome {
        Started, // the job went to the worker
        Queued,  // it starts once the jobs before it have ended
        Refused, // that owner's request waits already, or prepare said no
    };

    rg_MoKuaiGengXinYinQing();
    // A copy is an engine of its own with a fresh worker state.
    rg_MoKuaiGengXinYinQing(const rg_MoKuaiGengXinYinQing& other);
    rg_MoKuaiGengXinYinQing& operator=(const rg_MoKuaiGengXinYinQing&) { return *this; }
    ~rg_MoKuaiGengXinYinQing() override;

    // Asks `url` for a module list with the credentials; blocks until the answer
    // is read. The records (rg_MoKuaiXinXiLei) in answer order; empty on any failure,
    // or those read before the answer broke off. lastListReading() tells which.
    CQueltObjectArray FetchModuleList(const CWString& url, const CWString& qq, const CWString& password);
    // The same with the entries handed to `sink` as the answer is read, without a
    // record of each: the sink is restarted once the request has ended, whatever its
    // outcome. Returns lastListReading(). An answer past the limits (listLimits) is
    // a failed transfer and gives no entries.
    const ListReading& FetchModuleList(const CWString& url, const CWString& qq, const CWString& password,
                                       ModuleListSink& sink);

    // Hands the job, the observer and the transfer settings to the worker and
    // returns once it has started. While a job runs it stores them and starts
    // nothing, and returns false; the observer then hears nothing.
    bool StartDownload(const rg_XiaZaiShuJu& job, DownloadObserver& observer);
    // The same for a task (DownloadRequest::task), except that nothing is stored
    // while a job runs: false, and the observer hears nothing.
    bool StartTask(std::function<void()> task, DownloadObserver& observer);

    bool isDownloading() const { return workerState.isRunning(); }

    // Starts the request's job (or task) at once when no job runs and none waits;
    // else queues it behind the others. On the engine's thread, like everything about the queue.
    RequestOutcome requestDownload(DownloadRequest request);
    // Once the running job has ended, starts the next request that waits (its
    // observer hears of it then). The thread that owns the engine calls it from its
    // loop while requests wait. True when a job started.
    bool startQueued();
    bool isQueued(std::uint32_t owner) const;
    std::size_t queuedCount() const { return queue_.size(); }
    // Takes the owner's request out of the queue; false when none waited.
    bool cancelQueued(std::uint32_t owner);

    // Asks the running job to stop and returns at once: its transfers end, their
    // temporary files go, and the worker ends within a fraction of a second. A
    // running task is not cut short: it ends in its own time.
    void requestStop();
    // Drops the queued requests, stops the running job and waits until the worker
    // has ended, however long that takes, servicing the calling thread's notices
    // meanwhile (the worker may be handing it a row write). Every step of a stopped
    // worker is bounded: a transfer ends at its next poll, a connection attempt
    // within its connect time-out, and a file being put in place within the disk's
    // own time.
    void stopDownload();

    // What the next job and list request use.
    void setTransferSettings(const TransferSettings& settings);
    const TransferSettings& transferSettings() const { return settings_; }

    void setListLimits(const ListLimits& limits) { listLimits_ = limits; }
    const ListLimits& listLimits() const { return listLimits_; }

    // For a front end that is closing: the list request running on any thread
    // ends at its next progress notice (libcurl gives one at least once a second,
    // also while nothing arrives), or within one element when its answer is being
    // read, as a failed transfer, and so does every request after it. From any thread; the notice itself runs
    // on this engine's thread, which must keep servicing notices until the request has returned.
    void abandonListRequests() { listAbandoned_.store(true, std::memory_order_release); }
    bool listRequestsAbandoned() const { return listAbandoned_.load(std::memory_order_acquire); }

    // Why the last FetchModuleList gave what it gave.
    const ListReading& lastListReading() const { return lastListReading_; }
    ListStatus lastListStatus() const { return lastListReading_.status; }

    rg_quelt_windows_WangLao::rg_WangLaoFangWenLei listNetAccess;
    rg_quelt_base::rg_XianChengZhuangTaiLei workerState;

private:
    // Non-zero aborts the list request.
    static std::int32_t onListProgress(CQueltObject* self, CQueltObject*, std::int32_t, std::int64_t,
                                       std::int64_t, std::int64_t, std::int64_t) {
        return static_cast<const rg_MoKuaiGengXinYinQing*>(self)->listRequestsAbandoned() ? 1 : 0;
    }

    TransferSettings settings_;
    ListLimits listLimits_;
    std::deque<DownloadRequest> queue_;
    ListReading lastListReading_;
    std::atomic<bool> listAbandoned_{false};
    CQueltEventReceiver receiver_;
};

} // namespace rg_quelt_app
