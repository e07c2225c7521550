// UTF-8 <-> UTF-16, written once for both platforms so that both decode broken
// input the same way.
#include "runtime/platform/CodePage.h"

#include <cstdint>

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one scalar value at source[i]; advances i past the sequence, or past the
// maximal invalid subpart when the sequence is broken.
char32_t decodeUtf8(const unsigned char* s, std::size_t length, std::size_t& i) {
    const unsigned char lead = s[i++];
    if (lead < 0x80)
        return lead;
    std::size_t need;
    char32_t value;
    unsigned char lower = 0x80, upper = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        value = lead & 0x0F;
        if (lead == 0xE0)
            lower = 0xA0; // no overlong forms
        else if (lead == 0xED)
            upper = 0x9F; // no encoded surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        value = lead & 0x07;
        if (lead == 0xF0)
            lower = 0x90;
        else if (lead == 0xF4)
            upper = 0x8F; // nothing above U+10FFFF
    } else {
        return kReplacement;
    }
    for (std::size_t k = 0; k < need; ++k) {
        if (i >= length)
            return kReplacement;
        const unsigned char c = s[i];
        if (c < lower || c > upper)
            return kReplacement;
        lower = 0x80;
        upper = 0xBF;
        value = (value << 6) | (c & 0x3F);
        ++i;
    }
    return value;
}

// Plain ASCII runs are the common case, and their units are the same in both forms:
// the run at source[i] is copied whole, without decoding. Returns its length, cut
// short where `dest` is full (`cut` says so); with a null `dest` only measures it.
template <typename From, typename To>
std::size_t copyAsciiRun(const From* source, std::size_t length, std::size_t i, To* dest,
                         std::size_t capacity, std::size_t out, bool& cut) {
    std::size_t end = i + 1;
    while (end < length && source[end] < 0x80)
        ++end;
    std::size_t run = end - i;
    cut = false;
    if (dest) {
        if (out + run > capacity) {
            run = capacity - out;
            cut = true;
        }
        for (std::size_t k = 0; k < run; ++k)
            dest[out + k] = static_cast<To>(source[i + k]);
    }
    return run;
}

} // namespace

std::size_t utf8ToUtf16(const char* source, std::size_t length, char16_t* dest, std::size_t capacity) {
    const auto* s = reinterpret_cast<const unsigned char*>(source);
    std::size_t out = 0;
    std::size_t i = 0;
    while (i < length) {
        if (s[i] < 0x80) {
            bool cut = false;
            const std::size_t run = copyAsciiRun(s, length, i, dest, capacity, out, cut);
            out += run;
            if (cut)
                return out;
            i += run;
            continue;
        }
        std::size_t next = i;
        const char32_t cp = decodeUtf8(s, length, next);
        const std::size_t units = cp >= 0x10000 ? 2 : 1;
        if (dest) {
            if (out + units > capacity)
                break;
            if (units == 2) {
                dest[out] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                dest[out + 1] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                dest[out] = static_cast<char16_t>(cp);
            }
        }
        out += units;
        i = next;
    }
    return out;
}

std::size_t utf16ToUtf8(const char16_t* source, std::size_t length, char* dest, std::size_t capacity) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (source[i] < 0x80) {
            bool cut = false;
            const std::size_t run = copyAsciiRun(source, length, i, dest, capacity, out, cut);
            out += run;
            if (cut)
                return out;
            i += run - 1;
            continue;
        }
        char32_t cp = source[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < length && source[i + 1] >= 0xDC00 &&
            source[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (source[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        unsigned char bytes[4];
        std::size_t n;
        if (cp < 0x80) {
            bytes[0] = static_cast<unsigned char>(cp);
            n = 1;
        } else if (cp < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
            bytes[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            n = 2;
        } else if (cp < 0x10000) {
            bytes[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
            bytes[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            n = 3;
        } else {
            bytes[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
            bytes[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            bytes[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            n = 4;
        }
        if (dest) {
            if (out + n > capacity)
                break;
            for (std::size_t k = 0; k < n; ++k)
                dest[out + k] = static_cast<char>(bytes[k]);
        }
        out += n;
    }
    return out;
}

std::u16string utf8ToUtf16String(std::string_view bytes) {
    std::u16string text(utf8ToUtf16(bytes.data(), bytes.size(), nullptr, 0), u'\0');
    utf8ToUtf16(bytes.data(), bytes.size(), text.data(), text.size());
    return text;
}

std::string utf16ToUtf8String(std::u16string_view text) {
    std::string bytes(utf16ToUtf8(text.data(), text.size(), nullptr, 0), '\0');
    utf16ToUtf8(text.data(), text.size(), bytes.data(), bytes.size());
    return bytes;
}

} // namespace platform
