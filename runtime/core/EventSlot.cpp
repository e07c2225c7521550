#include "runtime/core/EventSlot.h"

CQueltEventSlotBase::~CQueltEventSlotBase() {
    if (target_)
        target_->release();
}

bool CQueltEventSlotBase::isBound() {
    platform::SpinGuard guard(lock_);
    return handler_ && target_;
}

void CQueltEventSlotBase::bindAny(AnyHandler handler, CQueltEventObjectPointer* target,
                                  std::int32_t userArgument) {
    CQueltEventObjectPointer* previous = nullptr;
    {
        platform::SpinGuard guard(lock_);
        userArgument_ = userArgument;
        if (!target) {
            handler_ = nullptr;
            previous = target_;
            target_ = nullptr;
        } else {
            handler_ = handler;
            if (target_ != target) {
                target->addRef();
                previous = target_;
                target_ = target;
            }
        }
    }
    // Released outside the lock: the last release destroys the target.
    if (previous)
        previous->release();
}

bool CQueltEventSlotBase::beginFire(Call& call) {
    {
        platform::SpinGuard guard(lock_);
        call.handler = handler_;
        call.userArgument = userArgument_;
        call.pointer = target_;
        if (call.pointer)
            call.pointer->addRef();
    }
    if (!call.pointer)
        return false;
    if (call.handler)
        call.target = call.pointer->beginCall();
    if (!call.target) {
        call.pointer->release();
        return false;
    }
    return true;
}

void CQueltEventSlotBase::endFire(Call& call) {
    call.pointer->endCall();
    call.pointer->release();
}
