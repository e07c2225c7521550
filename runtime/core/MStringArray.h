#pragma once
// CMStringArray: a table of UTF-16 strings on the runtime allocator. Each element is
// null or an owned, zero-terminated string of exactly its length; a null element
// reads as the empty text and storing the empty text stores null. The pointer table
// grows by the CQueltMem rule in steps of its growth unit.
#include "runtime/core/QueltMem.h"

#include <cstddef>
#include <string_view>

class CMStringArray {
public:
    static constexpr std::size_t kGrowthUnit = 256; // 32 elements

    CMStringArray() : pointers_(kGrowthUnit) {}
    CMStringArray(const CMStringArray& other);
    CMStringArray& operator=(const CMStringArray& other);
    CMStringArray(CMStringArray&& other) noexcept = default;
    CMStringArray& operator=(CMStringArray&& other) noexcept;
    ~CMStringArray() { clear(); }

    std::size_t count() const { return pointers_.size() / sizeof(char16_t*); }
    // The element's text; index in 0 .. count() - 1.
    std::u16string_view at(std::size_t index) const;
    bool isNullAt(std::size_t index) const { return elements()[index] == nullptr; }
    void append(std::u16string_view text);
    void clear();
    // Null and empty elements compare equal.
    bool operator==(const CMStringArray& other) const;

private:
    char16_t** elements() const {
        return const_cast<char16_t**>(reinterpret_cast<char16_t* const*>(pointers_.data()));
    }

    CQueltMem pointers_;
};
