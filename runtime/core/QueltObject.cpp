#include "runtime/core/QueltObject.h"

#include "runtime/core/PoolMem.h"
#include "runtime/core/WString.h"
#include "runtime/platform/Heap.h"

const CQueltClassRecord& CQueltObject::staticClassRecord() {
    static const CQueltClassRecord record = makeClassRecord(
        "CQueltObject", []() -> CQueltObject* { return new CQueltObject(); }, nullptr);
    return record;
}

void* CQueltObject::allocate(std::size_t bytes) const { return CPoolMem::instance().allocate(bytes); }

void* CQueltObject::tryAllocate(std::size_t bytes) const { return CPoolMem::instance().tryAllocate(bytes); }

void* CQueltObject::reallocate(void* block, std::size_t bytes) const {
    return CPoolMem::instance().reallocate(block, bytes);
}

void CQueltObject::freeMemory(void* block) const { CPoolMem::instance().free(block); }

CPoolMem& CQueltObject::allocator() const { return CPoolMem::instance(); }

const CQueltClassRecord& CQueltObject::classRecord() const { return staticClassRecord(); }

bool CQueltObject::equals(const CQueltObject& other) const { return sameHeader(other); }

CQueltObject* CQueltObject::createDefault() const { return new CQueltObject(); }

CQueltObject* CQueltObject::clone() const { return new CQueltObject(*this); }

bool CQueltObject::assign(const CQueltObject& other) {
    if (!other.isInstanceOf(classRecord()))
        return false;
    *this = other;
    return true;
}

void CQueltObject::reset() {
    flags_ &= kDestroying;
    associated_ = 0;
}

void CQueltObject::destroy(unsigned deleteFlags) {
    flags_ |= kDestroying;
    void* storage = this;
    this->~CQueltObject();
    if (deleteFlags & kFreeMemory) {
        if (deleteFlags & kFreeWithGeneralHeap)
            platform::heapFree(storage);
        else
            CPoolMem::instance().free(storage);
    }
}

void CQueltObject::destroyAndFree() { destroy(kFreeMemory); }

bool CQueltObject::isInstanceOf(const CQueltClassRecord& record) const {
    return classRecord().derivesFrom(record);
}

void CQueltObject::toText(CWString& out) const {
    const CQueltClassRecord& record = classRecord();
    out = CWString::fromLatin1(record.name, record.length);
}

bool CQueltObject::save(CQueltObjectStream&) const { return true; }

bool CQueltObject::load(CQueltObjectStream&) { return true; }

void CQueltObject::releaseContents() {}

void* CQueltObject::operator new(std::size_t bytes) { return CPoolMem::instance().allocate(bytes); }

void CQueltObject::operator delete(void* block) { CPoolMem::instance().free(block); }
