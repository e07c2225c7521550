#include "updater/FormBody.h"

namespace rg_quelt_app {

std::string FormBody::encodeValue(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '&' || c == '=' || c == '+' || c == '%' || c == '#') {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

FormBody& FormBody::field(std::string_view key, std::string_view value) {
    if (!text_.empty())
        text_ += '&';
    text_ += key;
    text_ += '=';
    text_ += encodeValue(value);
    return *this;
}

CQueltMem FormBody::bytes() const {
    CQueltMem body;
    body.append(text_.data(), text_.size());
    return body;
}

} // namespace rg_quelt_app
