#include "updater/ResumePoint.h"

#include <utility>

namespace rg_quelt_app {
namespace {

// A validator goes back to the server in a header line: visible ASCII only, so
// that it reaches the wire exactly as it came.
bool sendable(const std::string& validator) {
    for (const char c : validator) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return !validator.empty();
}

bool isWeakTag(const std::string& tag) { return tag.size() >= 2 && tag[0] == 'W' && tag[1] == '/'; }

} // namespace

Validator ResumePoint::validatorFor(const rg_quelt_windows_WangLao::AnswerHead& head) {
    Validator validator;
    if (!head.acceptsByteRanges || head.encoded)
        return validator;
    // A weak tag never names bytes, so If-Range may not carry it; the date may.
    if (!isWeakTag(head.entityTag) && sendable(head.entityTag)) {
        validator.value = head.entityTag;
        validator.entityTag = true;
    } else if (sendable(head.lastModified)) {
        validator.value = head.lastModified;
    }
    return validator;
}

ResumePoint::ResumePoint(std::unique_ptr<platform::OutputFile> file, CWString temporary, std::int64_t kept,
                         std::int64_t writtenBack, Validator validator)
    : file_(std::move(file)), temporary_(std::move(temporary)), kept_(kept), writtenBack_(writtenBack),
      validator_(std::move(validator)) {}

ResumePoint::~ResumePoint() { discard(); }

bool ResumePoint::continuedBy(const rg_quelt_windows_WangLao::AnswerHead& head,
                              std::int64_t listedSize) const {
    if (head.status != 206 || head.encoded || !head.range.valid() || head.range.first != kept_)
        return false;
    // The rest reaches the file's end, and the file is as long as it was.
    if (head.range.total < 0 || head.range.last != head.range.total - 1)
        return false;
    if (listedSize >= 0 && head.range.total != listedSize)
        return false;
    if (head.announced >= 0 && head.announced != head.range.total - kept_)
        return false;
    // A 206 that names its file otherwise than the bytes kept is of another file.
    const std::string& repeated = validator_.entityTag ? head.entityTag : head.lastModified;
    return repeated.empty() || repeated == validator_.value;
}

std::unique_ptr<platform::OutputFile> ResumePoint::takeFile() {
    temporary_ = CWString();
    return std::move(file_);
}

void ResumePoint::discard() {
    if (file_) {
        file_->close();
        file_.reset();
    }
    if (!temporary_.isEmpty()) {
        platform::removeFile(temporary_.view());
        temporary_ = CWString();
    }
}

} // namespace rg_quelt_app
