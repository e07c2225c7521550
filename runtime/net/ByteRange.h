#pragma once
// Byte ranges of a resumed download: the request's "Range" and "If-Range" lines,
// and the answer's "Content-Range", which says which bytes a 206 carries. Only the
// one form that resuming a file uses is understood: "bytes FIRST-LAST/TOTAL".
#include <cstdint>
#include <string>
#include <string_view>

namespace rg_quelt_windows_WangLao {

struct ContentRange {
    std::int64_t first = -1;
    std::int64_t last = -1;
    std::int64_t total = -1; // −1 for "*": the whole length is not known
    bool valid() const { return first >= 0 && last >= first; }
};

// Parses the value of a Content-Range header; an invalid range (valid() false) for
// anything but "bytes FIRST-LAST/TOTAL" with FIRST ≤ LAST < TOTAL (or TOTAL "*").
ContentRange parseContentRange(std::string_view value);

// "Range: bytes=FROM-": everything from byte FROM on.
std::string rangeHeaderFrom(std::int64_t from);

// "If-Range: VALIDATOR": the range only while the file is still the one the
// validator (an entity tag or a date) names; otherwise the whole file.
std::string ifRangeHeader(std::string_view validator);

} // namespace rg_quelt_windows_WangLao
