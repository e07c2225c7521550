#pragma once
// FileFinisher: puts completed downloads in their places on a thread of its own, so
// that waiting for the disk holds up no transfer. For each file: flush the
// temporary file (so that a power loss never leaves the module's name with nothing
// behind it), give it the list's update time, close it and rename it over the
// target. On any failure the temporary file is removed and the target stays as it
// was.
//
// Owned by the download worker's thread, which submits work and takes the results;
// `wake` is called on the finisher's thread after each result. When no thread can
// be started the work is done at once, inside submit().
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

namespace rg_quelt_app {

class FileFinisher {
public:
    struct Work {
        std::size_t link = 0; // the caller's tag
        std::unique_ptr<platform::OutputFile> file;
        CWString temporary;
        CWString target;
        std::optional<std::int64_t> lastWriteTime;
    };
    struct Result {
        std::size_t link = 0;
        bool placed = false;
        Reason reason; // why not, when not
    };

    using WakeFunction = void (*)(void* context);
    FileFinisher(WakeFunction wake, void* context);
    // Finishes what was submitted, then ends the thread.
    ~FileFinisher();
    FileFinisher(const FileFinisher&) = delete;
    FileFinisher& operator=(const FileFinisher&) = delete;

    void submit(Work work);
    bool takeResult(Result& result);
    // Submitted and not yet taken.
    std::size_t outstanding() const;

    // The steps for one file, on the calling thread.
    static Result finish(Work& work);

private:
    static unsigned threadRoutine(void* self);
    void serve();

    WakeFunction wake_;
    void* context_;
    mutable platform::CriticalSection lock_;
    platform::ConditionVariable changed_;
    std::deque<Work> work_;
    std::deque<Result> results_;
    std::size_t outstanding_ = 0;
    bool ending_ = false;
    bool threaded_ = false;
    platform::Event ended_{true, false};
};

} // namespace rg_quelt_app
