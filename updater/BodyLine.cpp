#include "updater/BodyLine.h"

#include "runtime/platform/CodePage.h"

#include <algorithm>
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
bool isControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFEFF; }

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000; }

bool isSurrogatePair(const std::u16string& text, std::size_t i) {
    return text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
           text[i + 1] <= 0xDFFF;
}

// The length of `bytes` without a character cut off at its end: the rest of the
// body was not given.
std::size_t wholeLength(std::string_view bytes) {
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, bytes.size()); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: its lead comes before
        const std::size_t needs = byte >= 0xF0 && byte <= 0xF4   ? 4
                                  : byte >= 0xE0 && byte <= 0xEF ? 3
                                  : byte >= 0xC2 && byte <= 0xDF ? 2
                                                                 : 1;
        return needs > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

} // namespace

CWString firstBodyLine(const void* data, std::size_t length, std::string_view contentType) {
    if (!data || length == 0)
        return CWString();
    const std::string_view bytes(static_cast<const char*>(data), length);
    const std::string type = mediaType(contentType);
    if (!type.empty() && !isTextType(type))
        return CWString();

    // Broken sequences read as U+FFFD; for an answer without a type that means it
    // is not text, and only valid UTF-8 comes back as it went in.
    const std::string_view whole = bytes.substr(0, wholeLength(bytes));
    const std::u16string text = platform::utf8ToUtf16String(whole);
    if (type.empty() &&
        (whole.find('\0') != std::string_view::npos || platform::utf16ToUtf8String(text) != whole))
        return CWString();

    CWString line;
    std::size_t characters = 0;
    bool pendingBlank = false; // a run of blanks as one, held back until a character follows
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
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
        line += c;
        if (isSurrogatePair(text, i))
            line += text[++i];
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
