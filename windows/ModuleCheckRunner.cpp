#include "windows/ModuleCheckRunner.h"

#include "runtime/core/RefPtr.h"
#include "runtime/platform/CriticalSection.h"
#include "runtime/platform/Thread.h"

#include <deque>
#include <utility>

namespace rg_quelt_app {

namespace {

constexpr std::uint32_t kStopPollMs = 10;

CheckResult failedCheck(ReasonKind reason) {
    CheckResult result;
    result.outcome = CheckOutcome::Failed;
    result.list = {ListStatus::TransferFailed, reasonOf(reason)};
    return result;
}

} // namespace

class ModuleCheckRunner::Shared final : public CRefObject {
public:
    struct Job {
        ModuleKind kind = ModuleKind::Windows;
        RefPtr<ModuleRowTable> rows;
        rg_PeiZhiXinXiLei config;
    };
    struct Finished {
        ModuleKind kind = ModuleKind::Windows;
        CheckResult result;
    };

    explicit Shared(rg_MoKuaiGengXinYinQing& engine) : engine(engine) {}

    static unsigned run(void* parameter) {
        auto* shared = static_cast<Shared*>(parameter);
        shared->work();
        shared->release();
        return 0;
    }

    // Under lock: hands `finished` to the owner's thread unless abandoned.
    void handOver(Finished&& finished) {
        if (abandoned)
            return;
        results.push_back(std::move(finished));
        if (!posted)
            posted = platform::postNotice(notices, 0, 0);
    }

    rg_MoKuaiGengXinYinQing& engine;
    platform::CriticalSection lock;
    // Guarded by lock.
    std::deque<Job> queue;
    std::deque<Finished> results;
    platform::NoticeWindow* notices = nullptr; // null once abandoned
    bool abandoned = false;
    bool running = false; // a thread works through the queue
    bool posted = false;  // a notice for the results is on its way

private:
    ~Shared() override = default;

    // Runs the queued checks until none is left; the engine is not touched once
    // `running` is false.
    void work() {
        for (;;) {
            Job job;
            {
                platform::CriticalSectionLock hold(lock);
                if (abandoned || queue.empty()) {
                    running = false;
                    return;
                }
                job = std::move(queue.front());
                queue.pop_front();
            }
            Finished finished{job.kind, check(job)};
            job.rows = RefPtr<ModuleRowTable>();
            platform::CriticalSectionLock hold(lock);
            handOver(std::move(finished));
        }
    }

    CheckResult check(const Job& job) {
        try {
            return checkModules(engine, job.kind, *job.rows, job.config);
        } catch (...) {
            // Nothing leaves the thread; the user hears that the check failed.
            return failedCheck(ReasonKind::CheckFailed);
        }
    }
};

ModuleCheckRunner::ModuleCheckRunner(rg_MoKuaiGengXinYinQing& engine, Done done)
    : shared_(new Shared(engine)), done_(std::move(done)) {
    shared_->notices = platform::createNoticeWindow(this);
}

ModuleCheckRunner::~ModuleCheckRunner() {
    stop();
    shared_->release();
}

bool ModuleCheckRunner::anyBusy() const {
    for (bool b : busy_)
        if (b)
            return true;
    return false;
}

bool ModuleCheckRunner::start(ModuleKind kind, ModuleRowTable& rows, const rg_PeiZhiXinXiLei& config) {
    const auto index = static_cast<std::size_t>(kind);
    if (index >= busy_.size() || busy_[index])
        return false;
    platform::CriticalSectionLock hold(shared_->lock);
    if (shared_->abandoned)
        return false;
    shared_->queue.push_back({kind, RefPtr<ModuleRowTable>(&rows), config});
    busy_[index] = true;
    if (shared_->running)
        return true;
    shared_->running = true;
    shared_->addRef(); // the thread's
    if (!platform::startDetachedThread(&Shared::run, shared_)) {
        shared_->running = false;
        shared_->release();
        shared_->queue.clear();
        // Told like any other failed check, on the next turn of the message loop.
        shared_->handOver({kind, failedCheck(ReasonKind::NoThread)});
    }
    return true;
}

std::intptr_t ModuleCheckRunner::onNotice(std::uintptr_t, std::uintptr_t, std::uintptr_t) {
    // One at a time: a result's handler may run a modal loop, which hands over
    // the next ones itself.
    for (;;) {
        Shared::Finished finished;
        {
            platform::CriticalSectionLock hold(shared_->lock);
            shared_->posted = false;
            if (shared_->results.empty())
                return 0;
            finished = std::move(shared_->results.front());
            shared_->results.pop_front();
        }
        busy_[static_cast<std::size_t>(finished.kind)] = false;
        if (done_)
            done_(finished.kind, finished.result);
    }
}

void ModuleCheckRunner::abandon() {
    platform::NoticeWindow* notices = nullptr;
    {
        platform::CriticalSectionLock hold(shared_->lock);
        if (shared_->abandoned)
            return;
        shared_->abandoned = true;
        shared_->queue.clear();
        shared_->results.clear();
        notices = std::exchange(shared_->notices, nullptr);
    }
    platform::destroyNoticeWindow(notices);
    shared_->engine.abandonListRequests();
}

void ModuleCheckRunner::stop() {
    abandon();
    for (;;) {
        {
            platform::CriticalSectionLock hold(shared_->lock);
            if (!shared_->running)
                return;
        }
        // The request's progress notices come to this thread: it answers them
        // while it waits, and the next one ends the request.
        platform::serviceNotices(kStopPollMs);
    }
}

} // namespace rg_quelt_app
