#pragma once
// Class records: the run-time identity of every runtime class. A record carries the
// class's factory, its name with namespace ("rg_quelt_app::rg_PeiZhiXinXiLei"), the
// name's length, a 31-bit hash of the name and the record of its base class. One
// record exists per class, built on first use; two records with the same hash,
// length and name bytes denote the same class (for example when two modules of one
// process each built their own).
#include <cstddef>
#include <cstdint>

class CQueltObject;

struct CQueltClassRecord {
    using Factory = CQueltObject* (*)();
    using BaseRecord = const CQueltClassRecord& (*)();

    Factory factory;
    const char* name;
    std::size_t length;
    std::uint32_t hash;
    BaseRecord base; // null for the root

    // The same class: the same record, or equal hash, length and name.
    bool sameClassAs(const CQueltClassRecord& other) const;
    // This class or one of its bases is `other`.
    bool derivesFrom(const CQueltClassRecord& other) const;
};

// h = 5h + c over the name's bytes taken as signed 8-bit values, in 64-bit arithmetic;
// the result is the low 32 bits with bit 0 set and bit 31 cleared.
std::uint32_t classNameHash(const char* name, std::size_t length);

CQueltClassRecord makeClassRecord(const char* name, CQueltClassRecord::Factory factory,
                                  CQueltClassRecord::BaseRecord base);
