#pragma once
// ResumePoint: what is left of a download that broke off and can be continued: its
// temporary file, still open at its end, the bytes in it, and the validator of the
// answer they came from. The next attempt of the same file asks for the rest on
// the condition that the file is still the one the validator names. Whatever has
// not been handed on is removed with the point: a point never outlives its job,
// so no run resumes another's leftovers.
//
// Used by the download worker's thread only.
#include "runtime/core/WString.h"
#include "runtime/net/TransferPool.h"
#include "runtime/platform/FileSystem.h"

#include <cstdint>
#include <memory>
#include <string>

namespace rg_quelt_app {

// What names the bytes of an answer in an If-Range: its entity tag or its date.
struct Validator {
    std::string value; // empty: none, the answer cannot be resumed
    bool entityTag = false;
    bool usable() const { return !value.empty(); }
};

class ResumePoint {
public:
    // A broken-off answer keeps its bytes only from this length on: a shorter one
    // costs little to fetch again, and asks nothing of a server that ranges may trip.
    static constexpr std::int64_t kLeastKeptBytes = std::int64_t{1} << 20;

    // The validator an If-Range can carry for an answer: a strong entity tag, else
    // the Last-Modified date; empty when the answer gives neither, or a range of
    // it cannot be asked for (no "Accept-Ranges: bytes", or an encoded answer,
    // whose byte offsets are not the file's).
    static Validator validatorFor(const rg_quelt_windows_WangLao::AnswerHead& head);

    ResumePoint(std::unique_ptr<platform::OutputFile> file, CWString temporary, std::int64_t kept,
                std::int64_t writtenBack, Validator validator);
    ~ResumePoint();
    ResumePoint(const ResumePoint&) = delete;
    ResumePoint& operator=(const ResumePoint&) = delete;

    std::int64_t kept() const { return kept_; }
    std::int64_t writtenBack() const { return writtenBack_; }
    const Validator& validator() const { return validator_; }
    const CWString& temporary() const { return temporary_; }

    // Whether `head` is the rest asked for: a 206 of the bytes from kept() to the
    // file's end, the whole of `listedSize` long (where the list gives one; below
    // 0 unknown), plain, and of the same validator when it repeats one.
    bool continuedBy(const rg_quelt_windows_WangLao::AnswerHead& head, std::int64_t listedSize) const;

    // Hands the open file on to the attempt that continues it; the point then
    // removes nothing.
    std::unique_ptr<platform::OutputFile> takeFile();

    // Closes and removes the temporary file (also what the destructor does).
    void discard();

private:
    std::unique_ptr<platform::OutputFile> file_;
    CWString temporary_;
    std::int64_t kept_;
    std::int64_t writtenBack_;
    Validator validator_;
};

} // namespace rg_quelt_app
