#pragma once
// CU8String: UTF-8 text in an owned buffer, always NUL-terminated, for the edges
// where the system speaks UTF-8 (JSON, escaped names, download request bodies).
#include "runtime/core/QueltMem.h"

#include <string_view>

class CWString;

class CU8String : public CQueltObject {
    QUELT_CLASS(CU8String)

public:
    CU8String();
    explicit CU8String(const CWString& text);
    explicit CU8String(std::string_view bytes);

    const char* c_str() const { return buffer_.size() ? reinterpret_cast<const char*>(buffer_.data()) : ""; }
    std::size_t length() const { return buffer_.size() ? buffer_.size() - 1 : 0; }
    std::string_view view() const { return {c_str(), length()}; }

    bool equals(const CQueltObject& other) const override;
    void reset() override { buffer_.clear(); }
    void releaseContents() override { buffer_.clear(); }

private:
    CQueltMem buffer_;
};
