#pragma once
// rg_JSONJiChuLei: one JSON document or value (jsoncpp's Json::Value), read with
// UTF-16 keys and giving UTF-16 text. A new object holds null; copying copies the
// value. Not for sharing between threads.
//
// Keys of GetText, GetInteger, GetIntegerUtf8 and GetArray take three forms:
//   "//" + path   a path from this value: members and "[n]" indices separated by
//                 "."; it never changes the document;
//   on an array   a decimal index ("2"); a negative one names no element;
//   otherwise     a member name.
//
// What the reads may throw (Json::LogicError, a std::exception): GetText and
// GetInteger with a member name on a string, number or boolean value ("member
// access requires an object"), and GetInteger / GetIntegerUtf8 when the number found
// does not fit in 32 bits ("LargestInt out of Int range", "LargestUInt out of Int
// range", "double out of Int range"). A caller that reads untrusted documents
// catches std::exception around them. ParseText, ParseBytes, GetArray, ElementCount
// and ElementAt never throw for bad input.
//
// GetText and GetInteger with a member name add a missing member to the document
// as null (a null value becomes an object for that); GetInteger with an index past
// the end of an array grows it with nulls. Paths, GetArray and ElementAt only read.
#include "runtime/core/QueltObject.h"
#include "runtime/core/WString.h"
#include "runtime/platform/CriticalSection.h"

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rg_QueltShiChuang_JSONCaoZuo {

class rg_JSONShuZuLei;
class rg_JSONDuiXiangLei;

class rg_JSONJiChuLei : public CQueltObject {
    QUELT_CLASS(rg_JSONJiChuLei)

public:
    rg_JSONJiChuLei();
    rg_JSONJiChuLei(const rg_JSONJiChuLei& other);
    rg_JSONJiChuLei& operator=(const rg_JSONJiChuLei& other);
    ~rg_JSONJiChuLei() override;

    // True when the document parsed; the value then holds it. On false the value
    // holds whatever the reader had built (nesting deeper than the reader's limit of
    // 1000 levels is such a failure). Comments, trailing commas, a byte-order mark
    // and text after the root are accepted.
    bool ParseText(const CWString& document);
    bool ParseBytes(const void* utf8, std::size_t length);

    // An array or object gives its compact JSON text; null the empty text; other
    // values their plain text form ("200", "true", the string itself).
    CWString GetText(const CWString& key);
    // Numbers within 32 bits, strings by their leading decimal integer ("12abc" 12,
    // "abc" 0), booleans 1 or 0; null, arrays, objects and missing values 0.
    std::int32_t GetInteger(const CWString& key);
    std::int32_t GetIntegerUtf8(std::string_view key);
    // The target receives a copy of the array found; with a path, of whatever the
    // path finds. Otherwise it keeps its value.
    void GetArray(const CWString& key, rg_JSONShuZuLei& target) const;

    // Elements of an array, members of an object, 0 for anything else.
    std::uint32_t ElementCount() const;
    // The target receives a copy of element `index` when that is an object;
    // otherwise it keeps its value.
    void ElementAt(std::uint32_t index, rg_JSONDuiXiangLei& target) const;

    const Json::Value& jsonValue() const { return value_; }

    // What GetText and GetInteger make of a value once found, for a reader that
    // walks a document itself; TextOf never throws, IntegerOf as GetInteger does.
    static CWString TextOf(const Json::Value& value);
    static std::int32_t IntegerOf(const Json::Value& value);

    bool equals(const CQueltObject& other) const override;
    void reset() override { value_ = Json::Value(); }
    void releaseContents() override { value_ = Json::Value(); }
    void toText(CWString& out) const override;

private:
    // Kept for guarding the value; no operation takes it, as the objects are not
    // shared between threads.
    platform::CriticalSection valueLock_;
    Json::Value value_;
};

} // namespace rg_QueltShiChuang_JSONCaoZuo
