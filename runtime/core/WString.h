#pragma once
// CWString: UTF-16 text. A text either borrows a constant (a literal, which must
// outlive every use: see CWConstString) or owns its characters in a buffer that
// holds them with a terminating zero. Assigning always makes an owned copy.
// text() never returns null; the empty text is "".
#include "runtime/core/QueltMem.h"
#include "runtime/core/QueltObject.h"

#include <cstdint>
#include <string>
#include <string_view>

class CU8String;

class CWString : public CQueltObject {
    QUELT_CLASS(CWString)

public:
    static constexpr std::size_t kGrowthUnit = 254;

    CWString() : buffer_(kGrowthUnit) {}
    CWString(const char16_t* chars);
    CWString(const char16_t* chars, std::size_t length);
    CWString(std::u16string_view chars);
    CWString(const CWString& other);
    CWString(CWString&& other) noexcept;
    CWString& operator=(const CWString& other);
    CWString& operator=(CWString&& other) noexcept;
    CWString& operator=(std::u16string_view chars);
    CWString& operator=(const char16_t* chars) { return *this = std::u16string_view(chars ? chars : u""); }
    ~CWString() override = default;

    // A text that borrows `literal` without copying; the literal must stay valid.
    static CWString borrowed(const char16_t* literal);

    const char16_t* text() const;
    std::size_t length() const;
    bool isEmpty() const;
    bool isBorrowed() const { return borrowed_ != nullptr; }
    std::u16string_view view() const { return {text(), length()}; }
    operator std::u16string_view() const { return view(); }
    char16_t operator[](std::size_t index) const { return text()[index]; }

    void assign(const char16_t* chars, std::size_t length);
    // Makes the text `length` units long and owned, and returns its units for the
    // caller to fill (contents unspecified; the terminator is in place).
    char16_t* resizeForOverwrite(std::size_t length);

    CWString& append(std::u16string_view chars);
    CWString& operator+=(std::u16string_view chars) { return append(chars); }
    CWString& operator+=(char16_t unit) { return append(std::u16string_view(&unit, 1)); }

    bool operator==(std::u16string_view other) const { return view() == other; }

    // Without leading and trailing characters up to U+0020 and U+3000.
    CWString trimmed() const;
    void trim() { *this = trimmed(); }

    static CWString fromInteger(std::int64_t value);
    // Decimal, or hexadecimal after "0x"/"0X"; leading blanks and a sign allowed;
    // reading stops at the first character that is not a digit; 0 when there is none.
    // Values beyond 64 bits saturate.
    std::int64_t toInteger() const;

    static CWString fromUtf8(const char* bytes, std::size_t length);
    static CWString fromUtf8(std::string_view bytes) { return fromUtf8(bytes.data(), bytes.size()); }
    static CWString fromAnsi(const char* bytes, std::size_t length);
    static CWString fromAnsi(std::string_view bytes) { return fromAnsi(bytes.data(), bytes.size()); }
    // Bytes taken as code points U+0000..U+00FF (class names, ASCII protocol text).
    static CWString fromLatin1(const char* bytes, std::size_t length);

    CU8String toUtf8() const;
    std::string toUtf8String() const;
    // In the system ANSI code page.
    std::string toAnsi() const;

    bool equals(const CQueltObject& other) const override;
    void reset() override;
    void releaseContents() override;
    void toText(CWString& out) const override { out = *this; }
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;

private:
    const char16_t* borrowed_ = nullptr;
    CQueltMem buffer_;
};

CWString operator+(const CWString& left, std::u16string_view right);

// CWConstString: a text over a constant, typically a literal. It answers the class
// test for itself and for CWString.
class CWConstString : public CWString {
    QUELT_CLASS(CWConstString)

public:
    CWConstString() = default;
    explicit CWConstString(const char16_t* literal) : CWString(CWString::borrowed(literal)) {}
};
