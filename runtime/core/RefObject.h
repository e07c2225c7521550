#pragma once
// Reference counting for shared records. CRefObject is a separately allocated
// record with an atomic 64-bit count, 1 at creation; the last release destroys and
// frees it. CQueltRefObject is a runtime object holding one reference: copying it
// shares the record, destroying it releases its reference.
#include "runtime/core/QueltObject.h"

#include <atomic>
#include <cstdint>

class CRefObject {
public:
    CRefObject() = default;
    CRefObject(const CRefObject&) = delete;
    CRefObject& operator=(const CRefObject&) = delete;

    void addRef() { count_.fetch_add(1, std::memory_order_relaxed); }
    void release() {
        if (count_.fetch_sub(1, std::memory_order_acq_rel) == 1)
            destroyAndFree();
    }
    std::int64_t refCount() const { return count_.load(std::memory_order_relaxed); }

    static void* operator new(std::size_t bytes);
    static void operator delete(void* block);

protected:
    virtual ~CRefObject() = default;
    virtual void destroyAndFree() { delete this; }

private:
    std::atomic<std::int64_t> count_{1};
};

class CQueltRefObject : public CQueltObject {
    QUELT_CLASS(CQueltRefObject)

public:
    CQueltRefObject() = default;
    // Adopts the creation reference of `record`.
    explicit CQueltRefObject(CRefObject* record) : record_(record) {}
    CQueltRefObject(const CQueltRefObject& other);
    CQueltRefObject& operator=(const CQueltRefObject& other);
    ~CQueltRefObject() override;

    CRefObject* record() const { return record_; }

    bool equals(const CQueltObject& other) const override;
    void reset() override { adopt(nullptr); }
    void releaseContents() override { adopt(nullptr); }

protected:
    // Replaces the held record, adopting the caller's reference. Protected, so that
    // a class that reads its record back as one type (SharedRecordRef) decides
    // what goes in.
    void adopt(CRefObject* record);

private:
    CRefObject* record_ = nullptr;
};
