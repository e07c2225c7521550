#include "runtime/core/ClassRecord.h"

#include <cstring>

std::uint32_t classNameHash(const char* name, std::size_t length) {
    std::uint64_t h = 0;
    for (std::size_t i = 0; i < length; ++i)
        h = 5 * h + static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<signed char>(name[i])));
    return (static_cast<std::uint32_t>(h) | 1u) & 0x7FFFFFFFu;
}

CQueltClassRecord makeClassRecord(const char* name, CQueltClassRecord::Factory factory,
                                  CQueltClassRecord::BaseRecord base) {
    const std::size_t length = std::strlen(name);
    return CQueltClassRecord{factory, name, length, classNameHash(name, length), base};
}

bool CQueltClassRecord::sameClassAs(const CQueltClassRecord& other) const {
    if (this == &other)
        return true;
    return hash == other.hash && length == other.length && std::strncmp(name, other.name, length) == 0;
}

bool CQueltClassRecord::derivesFrom(const CQueltClassRecord& other) const {
    for (const CQueltClassRecord* record = this; record; record = record->base ? &record->base() : nullptr) {
        if (record->sameClassAs(other))
            return true;
    }
    return false;
}
