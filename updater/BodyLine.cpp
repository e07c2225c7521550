#include "updater/BodyLine.h"

#include <cctype>
#include <string>

namespace rg_quelt_app {
namespace {

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// "text/plain; charset=utf-8" as "text/plain"; lower case, no blanks.
std::string mediaType(std::string_view contentType) {
    std::string type;
    for (char c : contentType.substr(0, contentType.find(';'))) {
        if (c != ' ' && c != '\t')
            type += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return type;
}

bool isTextType(std::string_view type) {
    // An HTML or XML page's first line is markup, not the server's words.
    return type == "text/plain" || type == "application/json" || endsWith(type, "+json");
}

// C0, DEL and C1, and a byte-order mark, which shows as nothing.
bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFEFF; }

// Decodes one UTF-8 sequence at `at`; false for an invalid or cut-off one.
bool decodeOne(std::string_view bytes, std::size_t& at, char32_t& out, bool& cutOff) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    std::size_t extra = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        out = lead;
        ++at;
        return true;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        value = lead & 0x07;
    } else {
        return false;
    }
    for (std::size_t i = 1; i <= extra; ++i) {
        if (at + i >= bytes.size()) {
            cutOff = true;
            return false;
        }
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if ((next & 0xC0) != 0x80)
            return false;
        value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are no characters.
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (value < kLeast[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    out = value;
    at += extra + 1;
    return true;
}

void appendCharacter(CWString& text, char32_t c) {
    if (c < 0x10000) {
        text += static_cast<char16_t>(c);
        return;
    }
    c -= 0x10000;
    text += static_cast<char16_t>(0xD800 + (c >> 10));
    text += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

bool isBlank(char32_t c) { return c == u' ' || c == u'\t' || c == 0x3000; }

// For an answer that does not say its type: text only if every byte given is
// UTF-8 (a cut-off character at the end aside) and none is zero.
bool looksLikeText(std::string_view bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        char32_t c = 0;
        bool cutOff = false;
        if (!decodeOne(bytes, at, c, cutOff))
            return cutOff;
        if (c == 0)
            return false;
    }
    return true;
}

} // namespace

CWString firstBodyLine(const void* data, std::size_t length, std::string_view contentType) {
    if (!data || length == 0)
        return CWString();
    const std::string_view bytes(static_cast<const char*>(data), length);
    const std::string type = mediaType(contentType);
    if (type.empty() ? !looksLikeText(bytes) : !isTextType(type))
        return CWString();

    CWString line;
    std::size_t characters = 0;
    bool pendingBlank = false; // a run of blanks as one, held back until a character follows
    std::size_t at = 0;
    while (at < bytes.size()) {
        char32_t c = 0;
        bool cutOff = false;
        if (!decodeOne(bytes, at, c, cutOff)) {
            if (cutOff)
                break; // the rest of the body was not given
            c = 0xFFFD;
            ++at;
        }
        if (c == u'\n' || c == u'\r') {
            if (characters > 0)
                break;
            continue;
        }
        if (isBlank(c)) {
            pendingBlank = characters > 0;
            continue;
        }
        if (isControl(c))
            continue;
        if (characters + (pendingBlank ? 2 : 1) > kBodyLineCharacters)
            break;
        if (pendingBlank) {
            line += u' ';
            ++characters;
            pendingBlank = false;
        }
        appendCharacter(line, c);
        ++characters;
    }
    return line;
}

CWString firstBodyLine(const void* bytes, std::size_t length, std::u16string_view contentType) {
    std::string type;
    for (char16_t unit : contentType)
        type += unit < 0x80 ? static_cast<char>(unit) : '?';
    return firstBodyLine(bytes, length, type);
}

} // namespace rg_quelt_app
