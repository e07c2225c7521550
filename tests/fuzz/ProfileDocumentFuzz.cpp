// The INI reader and writer: whatever a file holds, a key that was set reads back
// as it was set, and the file written reads back as the same text with the same
// values.
//
// Input: a control byte (bit 0: read ANSI as GBK instead of the system's code
// page; bits 1-2: how many writes), then section, key and value of each write
// as 0xFF-ended fields, then the file's bytes.
#include "runtime/platform/PrivateProfile.h"

#include "tests/fuzz/FuzzInput.h"

#include <string>
#include <vector>

namespace {

struct Write {
    std::u16string section, key, value;
};

// A line break in a value becomes a blank; everything else reads back as written.
std::u16string readBack(std::u16string value) {
    for (char16_t& c : value) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    return value;
}

struct Lookup {
    bool found;
    std::u16string value;
    bool operator==(const Lookup&) const = default;
};

Lookup lookup(const platform::ProfileDocument& document, const Write& write) {
    Lookup result{false, {}};
    result.found = document.lookup(write.section, write.key, result.value);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFields input(data, size);
    const std::uint8_t control = input.byte();
    const unsigned codePage = control & 1 ? 936 : platform::kSystemAnsiCodePage;
    std::vector<Write> writes((control >> 1) & 3);
    for (Write& write : writes) {
        write.section = std::u16string(input.text().view());
        write.key = std::u16string(input.text().view());
        write.value = std::u16string(input.text().view());
    }
    platform::ProfileDocument document = platform::ProfileDocument::fromBytes(input.rest(), codePage);
    for (const Write& write : writes) {
        if (!document.set(write.section, write.key, write.value))
            continue;
        const Lookup found = lookup(document, write);
        FUZZ_CHECK(found.found);
        FUZZ_CHECK(found.value == readBack(write.value));
    }
    const platform::ProfileDocument again =
        platform::ProfileDocument::fromBytes(document.toBytes(), codePage);
    FUZZ_CHECK(again.text() == document.text());
    for (const Write& write : writes)
        FUZZ_CHECK(lookup(again, write) == lookup(document, write));
    return 0;
}
