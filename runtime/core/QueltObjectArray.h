#pragma once
// CQueltObjectArray: an array that owns its objects. Each element was allocated by
// the runtime (new) and is destroyed and freed with the array, on reset and on
// removal. Copying the array copies every element.
#include "runtime/core/QueltMem.h"

#include <utility>

class CQueltObjectArray : public CQueltObject {
    QUELT_CLASS(CQueltObjectArray)

public:
    CQueltObjectArray() = default;
    CQueltObjectArray(const CQueltObjectArray& other);
    CQueltObjectArray& operator=(const CQueltObjectArray& other);
    ~CQueltObjectArray() override;

    std::size_t count() const { return pointers_.size() / sizeof(CQueltObject*); }
    CQueltObject* at(std::size_t index) const { return elements()[index]; }
    // Takes ownership.
    void append(CQueltObject* object);
    // Destroys every element, last first.
    void removeAll();
    void swap(CQueltObjectArray& other) { std::swap(pointers_, other.pointers_); }

    bool equals(const CQueltObject& other) const override;
    void reset() override { removeAll(); }
    void releaseContents() override { removeAll(); }

private:
    CQueltObject** elements() const {
        return const_cast<CQueltObject**>(reinterpret_cast<CQueltObject* const*>(pointers_.data()));
    }

    CQueltMem pointers_;
};
