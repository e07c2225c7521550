#include "updater/FileFinisher.h"

#include "runtime/core/Paths.h"
#include "runtime/platform/SystemInfo.h"
#include "runtime/platform/Thread.h"

#include <atomic>
#include <utility>

namespace rg_quelt_app {

namespace {

std::atomic<std::uint64_t> fullFlushes{0};

} // namespace

// What the finishing thread guarantees: after a power loss (or a crash of the
// system) at any moment, a module's name holds either its old file or the whole
// new one, never a short or empty one.
//
// A new file's name appears only through the rename, and a rename is atomic in
// the file system's journal. So the guarantee holds when every byte of the new
// file (and its size) is on the disk before its rename can be. Flushing each file
// fully before its rename gives that, at the price of one journal commit and one
// emptying of the disk's cache per file. The batch gives it for many files at once:
//  1. each file's data is written out and waited for (sync_file_range on Linux,
//     NtFlushBuffersFileEx without sync on Windows): the disk has every block, if
//     perhaps only in its own volatile cache, and the blocks it took are allocated;
//  2. one full flush (fsync / FlushFileBuffers) of the batch's last file commits
//     the file system's journal, which holds the sizes and block maps of all the
//     files written so far (one journal per volume, and every file of a job is on
//     the module folder's volume), and then empties the disk's cache, which holds
//     the data of step 1 for all of them;
//  3. only after that flush has returned is any file of the batch renamed.
// Whatever the disk loses in a power cut therefore comes from after step 2, i.e.
// at worst a rename (the old file stays) or the folder entry of one (flushed once
// per folder at the end of the job; until then the old name may come back, whole).
// A file whose write-out or flush fails is never renamed: its target stays as it
// was. A file's outcome is reported once its rename is done, so "success" still
// means the file is in place.
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

std::uint64_t FileFinisher::fullFlushCount() { return fullFlushes.load(); }

unsigned FileFinisher::threadRoutine(void* self) {
    auto* finisher = static_cast<FileFinisher*>(self);
    finisher->serve();
    // The last touch of the object: its destructor may run as soon as this is set.
    finisher->ended_.set();
    return 0;
}

void FileFinisher::serve() {
    std::vector<Work> batch;
    batch.reserve(kBatchFiles);
    platform::CriticalSectionLock hold(lock_);
    for (;;) {
        while (work_.empty() && !ending_)
            changed_.wait(lock_);
        if (work_.empty())
            return;
        const std::uint64_t closes = platform::tickCount() + kBatchMs;
        for (;;) {
            while (!work_.empty() && batch.size() < kBatchFiles) {
                Work work = std::move(work_.front());
                work_.pop_front();
                lock_.leave();
                if (prepare(work))
                    batch.push_back(std::move(work));
                lock_.enter();
            }
            if (batch.size() >= kBatchFiles || ending_ || (allSubmitted_ && work_.empty()))
                break;
            const std::uint64_t now = platform::tickCount();
            if (now >= closes)
                break;
            if (work_.empty())
                changed_.waitFor(lock_, static_cast<std::uint32_t>(closes - now));
        }
        if (batch.empty())
            continue;
        lock_.leave();
        finishBatch(batch);
        batch.clear();
        lock_.enter();
    }
}

void FileFinisher::submit(Work work) {
    {
        platform::CriticalSectionLock hold(lock_);
        ++outstanding_;
        if (threaded_) {
            work_.push_back(std::move(work));
            changed_.notifyAll();
            return;
        }
    }
    std::vector<Work> batch;
    if (prepare(work)) {
        batch.push_back(std::move(work));
        finishBatch(batch);
    }
}

void FileFinisher::allSubmitted() {
    platform::CriticalSectionLock hold(lock_);
    if (allSubmitted_)
        return;
    allSubmitted_ = true;
    changed_.notifyAll();
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

void FileFinisher::flushFolders() {
    std::set<std::u16string> folders;
    {
        platform::CriticalSectionLock hold(lock_);
        folders.swap(folders_);
    }
    // A folder that cannot be flushed keeps its files: they are in place, only the
    // name's durability is as the system gives it.
    for (const std::u16string& folder : folders)
        platform::flushFolder(folder);
}

bool FileFinisher::prepare(Work& work) {
    platform::OutputFile& file = *work.file;
    // A time the system cannot set is no reason to refuse the module: it keeps the
    // time of writing, and the next check marks it again. Set before the write-out,
    // so that the batch's flush makes it durable with the data.
    if (work.lastWriteTime)
        file.setLastWriteTime(*work.lastWriteTime);
    if (file.writeOut())
        return true;
    failed(work, Problem::writeFailed, fileReason(ReasonKind::CannotWrite, work.target, file.errorText()));
    return false;
}

void FileFinisher::finishBatch(std::vector<Work>& batch) {
    platform::OutputFile& last = *batch.back().file;
    fullFlushes.fetch_add(1, std::memory_order_relaxed);
    if (!last.flush()) {
        // Nothing of the batch is known to be on the disk: none of it may take a
        // module's place.
        const std::u16string why = last.errorText();
        for (Work& work : batch)
            failed(work, Problem::writeFailed, fileReason(ReasonKind::CannotWrite, work.target, why));
        return;
    }
    for (Work& work : batch)
        place(work);
}

void FileFinisher::place(Work& work) {
    if (!work.file->close())
        return failed(work, Problem::writeFailed,
                      fileReason(ReasonKind::CannotWrite, work.target, work.file->errorText()));
    Result result;
    result.link = work.link;
    result.replacedOld = platform::fileSizeAndTime(work.target.view(), result.oldSize, result.oldTime);
    bool linked = false;
    if (result.replacedOld && !work.backupRefused.empty())
        return failed(work, Problem::backupFailed,
                      fileReason(ReasonKind::BackupFailed, work.target, work.backupRefused));
    if (result.replacedOld && !work.backup.isEmpty()) {
        // A second listing of the same path in one job finds the first one's backup,
        // which holds the file from before the job.
        if (!platform::pathExists(work.backup.view())) {
            std::u16string why;
            if (!keepOldVersion(work, why))
                return failed(work, Problem::backupFailed,
                              fileReason(ReasonKind::BackupFailed, work.target, why));
            linked = true;
        }
    }
    const platform::ReplaceResult replaced =
        platform::replaceWhenFree(work.temporary.view(), work.target.view(), kInUsePatienceMs);
    if (replaced == platform::ReplaceResult::replaced) {
        const CWString folder = folderOfFile(work.target);
        if (!folder.isEmpty()) {
            platform::CriticalSectionLock hold(lock_);
            folders_.insert(std::u16string(folder.view()));
        }
        result.placed = true;
        return deliver(std::move(result));
    }
    const std::u16string why = platform::lastErrorText();
    // The module stays as it was, so its second name would only be a stale copy.
    if (linked)
        platform::removeFile(work.backup.view());
    if (replaced == platform::ReplaceResult::inUse)
        return failed(work, Problem::targetInUse, reasonOf(ReasonKind::TargetInUse));
    failed(work, Problem::replaceFailed, fileReason(ReasonKind::CannotReplace, work.target, why));
}

bool FileFinisher::keepOldVersion(const Work& work, std::u16string& why) {
    const CWString folder = folderOfFile(work.backup);
    if (!folder.isEmpty() && !createFolderTree(folder)) {
        why = platform::lastErrorText();
        return false;
    }
    // A copy only where no link can be made (another volume, FAT): it costs the
    // file's size and a flush, and is made whole before the module is touched.
    if (!platform::createHardLink(work.target.view(), work.backup.view()) &&
        !platform::copyFileDurably(work.target.view(), work.backup.view())) {
        why = platform::lastErrorText();
        return false;
    }
    if (!folder.isEmpty()) {
        platform::CriticalSectionLock hold(lock_);
        folders_.insert(std::u16string(folder.view()));
    }
    return true;
}

void FileFinisher::failed(Work& work, Problem problem, Reason reason) {
    work.file->close();
    platform::removeFile(work.temporary.view());
    Result result;
    result.link = work.link;
    result.problem = problem;
    result.reason = std::move(reason);
    deliver(std::move(result));
}

void FileFinisher::deliver(Result result) {
    platform::CriticalSectionLock hold(lock_);
    results_.push_back(std::move(result));
    if (wake_)
        wake_(context_);
}

} // namespace rg_quelt_app
