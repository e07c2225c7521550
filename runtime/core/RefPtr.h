#pragma once
// RefPtr<T>: one counted reference to a shared record (a CRefObject), typed, so that
// whoever holds it neither releases it twice nor forgets to, and never casts it
// back from an untyped record. Copies add a reference; the last one to go frees
// the record.
#include "runtime/core/RefObject.h"

#include <utility>

template <typename T>
class RefPtr {
public:
    RefPtr() = default;
    // Shares `record`: takes a reference of its own.
    explicit RefPtr(T* record) : record_(record) {
        if (record_)
            record_->addRef();
    }
    // Takes over the reference the caller holds (a record fresh from create()).
    static RefPtr adopt(T* record) {
        RefPtr ref;
        ref.record_ = record;
        return ref;
    }

    RefPtr(const RefPtr& other) : RefPtr(other.record_) {}
    RefPtr(RefPtr&& other) noexcept : record_(std::exchange(other.record_, nullptr)) {}
    RefPtr& operator=(RefPtr other) noexcept {
        std::swap(record_, other.record_);
        return *this;
    }
    ~RefPtr() {
        if (record_)
            record_->release();
    }

    T* get() const { return record_; }
    T& operator*() const { return *record_; }
    T* operator->() const { return record_; }
    explicit operator bool() const { return record_ != nullptr; }

private:
    T* record_ = nullptr;
};
