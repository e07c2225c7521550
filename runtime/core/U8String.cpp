#include "runtime/core/U8String.h"

#include "runtime/core/WString.h"
#include "runtime/platform/CodePage.h"

#include <algorithm>

QUELT_DEFINE_CLASS(CU8String, CQueltObject, "CU8String")

CU8String::CU8String() = default;

CU8String::CU8String(const CWString& text) {
    const std::size_t n = platform::utf16ToUtf8(text.text(), text.length(), nullptr, 0);
    buffer_.setSize(n + 1);
    platform::utf16ToUtf8(text.text(), text.length(), reinterpret_cast<char*>(buffer_.data()), n);
    buffer_.bytes()[n] = 0;
}

CU8String::CU8String(std::string_view bytes) {
    buffer_.setSize(bytes.size() + 1);
    if (!bytes.empty())
        std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(buffer_.data()));
    buffer_.bytes()[bytes.size()] = 0;
}

bool CU8String::equals(const CQueltObject& other) const {
    return sameHeader(other) && view() == static_cast<const CU8String&>(other).view();
}
