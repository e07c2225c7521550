#pragma once
// The first line of an error answer's body, for its reason: servers put their own
// words there ("密码错误"), as plain text or in a short JSON object.
#include "runtime/core/WString.h"

#include <cstddef>
#include <string_view>

namespace rg_quelt_app {

// At most this many characters of the line are kept.
inline constexpr std::size_t kBodyLineCharacters = 100;

// The first line with any text of the first `length` bytes of a body (the whole
// body or its start: a character cut off at the end is left out), decoded from
// UTF-8, control characters removed, a run of blanks as one and none at the ends, at most kBodyLineCharacters
// characters. Empty for a type that is not plain text or JSON (an answer
// without a Content-Type only when its bytes are valid UTF-8 without a zero byte),
// and for an empty body.
CWString firstBodyLine(const void* bytes, std::size_t length, std::string_view contentType);
CWString firstBodyLine(const void* bytes, std::size_t length, std::u16string_view contentType);

} // namespace rg_quelt_app
