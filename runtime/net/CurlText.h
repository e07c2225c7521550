#pragma once
// How texts cross into libcurl: converted to the system ANSI code page. An option
// setter passes null for an empty text (libcurl's default), so it asks for
// `optionOrNull`; fields that must be a string get "" for an empty text.
#include "runtime/core/WString.h"

#include <string>

namespace rg_quelt_windows_WangLao {

class CurlText {
public:
    explicit CurlText(const CWString& text) : empty_(text.isEmpty()), bytes_(text.toAnsi()) {}

    const char* optionOrNull() const { return empty_ ? nullptr : bytes_.c_str(); }
    const char* str() const { return bytes_.c_str(); }

private:
    bool empty_;
    std::string bytes_;
};

} // namespace rg_quelt_windows_WangLao
