#include "runtime/core/QueltException.h"

QUELT_DEFINE_CLASS(CQueltException, CQueltObject, "CQueltException")

bool CQueltException::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& e = static_cast<const CQueltException&>(other);
    return code_ == e.code_ && description_ == e.description_ && extra_.equals(e.extra_);
}

void CQueltException::toText(CWString& out) const {
    out = CWString(u"代码: ") + CWString::fromInteger(code_) + u"; 描述: " + description_;
}

void CQueltException::reset() {
    CQueltObject::reset();
    code_ = -1;
    description_.reset();
    extra_.reset();
}
