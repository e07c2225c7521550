#include "runtime/core/WString.h"

#include "runtime/core/ObjectStream.h"
#include "runtime/core/U8String.h"
#include "runtime/platform/CodePage.h"

#include <cstring>
#include <limits>
#include <utility>

QUELT_DEFINE_CLASS(CWString, CQueltObject, "CWString")
QUELT_DEFINE_CLASS(CWConstString, CWString, "CWConstString")

namespace {

std::size_t unitLength(const char16_t* chars) { return std::char_traits<char16_t>::length(chars); }

bool isTrimmed(char16_t c) { return c <= 0x20 || c == 0x3000; }

} // namespace

CWString::CWString(const char16_t* chars) : buffer_(kGrowthUnit) {
    if (chars)
        assign(chars, unitLength(chars));
}

CWString::CWString(const char16_t* chars, std::size_t length) : buffer_(kGrowthUnit) {
    assign(chars, length);
}

CWString::CWString(std::u16string_view chars) : buffer_(kGrowthUnit) { assign(chars.data(), chars.size()); }

CWString::CWString(const CWString& other) : CQueltObject(other), buffer_(kGrowthUnit) {
    assign(other.text(), other.length());
}

CWString::CWString(CWString&& other) noexcept
    : CQueltObject(other), borrowed_(std::exchange(other.borrowed_, nullptr)),
      buffer_(std::move(other.buffer_)) {}

CWString& CWString::operator=(const CWString& other) {
    if (this != &other) {
        CQueltObject::operator=(other);
        assign(other.text(), other.length());
    }
    return *this;
}

CWString& CWString::operator=(CWString&& other) noexcept {
    if (this != &other) {
        CQueltObject::operator=(other);
        borrowed_ = std::exchange(other.borrowed_, nullptr);
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

CWString& CWString::operator=(std::u16string_view chars) {
    assign(chars.data(), chars.size());
    return *this;
}

CWString CWString::borrowed(const char16_t* literal) {
    CWString result;
    result.borrowed_ = literal ? literal : u"";
    return result;
}

const char16_t* CWString::text() const {
    if (borrowed_)
        return borrowed_;
    if (buffer_.size() != 0)
        return reinterpret_cast<const char16_t*>(buffer_.data());
    return u"";
}

std::size_t CWString::length() const {
    if (borrowed_)
        return unitLength(borrowed_);
    return buffer_.size() >= 2 ? buffer_.size() / 2 - 1 : 0;
}

bool CWString::isEmpty() const {
    if (borrowed_)
        return borrowed_[0] == 0;
    return buffer_.size() < 3;
}

void CWString::assign(const char16_t* chars, std::size_t length) {
    if (length == 0 || !chars) {
        borrowed_ = nullptr;
        buffer_.clear();
        return;
    }
    // The source may be our own text; copy through the resize safely.
    const char16_t* own = text();
    if (chars >= own && chars <= own + this->length()) {
        CWString copy(std::u16string_view(chars, length));
        *this = std::move(copy);
        return;
    }
    std::memcpy(resizeForOverwrite(length), chars, length * sizeof(char16_t));
}

char16_t* CWString::resizeForOverwrite(std::size_t length) {
    if (borrowed_) {
        // Keep the borrowed text's head when the caller only grows it.
        const std::size_t old = unitLength(borrowed_);
        const char16_t* from = borrowed_;
        borrowed_ = nullptr;
        buffer_.setSize((length + 1) * sizeof(char16_t));
        std::memcpy(buffer_.data(), from, (old < length ? old : length) * sizeof(char16_t));
    } else {
        buffer_.setSize((length + 1) * sizeof(char16_t));
    }
    auto* units = static_cast<char16_t*>(buffer_.data());
    units[length] = 0;
    return units;
}

CWString& CWString::append(std::u16string_view chars) {
    if (chars.empty())
        return *this;
    const std::size_t old = length();
    const char16_t* own = text();
    if (chars.data() >= own && chars.data() <= own + old) {
        const CWString copy(chars);
        return append(copy.view());
    }
    char16_t* units = resizeForOverwrite(old + chars.size());
    std::memcpy(units + old, chars.data(), chars.size() * sizeof(char16_t));
    return *this;
}

CWString operator+(const CWString& left, std::u16string_view right) {
    CWString result;
    char16_t* units = result.resizeForOverwrite(left.length() + right.size());
    std::memcpy(units, left.text(), left.length() * sizeof(char16_t));
    std::memcpy(units + left.length(), right.data(), right.size() * sizeof(char16_t));
    return result;
}

CWString CWString::trimmed() const {
    std::u16string_view v = view();
    std::size_t begin = 0;
    std::size_t end = v.size();
    while (begin < end && isTrimmed(v[begin]))
        ++begin;
    while (end > begin && isTrimmed(v[end - 1]))
        --end;
    return CWString(v.substr(begin, end - begin));
}

CWString CWString::fromInteger(std::int64_t value) {
    char16_t digits[24];
    std::size_t n = 0;
    // Work on the magnitude as unsigned so that the smallest value does not overflow.
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        digits[n++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        digits[n++] = u'-';
    CWString result;
    char16_t* units = result.resizeForOverwrite(n);
    for (std::size_t i = 0; i < n; ++i)
        units[i] = digits[n - 1 - i];
    return result;
}

std::int64_t CWString::toInteger() const {
    std::u16string_view v = view();
    std::size_t i = 0;
    while (i < v.size() && isTrimmed(v[i]))
        ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == u'-' || v[i] == u'+'))
        negative = v[i++] == u'-';
    unsigned base = 10;
    if (i + 1 < v.size() && v[i] == u'0' && (v[i + 1] == u'x' || v[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    const std::uint64_t limit = negative
                                    ? static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1
                                    : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::uint64_t value = 0;
    bool saturated = false;
    for (; i < v.size(); ++i) {
        unsigned digit;
        const char16_t c = v[i];
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            break;
        if (value > (limit - digit) / base) {
            saturated = true;
            value = limit;
        } else if (!saturated) {
            value = value * base + digit;
        }
    }
    if (negative)
        return value == limit ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(value);
    return static_cast<std::int64_t>(value);
}

CWString CWString::fromUtf8(const char* bytes, std::size_t length) {
    CWString result;
    if (length == 0)
        return result;
    const std::size_t units = platform::utf8ToUtf16(bytes, length, nullptr, 0);
    platform::utf8ToUtf16(bytes, length, result.resizeForOverwrite(units), units);
    return result;
}

CWString CWString::fromAnsi(const char* bytes, std::size_t length) {
    CWString result;
    if (length == 0)
        return result;
    const std::size_t units = platform::ansiToUtf16(bytes, length, nullptr, 0);
    if (units == 0)
        return result;
    const std::size_t written = platform::ansiToUtf16(bytes, length, result.resizeForOverwrite(units), units);
    if (written != units)
        result.resizeForOverwrite(written);
    return result;
}

CWString CWString::fromLatin1(const char* bytes, std::size_t length) {
    CWString result;
    if (length == 0)
        return result;
    char16_t* units = result.resizeForOverwrite(length);
    for (std::size_t i = 0; i < length; ++i)
        units[i] = static_cast<unsigned char>(bytes[i]);
    return result;
}

CU8String CWString::toUtf8() const { return CU8String(*this); }

std::string CWString::toUtf8String() const {
    const std::size_t n = platform::utf16ToUtf8(text(), length(), nullptr, 0);
    std::string out(n, '\0');
    platform::utf16ToUtf8(text(), length(), out.data(), n);
    return out;
}

std::string CWString::toAnsi() const {
    const std::size_t n = platform::utf16ToAnsi(text(), length(), nullptr, 0);
    std::string out(n, '\0');
    out.resize(platform::utf16ToAnsi(text(), length(), out.data(), n));
    return out;
}

bool CWString::equals(const CQueltObject& other) const {
    // A constant text and an owned one with the same characters are equal texts.
    if (!other.isInstanceOf(CWString::staticClassRecord()) || isNullInstance() != other.isNullInstance() ||
        associatedWord() != other.associatedWord())
        return false;
    return view() == static_cast<const CWString&>(other).view();
}

void CWString::reset() {
    CQueltObject::reset();
    releaseContents();
}

void CWString::releaseContents() {
    borrowed_ = nullptr;
    buffer_.clear();
}

bool CWString::save(CQueltObjectStream& stream) const { return stream.writeText(*this); }

bool CWString::load(CQueltObjectStream& stream) { return stream.readText(*this); }
