#pragma once
// FileFinisher: puts completed downloads in their places on a thread of its own, so
// that waiting for the disk holds up no transfer. Each file gets the list's update
// time and a write-out of its data; files are gathered into batches, one full flush
// makes a whole batch durable, and only then are its files renamed over their
// targets, each result reported as soon as its rename is done (see the .cpp for what
// this guarantees after a power loss). On any failure the temporary file is removed
// and the target stays as it was.
//
// A file with a `backup` path keeps its old version: right before the rename the
// target gets that second name (a hard link, or where none can be made a copy that
// is on the disk first), so the replacement stays one atomic rename. When the old
// version cannot be kept, the file fails and the target stays as it was.
//
// Owned by the download worker's thread, which submits work and takes the results;
// `wake` is called on the finisher's thread after each result. When no thread can
// be started the work is done at once, inside submit(), a batch of one file.
#include "runtime/core/WString.h"
#include "runtime/platform/ConditionVariable.h"
#include "runtime/platform/CriticalSection.h"
#include "runtime/platform/Event.h"
#include "runtime/platform/FileSystem.h"
#include "updater/ReasonCatalogue.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace rg_quelt_app {

class FileFinisher {
public:
    // A batch is closed after this long from its first file, or at this many files.
    static constexpr std::uint32_t kBatchMs = 50;
    static constexpr std::size_t kBatchFiles = 64;
    // How long a target that another program holds open is waited for.
    static constexpr std::uint32_t kInUsePatienceMs = 2000;

    struct Work {
        std::size_t link = 0; // the caller's tag
        std::unique_ptr<platform::OutputFile> file;
        CWString temporary;
        CWString target;
        std::optional<std::int64_t> lastWriteTime;
        CWString backup; // where the target's old version goes; empty: nowhere
        // Why the target's old version cannot be kept; an existing target is then
        // left as it is and the file fails.
        std::u16string backupRefused;
    };
    enum class Problem {
        none,
        writeFailed,   // the data did not reach the disk
        targetInUse,   // another program held the target for the whole wait
        replaceFailed, // the system refused the rename for another reason
        backupFailed,  // the old version could not be kept
    };
    struct Result {
        std::size_t link = 0;
        bool placed = false;
        Problem problem = Problem::none;
        Reason reason; // why not, when not
        // What the target was right before the rename: a file of this size and
        // time, or nothing (the file is new).
        bool replacedOld = false;
        std::int64_t oldSize = -1;
        std::int64_t oldTime = 0;
    };

    using WakeFunction = void (*)(void* context);
    FileFinisher(WakeFunction wake, void* context);
    // Finishes what was submitted, then ends the thread.
    ~FileFinisher();
    FileFinisher(const FileFinisher&) = delete;
    FileFinisher& operator=(const FileFinisher&) = delete;

    void submit(Work work);
    // Nothing more will be submitted: the batch being gathered is finished as soon
    // as what was submitted is in it, without waiting out its time.
    void allSubmitted();
    bool takeResult(Result& result);
    // Submitted and not yet taken.
    std::size_t outstanding() const;
    // Flushes once each folder that received a file since the last call, so that
    // the new names survive a power loss too. For the end of a job, once every
    // result has been taken.
    void flushFolders();

    // Full flushes made by every finisher of the process so far.
    static std::uint64_t fullFlushCount();

private:
    static unsigned threadRoutine(void* self);
    void serve();
    // The batch's own steps on the calling thread; `lock_` is not held.
    bool prepare(Work& work);
    void finishBatch(std::vector<Work>& batch);
    void place(Work& work);
    // Gives the target its second name; false with the system's words when it cannot.
    bool keepOldVersion(const Work& work, std::u16string& why);
    void failed(Work& work, Problem problem, Reason reason);
    void deliver(Result result);

    WakeFunction wake_;
    void* context_;
    mutable platform::CriticalSection lock_;
    platform::ConditionVariable changed_;
    std::deque<Work> work_;
    std::deque<Result> results_;
    std::set<std::u16string> folders_; // that received files, for flushFolders
    std::size_t outstanding_ = 0;
    bool ending_ = false;
    bool allSubmitted_ = false;
    bool threaded_ = false;
    platform::Event ended_{true, false};
};

} // namespace rg_quelt_app
