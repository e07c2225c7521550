#include "runtime/data/rg_JSONJiChuLei.h"

#include "runtime/data/rg_JSONDuiXiangLei.h"
#include "runtime/data/rg_JSONShuZuLei.h"

#include <json/reader.h>
#include <json/writer.h>

#include <exception>
#include <memory>
#include <string>

namespace rg_QueltShiChuang_JSONCaoZuo {

QUELT_DEFINE_CLASS(rg_JSONJiChuLei, CQueltObject, "rg_QueltShiChuang_JSONCaoZuo::rg_JSONJiChuLei")

namespace {

const Json::Value& nullValue() { return Json::Value::nullSingleton(); }

bool isPath(std::string_view key) { return key.size() >= 2 && key[0] == '/' && key[1] == '/'; }

// Optional blanks and sign, then decimal digits up to the first other character;
// 0 without digits. Values beyond 32 bits saturate, the same on every platform.
std::int32_t leadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL)
            magnitude = 2147483648LL;
    }
    if (negative)
        return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(magnitude > 2147483647LL ? 2147483647LL : magnitude);
}

const Json::Value& memberOf(const Json::Value& value, std::string_view name) {
    if (!value.isObject())
        return nullValue();
    const Json::Value* member = value.find(name.data(), name.data() + name.size());
    return member ? *member : nullValue();
}

// Element `index` of an array; on an object, the member named by the index's
// decimal text. Nothing is added to the value.
const Json::Value& elementAt(const Json::Value& value, std::int64_t index) {
    if (index < 0)
        return nullValue();
    if (value.isArray())
        return index < value.size() ? value[static_cast<Json::ArrayIndex>(index)] : nullValue();
    if (value.isObject())
        return memberOf(value, std::to_string(index));
    return nullValue();
}

// Walks a path over the value without changing it. Null when the path is malformed
// (an index segment without "]", or a negative index); a missing member or element
// gives the null value.
const Json::Value* evaluatePath(const Json::Value& root, std::string_view path) {
    const Json::Value* node = &root;
    if (path.empty())
        return node;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = path.find('.', start);
        const std::string_view segment =
            path.substr(start, dot == std::string_view::npos ? dot : dot - start);
        if (segment.find('[') != std::string_view::npos) {
            const std::size_t close = segment.find(']');
            if (close == std::string_view::npos)
                return nullptr;
            const std::int32_t index =
                leadingInteger(close > 1 ? segment.substr(1, close - 1) : std::string_view());
            if (index < 0)
                return nullptr;
            node = &elementAt(*node, index);
        } else {
            node = &memberOf(*node, segment);
        }
        if (dot == std::string_view::npos)
            return node;
        start = dot + 1;
    }
}

const Json::StreamWriterBuilder& compactWriter() {
    static const Json::StreamWriterBuilder builder = [] {
        Json::StreamWriterBuilder made;
        made["indentation"] = "";
        made["emitUTF8"] = true;
        // Collected comments would be written back, and a "//" comment on one line
        // swallows the rest of the text: the result would be broken JSON.
        made["commentStyle"] = "None";
        return made;
    }();
    return builder;
}

CWString textOf(const Json::Value& value) {
    if (value.isArray() || value.isObject())
        return CWString::fromUtf8(Json::writeString(compactWriter(), value));
    if (value.isString()) {
        const char* begin = nullptr;
        const char* end = nullptr;
        value.getString(&begin, &end);
        return CWString::fromUtf8(begin, static_cast<std::size_t>(end - begin));
    }
    return CWString::fromUtf8(value.asString());
}

std::int32_t integerOf(const Json::Value& value) {
    switch (value.type()) {
    case Json::nullValue:
    case Json::arrayValue:
    case Json::objectValue:
        return 0;
    case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        value.getString(&begin, &end);
        return leadingInteger(std::string_view(begin, static_cast<std::size_t>(end - begin)));
    }
    case Json::booleanValue:
        return value.asBool() ? 1 : 0;
    default:
        // The library's own range checks and messages.
        return value.asInt();
    }
}

} // namespace

rg_JSONJiChuLei::rg_JSONJiChuLei() = default;

rg_JSONJiChuLei::rg_JSONJiChuLei(const rg_JSONJiChuLei& other) : CQueltObject(other), value_(other.value_) {}

rg_JSONJiChuLei& rg_JSONJiChuLei::operator=(const rg_JSONJiChuLei& other) {
    if (this != &other) {
        CQueltObject::operator=(other);
        value_ = other.value_;
    }
    return *this;
}

rg_JSONJiChuLei::~rg_JSONJiChuLei() = default;

bool rg_JSONJiChuLei::ParseText(const CWString& document) {
    const std::string bytes = document.toUtf8String();
    return ParseBytes(bytes.data(), bytes.size());
}

bool rg_JSONJiChuLei::ParseBytes(const void* utf8, std::size_t length) {
    if (!utf8 && length)
        return false;
    static const Json::CharReaderBuilder builder;
    const char* begin = utf8 ? static_cast<const char*>(utf8) : "";
    try {
        const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        return reader->parse(begin, begin + length, &value_, nullptr);
    } catch (const std::exception&) {
        // The reader throws when the nesting passes its stack limit.
        return false;
    }
}

CWString rg_JSONJiChuLei::GetText(const CWString& key) {
    const std::string name = key.toUtf8String();
    if (isPath(name)) {
        const Json::Value* found = evaluatePath(value_, std::string_view(name).substr(2));
        return found ? textOf(*found) : CWString();
    }
    if (value_.isArray())
        return textOf(elementAt(value_, leadingInteger(name)));
    return textOf(value_[name]);
}

std::int32_t rg_JSONJiChuLei::GetInteger(const CWString& key) { return GetIntegerUtf8(key.toUtf8String()); }

std::int32_t rg_JSONJiChuLei::GetIntegerUtf8(std::string_view key) {
    if (isPath(key)) {
        const Json::Value* found = evaluatePath(value_, key.substr(2));
        return found ? integerOf(*found) : 0;
    }
    if (value_.isArray()) {
        const std::int32_t index = leadingInteger(key);
        return index < 0 ? 0 : integerOf(value_[static_cast<Json::ArrayIndex>(index)]);
    }
    return integerOf(value_[std::string(key)]);
}

void rg_JSONJiChuLei::GetArray(const CWString& key, rg_JSONShuZuLei& target) const {
    if (target.isNullInstance())
        return;
    rg_JSONJiChuLei& receiver = target;
    const std::string name = key.toUtf8String();
    if (isPath(name)) {
        if (const Json::Value* found = evaluatePath(value_, std::string_view(name).substr(2)))
            receiver.value_ = *found;
        return;
    }
    const Json::Value& found =
        value_.isArray() ? elementAt(value_, leadingInteger(name)) : memberOf(value_, name);
    if (found.isArray())
        receiver.value_ = found;
}

std::uint32_t rg_JSONJiChuLei::ElementCount() const { return value_.size(); }

void rg_JSONJiChuLei::ElementAt(std::uint32_t index, rg_JSONDuiXiangLei& target) const {
    if (target.isNullInstance() || index >= value_.size())
        return;
    const Json::Value& element = elementAt(value_, index);
    if (element.isObject()) {
        rg_JSONJiChuLei& receiver = target;
        receiver.value_ = element;
    }
}

bool rg_JSONJiChuLei::equals(const CQueltObject& other) const {
    return sameHeader(other) && value_ == static_cast<const rg_JSONJiChuLei&>(other).value_;
}

void rg_JSONJiChuLei::toText(CWString& out) const { out = textOf(value_); }

CWString rg_JSONJiChuLei::TextOf(const Json::Value& value) { return textOf(value); }

std::int32_t rg_JSONJiChuLei::IntegerOf(const Json::Value& value) { return integerOf(value); }

} // namespace rg_QueltShiChuang_JSONCaoZuo
