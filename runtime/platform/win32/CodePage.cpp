#include "runtime/platform/CodePage.h"

#include <climits>
#include <windows.h>

namespace platform {

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is passed to Win32 as wchar_t");

namespace {

int clampLength(std::size_t length) { return length > INT_MAX ? INT_MAX : static_cast<int>(length); }

} // namespace

std::size_t ansiToUtf16(const char* source, std::size_t length, char16_t* dest, std::size_t capacity) {
    if (length == 0)
        return 0;
    const int n = MultiByteToWideChar(CP_ACP, 0, source, clampLength(length),
                                      reinterpret_cast<wchar_t*>(dest), dest ? clampLength(capacity) : 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t utf16ToAnsi(const char16_t* source, std::size_t length, char* dest, std::size_t capacity) {
    if (length == 0)
        return 0;
    const int n =
        WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(source), clampLength(length), dest,
                            dest ? clampLength(capacity) : 0, nullptr, nullptr);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool ansiIsUtf8() { return GetACP() == CP_UTF8; }

} // namespace platform
