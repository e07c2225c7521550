#include "runtime/core/EventSlot.h"

#include <utility>

bool CQueltEventSlotBase::isBound() {
    platform::SpinGuard guard(lock_);
    return handler_ && target_;
}

void CQueltEventSlotBase::bindAny(AnyHandler handler, CQueltEventObjectPointer* target,
                                  std::int32_t userArgument) {
    // Released outside the lock, as `previous` goes: the last release destroys the target.
    RefPtr<CQueltEventObjectPointer> previous;
    {
        platform::SpinGuard guard(lock_);
        userArgument_ = userArgument;
        if (!target) {
            handler_ = nullptr;
            previous = std::move(target_);
        } else {
            handler_ = handler;
            if (target_.get() != target) {
                previous = std::move(target_);
                target_ = RefPtr<CQueltEventObjectPointer>(target);
            }
        }
    }
}

bool CQueltEventSlotBase::beginFire(Call& call) {
    {
        platform::SpinGuard guard(lock_);
        call.handler = handler_;
        call.userArgument = userArgument_;
        call.pointer = target_;
    }
    if (!call.pointer)
        return false;
    if (call.handler)
        call.target = call.pointer->beginCall();
    if (!call.target) {
        call.pointer = RefPtr<CQueltEventObjectPointer>();
        return false;
    }
    return true;
}

void CQueltEventSlotBase::endFire(Call& call) {
    call.pointer->endCall();
    call.pointer = RefPtr<CQueltEventObjectPointer>();
}
