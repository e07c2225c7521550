#include "updater/ModuleListReader.h"

#include "runtime/data/rg_JSONJiChuLei.h"
#include "runtime/platform/CodePage.h"
#include "updater/rg_MoKuaiXinXiLei.h"

#include <json/reader.h>

#include <cstring>
#include <exception>
#include <memory>
#include <string>

namespace rg_quelt_app {

using namespace rg_QueltShiChuang_JSONCaoZuo;

namespace {

ListReading noted(ListStatus status, ReasonKind kind) { return {status, reasonOf(kind)}; }

// The bytes a text would hold: those before the first zero byte.
std::size_t textLength(const void* bytes, std::size_t length) {
    if (!bytes)
        return 0;
    const void* zero = std::memchr(bytes, 0, length);
    return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - static_cast<const char*>(bytes))
                : length;
}

// The members of one element that make an entry, found in one pass over its
// members (a look-up per key costs more than the pass); null when missing, and for
// an element that is no object.
struct Fields {
    explicit Fields(const Json::Value& element) {
        if (!element.isObject())
            return;
        const auto last = element.end();
        for (auto member = element.begin(); member != last; ++member) {
            const char* end = nullptr;
            const char* begin = member.memberName(&end);
            const std::string_view key(begin, static_cast<std::size_t>(end - begin));
            if (key == "name")
                name = &*member;
            else if (key == "path")
                path = &*member;
            else if (key == "updateTime")
                updateTime = &*member;
            else if (key == "size")
                size = &*member;
        }
    }

    const Json::Value* name = nullptr;
    const Json::Value* path = nullptr;
    const Json::Value* updateTime = nullptr;
    const Json::Value* size = nullptr;
};

// The text of a member as GetText reads it, into `scratch`; strings, the common
// case, straight from their UTF-8 bytes.
std::u16string_view textInto(const Json::Value* member, std::u16string& scratch) {
    if (!member || member->isNull())
        return {};
    if (!member->isString()) {
        scratch = rg_JSONJiChuLei::TextOf(*member).view();
        return scratch;
    }
    const char* begin = nullptr;
    const char* end = nullptr;
    member->getString(&begin, &end);
    const auto bytes = static_cast<std::size_t>(end - begin);
    // UTF-8 never takes fewer bytes than UTF-16 takes units.
    scratch.resize(bytes);
    scratch.resize(platform::utf8ToUtf16(begin, bytes, scratch.data(), bytes));
    return scratch;
}

// Delimits JSON values in the answer without building them: enough to walk the
// root object's members and the elements of "data". What it delimits is parsed,
// and so checked, afterwards; it only has to find where a value ends, as the
// parser would (strings with their escapes, nesting, the comments it allows).
class Scanner {
public:
    Scanner(std::string_view text, const std::atomic<bool>* abandon)
        : pos_(text.data()), end_(text.data() + text.size()), abandon_(abandon) {}

    const char* pos() const { return pos_; }
    bool abandoned() const { return abandon_ && abandon_->load(std::memory_order_relaxed); }

    // After blanks and comments, the next character is `c` (and is passed).
    bool take(char c) {
        skipBlanks();
        if (pos_ == end_ || *pos_ != c)
            return false;
        ++pos_;
        return true;
    }
    bool peek(char c) {
        skipBlanks();
        return pos_ != end_ && *pos_ == c;
    }
    bool atEnd() {
        skipBlanks();
        return pos_ == end_;
    }
    void skipBlanks() {
        while (pos_ != end_) {
            const char c = *pos_;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                ++pos_;
            else if (c != '/' || !skipComment())
                return;
        }
    }

    // Past the next value; false when it breaks off before its end, holds no
    // value, or the reading is abandoned.
    bool skipValue() {
        skipBlanks();
        if (pos_ == end_)
            return false;
        if (*pos_ == '"')
            return skipString();
        if (*pos_ != '{' && *pos_ != '[') {
            const char* start = pos_;
            while (pos_ != end_ && !endsScalar(*pos_))
                ++pos_;
            return pos_ != start;
        }
        std::size_t depth = 0;
        std::size_t sinceLook = 0;
        while (pos_ != end_) {
            const char c = *pos_;
            if (c == '"') {
                if (!skipString())
                    return false;
                continue;
            }
            if (c == '/') {
                if (!skipComment())
                    return false;
                continue;
            }
            ++pos_;
            if (c == '{' || c == '[')
                ++depth;
            else if ((c == '}' || c == ']') && --depth == 0)
                return true;
            // A large element ends soon all the same once the reading is abandoned.
            if (++sinceLook == kLookEvery) {
                sinceLook = 0;
                if (abandoned())
                    return false;
            }
        }
        return false;
    }

private:
    static constexpr std::size_t kLookEvery = 1 << 16;

    static bool endsScalar(char c) {
        return c == ',' || c == ']' || c == '}' || c == ':' || c == '"' || c == '[' || c == '{' || c == '/' ||
               c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }

    bool skipString() {
        for (++pos_; pos_ != end_; ++pos_) {
            if (*pos_ == '\\') {
                if (++pos_ == end_)
                    return false;
            } else if (*pos_ == '"') {
                ++pos_;
                return true;
            }
        }
        return false;
    }

    // At '/': past a "//" comment (to its line's end) or a "/* */" one.
    bool skipComment() {
        if (end_ - pos_ < 2)
            return false;
        if (pos_[1] == '/') {
            const void* newline = std::memchr(pos_, '\n', static_cast<std::size_t>(end_ - pos_));
            pos_ = newline ? static_cast<const char*>(newline) + 1 : end_;
            return true;
        }
        if (pos_[1] != '*')
            return false;
        for (const char* c = pos_ + 2; c + 1 < end_; ++c) {
            if (c[0] == '*' && c[1] == '/') {
                pos_ = c + 2;
                return true;
            }
        }
        return false;
    }

    const char* pos_;
    const char* end_;
    const std::atomic<bool>* abandon_;
};

// The elements of an array one after the other, from its '['.
class ElementWalk {
public:
    explicit ElementWalk(Scanner& scanner) : scanner_(scanner) { open_ = scanner_.take('['); }

    // The next element's text; false at the end of the array, and where it breaks off.
    bool next(std::string_view& element) {
        if (!open_)
            return false;
        if (started_ && !scanner_.take(',')) {
            closed_ = scanner_.take(']');
            open_ = false;
            return false;
        }
        // An empty array, or a comma before the end, which the parser allows.
        if (scanner_.take(']')) {
            closed_ = true;
            open_ = false;
            return false;
        }
        started_ = true;
        scanner_.skipBlanks();
        const char* start = scanner_.pos();
        if (!scanner_.skipValue()) {
            open_ = false;
            return false;
        }
        element = std::string_view(start, static_cast<std::size_t>(scanner_.pos() - start));
        return true;
    }
    // Ended at its ']'.
    bool closed() const { return closed_; }

private:
    Scanner& scanner_;
    bool open_ = false;
    bool started_ = false;
    bool closed_ = false;
};

// Parses single values of the answer with the parser's usual settings.
class ValueParser {
public:
    ValueParser() : reader_(Json::CharReaderBuilder().newCharReader()) {}
    bool parse(std::string_view text, Json::Value& value) {
        try {
            return reader_->parse(text.data(), text.data() + text.size(), &value, nullptr);
        } catch (const std::exception&) {
            return false; // nesting past the parser's stack limit
        }
    }

private:
    std::unique_ptr<Json::CharReader> reader_;
};

// The root object's members that make a list, each the text of its value (the
// last of a repeated name, as the parser keeps it); `whole` when the root ends.
struct RootMembers {
    std::string_view code;
    std::string_view message;
    std::string_view data;
    bool hasCode = false;
    bool hasMessage = false;
    bool hasData = false;
    bool whole = false;
    bool tooManyEntries = false;
};

// The UTF-8 text of a member's name, its escapes read (the common case has none).
bool nameOf(std::string_view quoted, ValueParser& parser, std::string& name) {
    const std::string_view inner = quoted.substr(1, quoted.size() - 2);
    if (inner.find('\\') == std::string_view::npos) {
        name.assign(inner);
        return true;
    }
    Json::Value value;
    if (!parser.parse(quoted, value) || !value.isString())
        return false;
    name = value.asString();
    return true;
}

// Walks the root object from its '{'. The elements of "data" are counted on the
// way, so a list of too many is refused before any of them is parsed.
RootMembers readRoot(Scanner& scanner, ValueParser& parser, std::size_t mostEntries) {
    RootMembers root;
    if (!scanner.take('{'))
        return root;
    std::string name;
    for (bool first = true;; first = false) {
        if (first && scanner.take('}'))
            break;
        if (!scanner.peek('"'))
            return root;
        const char* nameStart = scanner.pos();
        if (!scanner.skipValue() ||
            !nameOf(std::string_view(nameStart, static_cast<std::size_t>(scanner.pos() - nameStart)), parser,
                    name) ||
            !scanner.take(':'))
            return root;
        scanner.skipBlanks();
        const char* valueStart = scanner.pos();
        bool ended = false;
        if (name == "data" && scanner.peek('[')) {
            root.hasData = true;
            ElementWalk elements(scanner);
            std::string_view element;
            std::size_t count = 0;
            while (elements.next(element)) {
                if (++count > mostEntries) {
                    root.tooManyEntries = true;
                    return root;
                }
            }
            ended = elements.closed();
            // A list cut short still gives the elements before the cut.
            root.data = std::string_view(valueStart, static_cast<std::size_t>(scanner.pos() - valueStart));
        } else {
            ended = scanner.skipValue();
            const std::string_view value(valueStart, static_cast<std::size_t>(scanner.pos() - valueStart));
            if (ended && name == "code")
                root.code = value, root.hasCode = true;
            else if (ended && name == "msg")
                root.message = value, root.hasMessage = true;
            else if (ended && name == "data")
                root.data = value, root.hasData = true;
        }
        if (!ended)
            return root;
        if (scanner.take(','))
            continue;
        root.whole = scanner.take('}');
        return root;
    }
    root.whole = true;
    return root;
}

// What the row of `entry` keeps (see ListBounds).
std::size_t rowBytesOf(const ModuleEntry& entry) {
    constexpr std::size_t kNumberUnits = 2 * 11; // the ordinal and the size, written out
    return ListBounds::kRowRecordBytes + sizeof(char16_t) * (entry.name.size() + entry.path.size() +
                                                             entry.updateTime.size() + kNumberUnits);
}

} // namespace

ModuleListReader::ModuleListReader(const void* bytes, std::size_t length)
    : bytes_(static_cast<const char*>(bytes ? bytes : ""), textLength(bytes, length)) {}

ListReading ModuleListReader::read(ModuleListSink& sink, const ListBounds& bounds,
                                   const std::atomic<bool>* abandon) {
    sink.restart();
    const auto abandoned = [&] {
        sink.restart();
        return noted(ListStatus::Incomplete, ReasonKind::RequestAbandoned);
    };
    try {
        Scanner scanner(bytes_, abandon);
        ValueParser parser;
        if (!scanner.peek('{')) {
            // Whether it is JSON at all, without building it: a container or a
            // string delimited to the end, or a value the parser takes.
            const char* start = scanner.pos();
            Json::Value value;
            const bool json =
                scanner.skipValue() && scanner.atEnd() &&
                (*start == '[' || *start == '"' ||
                 parser.parse(std::string_view(start, static_cast<std::size_t>(scanner.pos() - start)),
                              value));
            return noted(ListStatus::NotUnderstood,
                         json ? ReasonKind::ListNotObject : ReasonKind::ListNotJson);
        }
        const RootMembers root = readRoot(scanner, parser, bounds.entries);
        if (scanner.abandoned())
            return abandoned();
        if (root.tooManyEntries) {
            ListReading reading = noted(ListStatus::TooManyEntries, ReasonKind::ListTooManyEntries);
            reading.reason.expected = static_cast<std::int64_t>(bounds.entries);
            return reading;
        }
        bool whole = root.whole;
        Json::Value code;
        if (root.hasCode && !parser.parse(root.code, code))
            code = Json::Value();
        const std::int32_t codeNumber = rg_JSONJiChuLei::IntegerOf(code);
        if (codeNumber != 200) {
            ListReading reading = noted(ListStatus::NotUnderstood, ReasonKind::ListCode);
            reading.reason.status = codeNumber;
            Json::Value message;
            if (root.hasMessage && parser.parse(root.message, message) && message.isString())
                reading.reason.detail = CWString::fromUtf8(message.asString());
            return reading;
        }
        if (root.hasData && !root.data.empty() && root.data.front() == '[') {
            Scanner dataScanner(root.data, abandon);
            ElementWalk elements(dataScanner);
            std::string_view text;
            Json::Value element;
            std::u16string name;
            std::u16string path;
            std::u16string time;
            std::size_t rowBytes = 0;
            std::int32_t ordinal = 0;
            while (elements.next(text)) {
                if (dataScanner.abandoned())
                    return abandoned();
                // An element the parser does not take ends the list there, as a break would.
                if (!parser.parse(text, element)) {
                    whole = false;
                    break;
                }
                const Fields fields(element);
                ModuleEntry entry;
                entry.ordinal = ++ordinal;
                entry.name = textInto(fields.name, name);
                entry.path = textInto(fields.path, path);
                entry.updateTime = textInto(fields.updateTime, time);
                entry.size = fields.size ? rg_JSONJiChuLei::IntegerOf(*fields.size) : 0;
                rowBytes += rowBytesOf(entry);
                if (rowBytes > bounds.rowBytes) {
                    sink.restart();
                    ListReading reading = noted(ListStatus::RowsTooLarge, ReasonKind::ListRowsTooLarge);
                    reading.reason.expected = static_cast<std::int64_t>(bounds.rowBytes);
                    return reading;
                }
                sink.entry(entry);
            }
            if (dataScanner.abandoned())
                return abandoned();
        }
        if (!whole)
            return noted(ListStatus::Incomplete, ReasonKind::ListBrokenOff);
        return noted(ListStatus::Ok, ReasonKind::None);
    } catch (const std::exception&) {
        // Out-of-range numbers: a failed list.
        sink.restart();
        return noted(ListStatus::NotUnderstood, ReasonKind::NumberOutOfRange);
    }
}

void ModuleRecordSink::entry(const ModuleEntry& entry) {
    auto* record = new rg_MoKuaiXinXiLei();
    records_.append(record);
    record->ordinal = entry.ordinal;
    record->name = entry.name;
    record->path = entry.path;
    record->updateTime = entry.updateTime;
    record->size = entry.size;
}

CQueltObjectArray ModuleRecordSink::take() {
    CQueltObjectArray records;
    records.swap(records_);
    return records;
}

CQueltObjectArray readModuleList(const void* bytes, std::size_t length, ListReading* reading) {
    ModuleRecordSink records;
    ModuleListReader reader(bytes, length);
    const ListReading read = reader.read(records);
    if (reading)
        *reading = read;
    return records.take();
}

} // namespace rg_quelt_app
