#include "runtime/platform/PrivateProfile.h"

#include "runtime/platform/CodePage.h"
#include "runtime/platform/FileSystem.h"

namespace platform {
namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r'; }

std::u16string_view trimBlanks(std::u16string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isQuote(char16_t c) { return c == u'"' || c == u'\''; }

bool enclosedInQuotes(std::u16string_view text) {
    return text.size() >= 2 && isQuote(text.front()) && text.back() == text.front();
}

// Simple case folding for the letters that have case in the scripts a user of this
// system is likely to type: ASCII, Latin-1, Greek, Cyrillic and full-width Latin.
char16_t foldCase(char16_t c) {
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    if (c >= 0xFF21 && c <= 0xFF3A)
        return static_cast<char16_t>(c + 0x20);
    return c;
}

bool sameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldCase(a[i]) != foldCase(b[i]))
            return false;
    }
    return true;
}

enum class LineKind { blank, comment, section, key };

struct ParsedLine {
    LineKind kind;
    std::u16string_view name;  // section or key name, trimmed
    std::u16string_view value; // raw value of a key line, trimmed; empty without '='
    std::size_t valueOffset;   // where the value may be rewritten, from the line's start
};

ParsedLine parseLine(std::u16string_view line) {
    const std::u16string_view content = trimBlanks(line);
    if (content.empty())
        return {LineKind::blank, {}, {}, 0};
    if (content.front() == u';')
        return {LineKind::comment, {}, {}, 0};
    if (content.front() == u'[') {
        std::u16string_view name = content.substr(1);
        const std::size_t close = name.find(u']');
        if (close != std::u16string_view::npos)
            name = name.substr(0, close);
        return {LineKind::section, trimBlanks(name), {}, 0};
    }
    const std::size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos)
        return {LineKind::key, content, {}, line.size()};
    // Keep the blanks after '=' when the value is rewritten: they are the file's style.
    std::size_t valueStart = equals + 1;
    while (valueStart < line.size() && (line[valueStart] == u' ' || line[valueStart] == u'\t'))
        ++valueStart;
    return {LineKind::key, trimBlanks(line.substr(0, equals)), trimBlanks(line.substr(equals + 1)),
            valueStart};
}

std::u16string unquoted(std::u16string_view value) {
    if (enclosedInQuotes(value))
        value = value.substr(1, value.size() - 2);
    return std::u16string(value);
}

// The value as it must stand in the file to read back unchanged.
std::u16string storedValue(std::u16string_view value) {
    std::u16string out(value);
    for (char16_t& c : out) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    if (!out.empty() && (isBlank(out.front()) || isBlank(out.back()) || enclosedInQuotes(out)))
        out = u'"' + out + u'"';
    return out;
}

bool usableSection(std::u16string_view name) {
    return !name.empty() && trimBlanks(name).size() == name.size() &&
           name.find_first_of(u"\r\n]") == std::u16string_view::npos;
}

bool usableKey(std::u16string_view name) {
    return !name.empty() && trimBlanks(name).size() == name.size() &&
           name.find_first_of(u"\r\n=") == std::u16string_view::npos && name.front() != u'[' &&
           name.front() != u';';
}

std::u16string decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        out[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return out;
}

std::string encodeUtf16(std::u16string_view text, bool bigEndian) {
    std::string out;
    out.reserve(2 + 2 * text.size());
    out += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : text) {
        const char high = static_cast<char>(c >> 8);
        const char low = static_cast<char>(c & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

} // namespace

ProfileDocument ProfileDocument::fromBytes(std::string_view bytes, unsigned ansiCodePage) {
    ProfileDocument document;
    if (bytes.starts_with("\xFF\xFE")) {
        document.encoding_ = ProfileEncoding::utf16le;
        document.text_ = decodeUtf16(bytes.substr(2), false);
    } else if (bytes.starts_with("\xFE\xFF")) {
        document.encoding_ = ProfileEncoding::utf16be;
        document.text_ = decodeUtf16(bytes.substr(2), true);
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        document.encoding_ = ProfileEncoding::utf8Bom;
        document.text_ = utf8ToUtf16String(bytes.substr(3));
    } else {
        bool ascii = true;
        for (const char c : bytes) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                ascii = false;
                break;
            }
        }
        document.text_ = utf8ToUtf16String(bytes);
        if (ascii) {
            document.encoding_ = ProfileEncoding::ascii;
        } else if (utf16ToUtf8String(document.text_) == bytes) {
            // Decoding is exact only for valid UTF-8: anything else came back changed.
            document.encoding_ = ProfileEncoding::utf8;
        } else {
            document.encoding_ = ProfileEncoding::ansi;
            document.text_ = decodeCodePage(bytes, ansiCodePage);
        }
    }
    return document;
}

std::vector<ProfileDocument::Line> ProfileDocument::lines() const {
    std::vector<Line> result;
    std::size_t start = 0;
    while (start < text_.size()) {
        std::size_t end = text_.find(u'\n', start);
        const std::size_t next = end == std::u16string::npos ? text_.size() : end + 1;
        if (end == std::u16string::npos)
            end = text_.size();
        if (end > start && text_[end - 1] == u'\r' && end < text_.size())
            --end;
        result.push_back({start, end, next});
        start = next;
    }
    return result;
}

std::u16string_view ProfileDocument::newline() const {
    const std::size_t first = text_.find(u'\n');
    if (first == std::u16string::npos)
        return nativeProfileNewline();
    return first > 0 && text_[first - 1] == u'\r' ? u"\r\n" : u"\n";
}

bool ProfileDocument::lookup(std::u16string_view section, std::u16string_view key,
                             std::u16string& value) const {
    bool inSection = false;
    for (const Line& line : lines()) {
        const ParsedLine parsed =
            parseLine(std::u16string_view(text_).substr(line.start, line.end - line.start));
        if (parsed.kind == LineKind::section) {
            // Only the first section of that name counts.
            if (inSection)
                return false;
            inSection = sameName(parsed.name, section);
        } else if (inSection && parsed.kind == LineKind::key && sameName(parsed.name, key)) {
            value = unquoted(parsed.value);
            return true;
        }
    }
    return false;
}

bool ProfileDocument::set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    if (!usableSection(section) || !usableKey(key))
        return false;
    const std::u16string stored = storedValue(value);
    const std::u16string eol(newline());
    const std::vector<Line> all = lines();

    std::size_t header = all.size();
    std::size_t lastKey = all.size(); // the header or the section's last key line
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Line& line = all[i];
        const std::u16string_view view = std::u16string_view(text_).substr(line.start, line.end - line.start);
        const ParsedLine parsed = parseLine(view);
        if (header == all.size()) {
            if (parsed.kind == LineKind::section && sameName(parsed.name, section))
                header = lastKey = i;
            continue;
        }
        if (parsed.kind == LineKind::section)
            break;
        if (parsed.kind == LineKind::key && sameName(parsed.name, key)) {
            // Replace only the value; a line without '=' gets one.
            std::u16string replacement(view.substr(0, parsed.valueOffset));
            if (parsed.valueOffset == view.size() && view.find(u'=') == std::u16string_view::npos)
                replacement = std::u16string(parsed.name) + u'=';
            replacement += stored;
            text_.replace(line.start, line.end - line.start, replacement);
            return true;
        }
        if (parsed.kind == LineKind::key)
            lastKey = i;
    }

    const std::u16string keyLine = std::u16string(key) + u'=' + stored + eol;
    if (header == all.size()) {
        if (!text_.empty() && text_.back() != u'\n')
            text_ += eol;
        text_ += u'[' + std::u16string(section) + u']' + eol + keyLine;
        return true;
    }
    // After the section's last key, so blank lines and a comment that lead to the
    // next section stay with it.
    const Line& after = all[lastKey];
    if (after.next == text_.size() && (text_.empty() || text_.back() != u'\n')) {
        text_ += eol + keyLine;
    } else {
        text_.insert(after.next, keyLine);
    }
    return true;
}

std::string ProfileDocument::toBytes() const {
    ProfileEncoding target = encoding_;
    if (target == ProfileEncoding::ascii || target == ProfileEncoding::ansi)
        target = nativeProfileEncoding();
    switch (target) {
    case ProfileEncoding::utf16le:
        return encodeUtf16(text_, false);
    case ProfileEncoding::utf16be:
        return encodeUtf16(text_, true);
    case ProfileEncoding::utf8Bom:
        return "\xEF\xBB\xBF" + utf16ToUtf8String(text_);
    default:
        return utf16ToUtf8String(text_);
    }
}

std::u16string getPrivateProfileString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue, std::size_t bufferSize,
                                       std::u16string_view fileName, unsigned ansiCodePage) {
    if (bufferSize == 0)
        return {};
    std::u16string value;
    std::string bytes;
    if (section.empty() || key.empty() || readWholeFile(fileName, bytes) != ReadFileResult::ok ||
        !ProfileDocument::fromBytes(bytes, ansiCodePage).lookup(section, key, value))
        value = defaultValue;
    if (value.size() > bufferSize - 1)
        value.resize(bufferSize - 1);
    return value;
}

bool writePrivateProfileString(std::u16string_view section, std::u16string_view key,
                               std::u16string_view value, std::u16string_view fileName,
                               unsigned ansiCodePage) {
    const ProfileEntry entry{section, key, value};
    return writePrivateProfileStrings(&entry, 1, fileName, ansiCodePage);
}

bool writePrivateProfileStrings(const ProfileEntry* entries, std::size_t count, std::u16string_view fileName,
                                unsigned ansiCodePage) {
    std::string bytes;
    const ReadFileResult read = readWholeFile(fileName, bytes);
    // An unreadable file is never replaced by one that knows only these keys.
    if (read == ReadFileResult::failed)
        return false;
    ProfileDocument document =
        read == ReadFileResult::ok ? ProfileDocument::fromBytes(bytes, ansiCodePage) : ProfileDocument();
    bool all = true;
    bool changed = false;
    for (std::size_t i = 0; i < count; ++i) {
        const bool set = document.set(entries[i].section, entries[i].key, entries[i].value);
        all = all && set;
        changed = changed || set;
    }
    if (!changed)
        return false;
    const std::string out = document.toBytes();
    return replaceFileContents(fileName, out.data(), out.size()) && all;
}

} // namespace platform
