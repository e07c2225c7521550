#include "runtime/core/RefObject.h"

#include "runtime/core/PoolMem.h"

QUELT_DEFINE_CLASS(CQueltRefObject, CQueltObject, "CQueltRefObject")

void* CRefObject::operator new(std::size_t bytes) { return CPoolMem::instance().allocate(bytes); }

void CRefObject::operator delete(void* block) { CPoolMem::instance().free(block); }

CQueltRefObject::CQueltRefObject(const CQueltRefObject& other) : CQueltObject(other), record_(other.record_) {
    if (record_)
        record_->addRef();
}

CQueltRefObject& CQueltRefObject::operator=(const CQueltRefObject& other) {
    if (this != &other) {
        CQueltObject::operator=(other);
        // Take the new reference before dropping the old one: both may be the same record.
        if (other.record_)
            other.record_->addRef();
        adopt(other.record_);
    }
    return *this;
}

CQueltRefObject::~CQueltRefObject() { adopt(nullptr); }

void CQueltRefObject::adopt(CRefObject* record) {
    CRefObject* old = record_;
    record_ = record;
    if (old)
        old->release();
}

bool CQueltRefObject::equals(const CQueltObject& other) const {
    return sameHeader(other) && record_ == static_cast<const CQueltRefObject&>(other).record_;
}
