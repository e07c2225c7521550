#include "runtime/data/rg_XianChengZhuangTaiLei.h"

#include "runtime/data/ThreadStateRecord.h"
#include "runtime/platform/Event.h"

#include <atomic>
#include <utility>

namespace rg_quelt_base {

QUELT_DEFINE_CLASS(rg_XianChengZhuangTaiLei, CQueltRefObject, "rg_quelt_base::rg_XianChengZhuangTaiLei")

namespace {

bool defaultStarter(platform::ThreadRoutine routine, void* parameter) {
    return platform::startDetachedThread(routine, parameter);
}

std::atomic<rg_XianChengZhuangTaiLei::ThreadStarter> threadStarter{&defaultStarter};

// Lives on the starter's stack until the new thread has set startedEvent.
struct ThreadStartBlock {
    const rg_XianChengZhuangTaiLei* state;
    rg_XianChengZhuangTaiLei::JobFunction job;
    platform::Event* startedEvent;
};

unsigned startRoutine(void* parameter) {
    auto* block = static_cast<ThreadStartBlock*>(parameter);
    rg_XianChengZhuangTaiLei local(*block->state);
    // The parameters belong to this job from now on, before a later start can store others.
    local.takeParameterCopies();
    const rg_XianChengZhuangTaiLei::JobFunction job = block->job;
    block->startedEvent->set();
    // From here the block may be gone.
    try {
        job(&local);
    } catch (...) {
        // Nothing may leave a thread: on Windows that ends the process. The job has
        // no one to report to, so it simply counts as finished.
    }
    if (ThreadStateRecord* record = local.stateRecord())
        record->idleEvent.set();
    return 0;
}

} // namespace

rg_XianChengZhuangTaiLei::rg_XianChengZhuangTaiLei() : SharedRecordRef(new ThreadStateRecord()) {}

ThreadStateRecord* rg_XianChengZhuangTaiLei::stateRecord() const { return get(); }

void rg_XianChengZhuangTaiLei::reset() {
    dropParameterCopies();
    adopt(new ThreadStateRecord());
}

rg_XianChengZhuangTaiLei& rg_XianChengZhuangTaiLei::operator=(const rg_XianChengZhuangTaiLei& other) {
    if (this != &other) {
        dropParameterCopies();
        SharedRecordRef::operator=(other);
    }
    return *this;
}

rg_XianChengZhuangTaiLei::~rg_XianChengZhuangTaiLei() { dropParameterCopies(); }

void rg_XianChengZhuangTaiLei::takeParameterCopies() {
    ThreadStateRecord* record = stateRecord();
    if (!record)
        return;
    dropParameterCopies();
    jobCopies_ = new CQueltObject* [ThreadStateRecord::kSlotCount] {};
    platform::CriticalSectionLock hold(record->slotLock);
    for (int i = 0; i < ThreadStateRecord::kSlotCount; ++i)
        jobCopies_[i] = record->slots[i] ? record->slots[i]->clone() : nullptr;
}

void rg_XianChengZhuangTaiLei::dropParameterCopies() {
    if (!jobCopies_)
        return;
    for (int i = 0; i < ThreadStateRecord::kSlotCount; ++i) {
        if (jobCopies_[i])
            jobCopies_[i]->destroyAndFree();
    }
    delete[] jobCopies_;
    jobCopies_ = nullptr;
}

void rg_XianChengZhuangTaiLei::StartThread(JobFunction job) {
    ThreadStateRecord* record = stateRecord();
    if (!record || !job || !record->usable())
        return;
    // Anything but "signalled" means a job runs, or the event cannot tell; either
    // way no second job starts.
    if (record->idleEvent.wait(0) != platform::WaitResult::signalled)
        return;
    record->stopEvent.reset();
    record->idleEvent.reset();

    platform::Event startedEvent(false, false);
    if (!startedEvent.valid()) {
        // Without it the block could vanish before the new thread has read it.
        record->idleEvent.set();
        return;
    }
    ThreadStartBlock block{this, job, &startedEvent};
    if (!threadStarter.load()(&startRoutine, &block)) {
        record->idleEvent.set();
        return;
    }
    startedEvent.wait(platform::Event::kInfinite);
}

void rg_XianChengZhuangTaiLei::StoreParameter(int index, const CQueltObject& object) {
    ThreadStateRecord* record = stateRecord();
    if (!record || index < 0 || index >= ThreadStateRecord::kSlotCount)
        return;
    CQueltObject* occupant = object.isNullInstance() ? nullptr : object.clone();
    {
        platform::CriticalSectionLock hold(record->slotLock);
        std::swap(occupant, record->slots[index]);
    }
    if (occupant)
        occupant->destroyAndFree();
}

void rg_XianChengZhuangTaiLei::LoadParameter(int index, CQueltObject& target) const {
    ThreadStateRecord* record = stateRecord();
    if (!record || index < 0 || index >= ThreadStateRecord::kSlotCount)
        return;
    if (jobCopies_) {
        if (jobCopies_[index])
            target.assign(*jobCopies_[index]);
        return;
    }
    platform::CriticalSectionLock hold(record->slotLock);
    if (CQueltObject* occupant = record->slots[index])
        target.assign(*occupant);
}

bool rg_XianChengZhuangTaiLei::isRunning() const {
    ThreadStateRecord* record = stateRecord();
    return record && record->idleEvent.wait(0) == platform::WaitResult::timedOut;
}

bool rg_XianChengZhuangTaiLei::waitUntilIdle(std::uint32_t timeoutMs) const {
    ThreadStateRecord* record = stateRecord();
    return !record || record->idleEvent.wait(timeoutMs) == platform::WaitResult::signalled;
}

rg_XianChengZhuangTaiLei::ThreadStarter rg_XianChengZhuangTaiLei::setThreadStarter(ThreadStarter starter) {
    return threadStarter.exchange(starter ? starter : &defaultStarter);
}

} // namespace rg_quelt_base
