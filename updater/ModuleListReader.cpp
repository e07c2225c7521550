#include "updater/ModuleListReader.h"

#include "runtime/platform/CodePage.h"
#include "updater/rg_MoKuaiXinXiLei.h"

#include <cstring>
#include <exception>
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

} // namespace

ModuleListReader::ModuleListReader(const void* bytes, std::size_t length)
    // A broken answer keeps what was read before the error, as the parser left it.
    : whole_(document_.ParseBytes(bytes, textLength(bytes, length))) {}

ListReading ModuleListReader::read(ModuleListSink& sink) {
    sink.restart();
    try {
        const Json::Value& root = document_.jsonValue();
        if (!root.isObject())
            return noted(ListStatus::NotUnderstood,
                         whole_ ? ReasonKind::ListNotObject : ReasonKind::ListNotJson);
        const std::int32_t code = document_.GetIntegerUtf8("code");
        if (code != 200) {
            ListReading reading = noted(ListStatus::NotUnderstood, ReasonKind::ListCode);
            reading.reason.status = code;
            const Json::Value& message = root["msg"];
            if (message.isString())
                reading.reason.detail = CWString::fromUtf8(message.asString());
            return reading;
        }
        const Json::Value& data = root["data"];
        if (data.isArray()) {
            std::u16string name;
            std::u16string path;
            std::u16string time;
            // A parsed array has every index up to its last, so the elements come in
            // the order and with the ordinals of "data".
            const auto last = data.end();
            for (auto element = data.begin(); element != last; ++element) {
                const Fields fields(*element);
                ModuleEntry entry;
                entry.ordinal = static_cast<std::int32_t>(element.index() + 1);
                entry.name = textInto(fields.name, name);
                entry.path = textInto(fields.path, path);
                entry.updateTime = textInto(fields.updateTime, time);
                entry.size = fields.size ? rg_JSONJiChuLei::IntegerOf(*fields.size) : 0;
                sink.entry(entry);
            }
        }
        if (!whole_)
            return noted(ListStatus::Incomplete, ReasonKind::ListBrokenOff);
        return noted(ListStatus::Ok, ReasonKind::None);
    } catch (const std::exception&) {
        // Out-of-range numbers and member reads on a non-object root: a failed list.
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
