#pragma once
// What the fuzz targets share: arbitrary bytes read as several fields, and a check
// that ends the run. A failed check aborts, so libFuzzer keeps the input as a crash
// and the corpus replay in the ordinary test trees fails on it.
#include "runtime/core/WString.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

[[noreturn]] inline void fuzzCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
    std::abort();
}

#define FUZZ_CHECK(condition) ((condition) ? (void)0 : fuzzCheckFailed(#condition, __FILE__, __LINE__))

// The input taken from the front: single bytes, fields that end at a 0xFF byte
// (which never occurs in UTF-8 text, so text fields lose nothing), and the rest.
class FuzzFields {
public:
    FuzzFields(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    bool empty() const { return rest_.empty(); }
    // 0 once the input is used up.
    std::uint8_t byte() {
        if (rest_.empty())
            return 0;
        const auto value = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return value;
    }
    std::string_view field() {
        const std::size_t end = rest_.find('\xFF');
        const std::string_view taken = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return taken;
    }
    // A field decoded as UTF-8, as texts from the network or a file arrive.
    CWString text() { return CWString::fromUtf8(field()); }
    std::string_view rest() {
        const std::string_view taken = rest_;
        rest_ = {};
        return taken;
    }

private:
    std::string_view rest_;
};
