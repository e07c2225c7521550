// The form body on any values: decoded as a server decodes a form
// (application/x-www-form-urlencoded: fields at '&', the name before the first
// '=', "%XX" and '+' for a blank), the body gives back the same names and values
// in order.
//
// Input: 0xFF-ended values, one field each, with the names the requests use.
#include "updater/FormBody.h"

#include "tests/fuzz/FuzzInput.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// False for a '%' without two hexadecimal digits: a server would read it otherwise.
bool decodeValue(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%') {
            if (i + 2 >= text.size())
                return false;
            const int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
            if (high < 0 || low < 0)
                return false;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kNames[] = {"qq", "pwd", "type", "path", "file"};
    FuzzFields input(data, size);
    std::vector<std::pair<std::string, std::string>> fields;
    rg_quelt_app::FormBody body;
    for (std::size_t i = 0; !input.empty() && i < 16; ++i) {
        fields.emplace_back(kNames[i % 5], std::string(input.field()));
        body.field(fields.back().first, fields.back().second);
    }
    const std::string& text = body.text();
    FUZZ_CHECK(body.bytes().size() == text.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t end = text.find('&', start);
        FUZZ_CHECK((end == std::string::npos) == (i + 1 == fields.size()));
        const std::string_view field = std::string_view(text).substr(start, end - start);
        const std::size_t equals = field.find('=');
        FUZZ_CHECK(equals != std::string_view::npos);
        FUZZ_CHECK(field.substr(0, equals) == fields[i].first);
        std::string value;
        FUZZ_CHECK(decodeValue(field.substr(equals + 1), value));
        FUZZ_CHECK(value == fields[i].second);
        start = end + 1;
    }
    FUZZ_CHECK(!fields.empty() || text.empty());
    return 0;
}
