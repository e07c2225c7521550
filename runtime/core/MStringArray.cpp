#include "runtime/core/MStringArray.h"

#include "runtime/core/PoolMem.h"

#include <cstring>
#include <utility>

namespace {

char16_t* copyText(std::u16string_view text) {
    if (text.empty())
        return nullptr;
    auto* copy = static_cast<char16_t*>(CPoolMem::instance().allocate((text.size() + 1) * sizeof(char16_t)));
    std::memcpy(copy, text.data(), text.size() * sizeof(char16_t));
    copy[text.size()] = 0;
    return copy;
}

} // namespace

CMStringArray::CMStringArray(const CMStringArray& other) : pointers_(kGrowthUnit) {
    for (std::size_t i = 0; i < other.count(); ++i)
        append(other.at(i));
}

CMStringArray& CMStringArray::operator=(const CMStringArray& other) {
    if (this != &other) {
        // Copy first: `other` may share nothing with us, but a failure-free order
        // keeps this array intact until the copy exists.
        CMStringArray copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CMStringArray& CMStringArray::operator=(CMStringArray&& other) noexcept {
    if (this != &other) {
        clear();
        pointers_ = std::move(other.pointers_);
    }
    return *this;
}

std::u16string_view CMStringArray::at(std::size_t index) const {
    const char16_t* element = elements()[index];
    return element ? std::u16string_view(element) : std::u16string_view();
}

void CMStringArray::append(std::u16string_view text) {
    char16_t* element = copyText(text);
    pointers_.append(&element, sizeof element);
}

void CMStringArray::clear() {
    char16_t** items = elements();
    for (std::size_t i = 0; i < count(); ++i)
        CPoolMem::instance().free(items[i]);
    pointers_.clear();
}

bool CMStringArray::operator==(const CMStringArray& other) const {
    if (count() != other.count())
        return false;
    for (std::size_t i = 0; i < count(); ++i) {
        if (at(i) != other.at(i))
            return false;
    }
    return true;
}
