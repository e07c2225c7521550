#pragma once
// Request bodies of the form "key=value&key=value". Values are percent-encoded
// where they would otherwise change the body's structure or its meaning once the
// server decodes it ('&', '=', '+', '%', '#' and control characters); every other
// byte, letters and digits of any script among them, goes as it is. Values are
// encoded in the body's own encoding (ANSI for the list request, UTF-8 for
// downloads).
#include "runtime/core/QueltMem.h"

#include <string>
#include <string_view>

namespace rg_quelt_app {

class FormBody {
public:
    // Appends "&" (except before the first field), the key, "=" and the encoded value.
    FormBody& field(std::string_view key, std::string_view value);

    const std::string& text() const { return text_; }
    CQueltMem bytes() const;

    static std::string encodeValue(std::string_view value);

private:
    std::string text_;
};

} // namespace rg_quelt_app
