// The conversions at the system's edges on any bytes and any UTF-16 units:
// counting and converting agree, a short buffer gets a prefix of the full result
// and never a split surrogate pair, UTF-8 that decodes without replacements
// encodes back to the same bytes, and UTF-16 goes through UTF-8 unchanged but
// for its unpaired surrogates. The ANSI conversions (the locale's character set,
// and GBK by name) stay within their buffers and decode what they encode.
//
// Input: a control byte (bits 0-5: the short buffer's size in units), then bytes
// that are read both as UTF-8 and as UTF-16LE units.
#include "runtime/platform/CodePage.h"
#include "runtime/platform/PrivateProfile.h"

#include "tests/fuzz/FuzzInput.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::u16string withoutUnpairedSurrogates(std::u16string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1])) {
            out += text[i];
            out += text[++i];
        } else {
            out += isHigh(text[i]) || isLow(text[i]) ? u'\xFFFD' : text[i];
        }
    }
    return out;
}

bool wellFormed(std::u16string_view text) { return withoutUnpairedSurrogates(text) == text; }

template <typename From, typename To>
std::basic_string<To> convertAll(std::size_t (*convert)(const From*, std::size_t, To*, std::size_t),
                                 std::basic_string_view<From> source) {
    const std::size_t need = convert(source.data(), source.size(), nullptr, 0);
    std::basic_string<To> out(need, To());
    FUZZ_CHECK(convert(source.data(), source.size(), out.data(), out.size()) == need);
    return out;
}

// Into a buffer of exactly `capacity` units, so a write past it is caught.
template <typename From, typename To>
void checkShortBuffer(std::size_t (*convert)(const From*, std::size_t, To*, std::size_t),
                      std::basic_string_view<From> source, const std::basic_string<To>& full,
                      std::size_t capacity) {
    if (capacity >= full.size())
        return;
    auto buffer = std::make_unique<To[]>(capacity == 0 ? 1 : capacity);
    const std::size_t written = convert(source.data(), source.size(), buffer.get(), capacity);
    FUZZ_CHECK(written <= capacity);
    FUZZ_CHECK(std::basic_string_view<To>(buffer.get(), written) ==
               std::basic_string_view<To>(full).substr(0, written));
    if constexpr (sizeof(To) == 2)
        FUZZ_CHECK(written == 0 || !isHigh(buffer[written - 1]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields input(data, size);
    const std::size_t capacity = input.byte() & 63;
    const std::string_view bytes = input.rest();
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));

    // UTF-8 to UTF-16 and back.
    const std::u16string decoded = convertAll(platform::utf8ToUtf16, bytes);
    FUZZ_CHECK(wellFormed(decoded));
    checkShortBuffer(platform::utf8ToUtf16, bytes, decoded, capacity);
    const std::string encoded = convertAll(platform::utf16ToUtf8, std::u16string_view(decoded));
    if (decoded.find(u'\xFFFD') == std::u16string::npos)
        FUZZ_CHECK(encoded == bytes);
    FUZZ_CHECK(convertAll(platform::utf8ToUtf16, std::string_view(encoded)) == decoded);

    // UTF-16 to UTF-8 and back.
    const std::string utf8 = convertAll(platform::utf16ToUtf8, std::u16string_view(units));
    checkShortBuffer(platform::utf16ToUtf8, std::u16string_view(units), utf8, capacity);
    FUZZ_CHECK(convertAll(platform::utf8ToUtf16, std::string_view(utf8)) == withoutUnpairedSurrogates(units));

    // ANSI, in the locale's character set.
    const std::u16string fromAnsi = convertAll(platform::ansiToUtf16, bytes);
    checkShortBuffer(platform::ansiToUtf16, bytes, fromAnsi, capacity);
    const std::string toAnsi = convertAll(platform::utf16ToAnsi, std::u16string_view(units));
    checkShortBuffer(platform::utf16ToAnsi, std::u16string_view(units), toAnsi, capacity);
    const std::u16string back = convertAll(platform::ansiToUtf16, std::string_view(toAnsi));
    if (platform::ansiIsUtf8())
        FUZZ_CHECK(back == withoutUnpairedSurrogates(units));
    // GBK by name, as an ANSI setup.ini from a Chinese system is read.
    const std::u16string gbk = platform::decodeCodePage(bytes, 936);
    FUZZ_CHECK(gbk.size() <= bytes.size());
    return 0;
}
