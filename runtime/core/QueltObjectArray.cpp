#include "runtime/core/QueltObjectArray.h"

QUELT_DEFINE_CLASS(CQueltObjectArray, CQueltObject, "CQueltObjectArray")

CQueltObjectArray::CQueltObjectArray(const CQueltObjectArray& other) : CQueltObject(other) {
    for (std::size_t i = 0; i < other.count(); ++i)
        append(other.at(i)->clone());
}

CQueltObjectArray& CQueltObjectArray::operator=(const CQueltObjectArray& other) {
    if (this != &other) {
        CQueltObject::operator=(other);
        removeAll();
        for (std::size_t i = 0; i < other.count(); ++i)
            append(other.at(i)->clone());
    }
    return *this;
}

CQueltObjectArray::~CQueltObjectArray() { removeAll(); }

void CQueltObjectArray::append(CQueltObject* object) { pointers_.append(&object, sizeof object); }

void CQueltObjectArray::removeAll() {
    // Detach first: an element's destructor must not see a half-emptied array.
    CQueltMem taken(std::move(pointers_));
    auto** items = reinterpret_cast<CQueltObject**>(taken.data());
    for (std::size_t i = taken.size() / sizeof(CQueltObject*); i-- > 0;) {
        if (items[i])
            items[i]->destroyAndFree();
    }
}

bool CQueltObjectArray::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& array = static_cast<const CQueltObjectArray&>(other);
    if (count() != array.count())
        return false;
    for (std::size_t i = 0; i < count(); ++i) {
        if (!at(i)->equals(*array.at(i)))
            return false;
    }
    return true;
}
