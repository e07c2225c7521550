#pragma once
// What became of one file of a download job, as the worker reports it: the outcome
// and why. The front ends turn it into the row's text ("成功", "下载失败",
// "保存失败") and, for a failure, show the reason in the catalogue's words.
#include "runtime/core/WString.h"
#include "updater/ReasonCatalogue.h"

#include <cstdint>

namespace rg_quelt_app {

enum class FileOutcome {
    Success,        // the whole answer took the file's place
    DownloadFailed, // no usable answer: refused name, error status, broken transfer, wrong length
    SaveFailed,     // the answer could not be written or put in place
};

struct FileResult {
    FileOutcome outcome = FileOutcome::DownloadFailed;
    std::int32_t httpStatus = 0;    // of the last answer; 0 when none arrived
    std::int32_t transferError = 0; // libcurl's result of the last attempt; 0 when it completed
    Reason reason;                  // what went wrong; None on success
    std::int32_t attempts = 0;      // requests sent for the file; 0 when it was refused before asking
    std::int64_t bytes = 0;         // bytes saved: 0 unless the file was put in place
};

// The reason in words, with the number of attempts when there were several.
CWString reasonText(const FileResult& result);
// The reason's stable code ("http_status"); empty on success.
std::string_view reasonCode(const FileResult& result);

} // namespace rg_quelt_app
