#pragma once
// The runtime's UTF-16 text (char16_t) as Win32 takes and gives it (wchar_t, two
// bytes there): the same code units, seen as the other type. Every crossing of the
// window layer goes through these, so the one assumption lives in one place.
#include "runtime/core/WString.h"

#include <cstddef>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text is passed to Win32 as wchar_t");

namespace win32_text {

// For the Win32 call; valid as long as the text is. Zero-terminated.
inline const wchar_t* wide(const CWString& text) { return reinterpret_cast<const wchar_t*>(text.text()); }
inline const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
// For a structure field that Win32 declares writable but only reads (LVITEMW::pszText).
inline wchar_t* wideField(const CWString& text) { return const_cast<wchar_t*>(wide(text)); }
// A buffer of the runtime's that Win32 fills.
inline wchar_t* wideBuffer(char16_t* units) { return reinterpret_cast<wchar_t*>(units); }

// What Win32 gave, as the runtime's text.
inline std::u16string_view narrowView(const wchar_t* text, std::size_t length) {
    return {reinterpret_cast<const char16_t*>(text), length};
}
inline CWString textOf(const wchar_t* text) {
    return text ? CWString(std::u16string_view(reinterpret_cast<const char16_t*>(text))) : CWString();
}
inline CWString textOf(const wchar_t* text, std::size_t length) { return CWString(narrowView(text, length)); }

} // namespace win32_text
