#pragma once
// Event slots: one per event, embedded in the raising object. A slot is bound to a
// handler of a receiving object's event target and fires it with the raising object
// and the event's own arguments. Binding and firing may come from different threads;
// firing after the receiver's teardown does nothing and returns 0.
//
// Copying a raising object does not copy its bindings: a copied slot is unbound.
#include "runtime/core/EventObjectPointer.h"
#include "runtime/core/RefPtr.h"
#include "runtime/platform/SpinLock.h"

#include <cstdint>

class CQueltEventSlotBase {
public:
    using AnyHandler = void (*)();

    CQueltEventSlotBase() = default;
    CQueltEventSlotBase(const CQueltEventSlotBase&) : CQueltEventSlotBase() {}
    CQueltEventSlotBase& operator=(const CQueltEventSlotBase&) { return *this; }
    ~CQueltEventSlotBase() = default;

    bool isBound();
    void unbind() { bindAny(nullptr, nullptr, 0); }

protected:
    void bindAny(AnyHandler handler, CQueltEventObjectPointer* target, std::int32_t userArgument);

    // What a firing needs, taken under the slot lock with a reference on the target.
    struct Call {
        AnyHandler handler = nullptr;
        RefPtr<CQueltEventObjectPointer> pointer;
        CQueltObject* target = nullptr;
        std::int32_t userArgument = 0;
    };
    // False when nothing is to be called; otherwise endFire() must follow.
    bool beginFire(Call& call);
    static void endFire(Call& call);

private:
    platform::SpinWord lock_{1};
    AnyHandler handler_ = nullptr;
    RefPtr<CQueltEventObjectPointer> target_;
    std::int32_t userArgument_ = 0;
};

template <typename... Args>
class CQueltEventSlot : public CQueltEventSlotBase {
public:
    using Handler = std::int32_t (*)(CQueltObject* target, CQueltObject* source, std::int32_t userArgument,
                                     Args... args);

    // A null target clears the binding.
    void bind(Handler handler, CQueltEventObjectPointer* target, std::int32_t userArgument = 0) {
        bindAny(reinterpret_cast<AnyHandler>(handler), target, userArgument);
    }

    std::int32_t fire(CQueltObject* source, Args... args) {
        Call call;
        if (!beginFire(call))
            return 0;
        struct End {
            Call& call;
            ~End() { endFire(call); }
        } end{call};
        return reinterpret_cast<Handler>(call.handler)(call.target, source, call.userArgument, args...);
    }
};
