#pragma once
// CQueltException: the runtime's exception type, thrown by value where the
// runtime's own contract throws. The code is -1 when the exception is made from a
// message alone. Its text form is "代码: %d; 描述: %s".
#include "runtime/core/QueltMem.h"
#include "runtime/core/WString.h"

#include <cstdint>

class CQueltException : public CQueltObject {
    QUELT_CLASS(CQueltException)

public:
    CQueltException() = default;
    explicit CQueltException(const CWString& description) : description_(description) {}
    CQueltException(std::int32_t code, const CWString& description)
        : code_(code), description_(description) {}

    std::int32_t code() const { return code_; }
    const CWString& description() const { return description_; }
    CQueltMem& extra() { return extra_; }
    const CQueltMem& extra() const { return extra_; }

    bool equals(const CQueltObject& other) const override;
    void toText(CWString& out) const override;
    void reset() override;

private:
    std::int32_t code_ = -1;
    CWString description_;
    CQueltMem extra_;
};
