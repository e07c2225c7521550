#pragma once
// The line of an error page worth showing beside its status: servers put
// "密码错误" or "module not found" there. Only a text or JSON body counts (an HTML
// page's first line is markup); the first non-empty line, control characters
// removed, at most kLongestBodyLine characters. Empty when there is none.
#include "runtime/core/WString.h"

#include <cstddef>
#include <string_view>

namespace rg_quelt_app {

inline constexpr std::size_t kLongestBodyLine = 100;

// `head` is the first bytes of the body; `complete` says whether they are all of it.
CWString answerBodyLine(std::string_view head, std::string_view contentType, bool complete);

} // namespace rg_quelt_app
