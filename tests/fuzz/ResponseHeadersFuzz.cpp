// The response header parser on any header lines, as libcurl delivers them (each
// line with its line break, in the ANSI code page): it picks out exactly the
// lines whose trimmed name is one of its six, and keeps the last value of each
// (every value of Set-Cookie).
#include "runtime/net/rg_WangYeFangWenXiangYingLei.h"

#include "tests/fuzz/FuzzInput.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

bool trimmedAway(char16_t c) { return c <= 0x20 || c == 0x3000; }

std::u16string_view trim(std::u16string_view text) {
    while (!text.empty() && trimmedAway(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && trimmedAway(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using rg_quelt_windows_WangLao::rg_WangYeFangWenXiangYingLei;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rg_WangYeFangWenXiangYingLei response;
    std::vector<std::u16string> cookies;
    std::u16string location, contentType, contentLength;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        const CWString text = CWString::fromAnsi(bytes.substr(start, next - start));
        response.headerLines().Append(text.view());
        start = next;

        // The list keeps zero-terminated texts: a line is what comes before its
        // first zero (libcurl refuses such a header anyway).
        const std::u16string_view line = text.view().substr(0, text.view().find(u'\0'));
        const std::size_t colon = line.find(u':');
        if (colon == std::u16string_view::npos)
            continue;
        const std::u16string_view name = trim(line.substr(0, colon));
        const std::u16string value(trim(line.substr(colon + 1)));
        if (name == u"Set-Cookie")
            cookies.push_back(value);
        else if (name == u"Location")
            location = value;
        else if (name == u"Content-Type")
            contentType = value;
        else if (name == u"Content-Length")
            contentLength = value;
    }
    response.ParseHeaderLines();
    FUZZ_CHECK(response.cookies().Count() == cookies.size());
    for (std::size_t i = 0; i < cookies.size(); ++i)
        FUZZ_CHECK(response.cookies().ViewAt(i) == cookies[i]);
    FUZZ_CHECK(response.location() == location);
    FUZZ_CHECK(response.contentType() == contentType);
    // A plain decimal length that fits reads as itself.
    if (!contentLength.empty() && contentLength.size() <= 18 &&
        contentLength.find_first_not_of(u"0123456789") == std::u16string::npos) {
        std::int64_t expected = 0;
        for (const char16_t c : contentLength)
            expected = expected * 10 + (c - u'0');
        FUZZ_CHECK(response.contentLength() == expected);
    }
    return 0;
}
