#include "updater/FileFinisher.h"

#include "runtime/platform/Thread.h"

#include <utility>

namespace rg_quelt_app {

FileFinisher::FileFinisher(WakeFunction wake, void* context) : wake_(wake), context_(context) {
    threaded_ = ended_.valid() && platform::startDetachedThread(&threadRoutine, this);
}

FileFinisher::~FileFinisher() {
    if (!threaded_)
        return;
    {
        platform::CriticalSectionLock hold(lock_);
        ending_ = true;
        changed_.notifyAll();
    }
    ended_.wait(platform::Event::kInfinite);
}

unsigned FileFinisher::threadRoutine(void* self) {
    auto* finisher = static_cast<FileFinisher*>(self);
    finisher->serve();
    // The last touch of the object: its destructor may run as soon as this is set.
    finisher->ended_.set();
    return 0;
}

void FileFinisher::serve() {
    platform::CriticalSectionLock hold(lock_);
    for (;;) {
        while (work_.empty() && !ending_)
            changed_.wait(lock_);
        if (work_.empty())
            return;
        Work work = std::move(work_.front());
        work_.pop_front();
        lock_.leave();
        Result result = finish(work);
        lock_.enter();
        results_.push_back(std::move(result));
        if (wake_)
            wake_(context_);
    }
}

void FileFinisher::submit(Work work) {
    platform::CriticalSectionLock hold(lock_);
    ++outstanding_;
    if (threaded_) {
        work_.push_back(std::move(work));
        changed_.notifyAll();
    } else {
        results_.push_back(finish(work));
    }
}

bool FileFinisher::takeResult(Result& result) {
    platform::CriticalSectionLock hold(lock_);
    if (results_.empty())
        return false;
    result = std::move(results_.front());
    results_.pop_front();
    --outstanding_;
    return true;
}

std::size_t FileFinisher::outstanding() const {
    platform::CriticalSectionLock hold(lock_);
    return outstanding_;
}

FileFinisher::Result FileFinisher::finish(Work& work) {
    Result result;
    result.link = work.link;
    platform::OutputFile& file = *work.file;
    const auto failed = [&](ReasonKind what, const std::u16string& why) {
        file.close();
        platform::removeFile(work.temporary.view());
        result.reason = fileReason(what, work.target, why);
        return result;
    };
    if (!file.flush())
        return failed(ReasonKind::CannotWrite, file.errorText());
    // A time the system cannot set is no reason to refuse the module: it keeps the
    // time of writing, and the next check marks it again.
    if (work.lastWriteTime)
        file.setLastWriteTime(*work.lastWriteTime);
    if (!file.close())
        return failed(ReasonKind::CannotWrite, file.errorText());
    if (!platform::renameOver(work.temporary.view(), work.target.view())) {
        const std::u16string why = platform::lastErrorText();
        platform::removeFile(work.temporary.view());
        result.reason = fileReason(ReasonKind::CannotReplace, work.target, why);
        return result;
    }
    result.placed = true;
    return result;
}

} // namespace rg_quelt_app
