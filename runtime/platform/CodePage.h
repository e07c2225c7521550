#pragma once
// Text conversion at the edges of the system. Every function works like the Win32
// conversion calls: with a null destination it returns the number of units needed;
// otherwise it writes at most `capacity` units and returns how many it wrote.
// No terminator is added.
//
// UTF-8: invalid or truncated sequences become U+FFFD (one per maximal invalid
// subpart), overlong forms and encoded surrogates are invalid. UTF-16: an unpaired
// surrogate becomes U+FFFD.
//
// "ANSI" is the system's ANSI code page: CP_ACP on Windows; on Linux the locale's
// character set, UTF-8 when the locale is C/POSIX or names no other set.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

std::size_t utf8ToUtf16(const char* source, std::size_t length, char16_t* dest, std::size_t capacity);
std::size_t utf16ToUtf8(const char16_t* source, std::size_t length, char* dest, std::size_t capacity);
// The same conversions of a whole text into a string of its own.
std::u16string utf8ToUtf16String(std::string_view bytes);
std::string utf16ToUtf8String(std::u16string_view text);

std::size_t ansiToUtf16(const char* source, std::size_t length, char16_t* dest, std::size_t capacity);
std::size_t utf16ToAnsi(const char16_t* source, std::size_t length, char* dest, std::size_t capacity);

// True when the ANSI code page is UTF-8 (always false on Windows unless the
// system is set to code page 65001).
bool ansiIsUtf8();

} // namespace platform
