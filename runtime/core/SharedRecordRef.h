#pragma once
// SharedRecordRef<T>: the base of a runtime object that carries one shared record
// of type T (a CRefObject) by reference count, as CQueltRefObject does, but typed:
// only a T goes in, so get() hands back a T without a cast that a record of
// another type would pass. The derived class gives the object its runtime class
// (QUELT_CLASS) and says how its constructors take the record.
#include "runtime/core/RefObject.h"

#include <type_traits>

template <typename T>
class SharedRecordRef : public CQueltRefObject {
public:
    T* get() const {
        static_assert(std::is_base_of_v<CRefObject, T>, "a shared record is a CRefObject");
        return static_cast<T*>(record());
    }

protected:
    SharedRecordRef() = default;
    // Adopts the creation reference of `record`.
    explicit SharedRecordRef(T* record) : CQueltRefObject(record) {}

    // Replaces the held record, adopting the caller's reference.
    void adopt(T* record) { CQueltRefObject::adopt(record); }
    // Replaces the held record with `record`, taking a reference of its own.
    void share(T* record) {
        if (record)
            record->addRef();
        adopt(record);
    }
};
