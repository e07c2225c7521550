#pragma once
// CQueltEventObjectPointer: the event target of one receiving object (a form, a
// network access object, the update engine). Event slots hold counted references
// to it; it holds a plain pointer to the receiving object, cleared when that object
// is torn down.
//
// Teardown waits for handlers of this target that are running on other threads and
// makes sure none starts afterwards; a handler on the tearing-down thread itself
// (an object destroyed from inside its own handler) does not block it.
#include "runtime/core/RefObject.h"
#include "runtime/core/RefPtr.h"
#include "runtime/platform/ConditionVariable.h"
#include "runtime/platform/CriticalSection.h"

#include <cstdint>

class CQueltEventObjectPointer : public CRefObject {
public:
    // Returns a new target with one reference, which the receiving object owns.
    static CQueltEventObjectPointer* create(CQueltObject* target) {
        return new CQueltEventObjectPointer(target);
    }

    // Starts a handler call: the target object, or null when it is gone or going
    // (then no call may be made). Every non-null result is paired with endCall().
    CQueltObject* beginCall();
    void endCall();

    // Called by the receiving object before anything else in its destruction.
    // Idempotent. Releases nothing: the owner releases its reference afterwards.
    void teardown();

    CQueltObject* target();
    std::int64_t inFlight();

private:
    explicit CQueltEventObjectPointer(CQueltObject* target) : target_(target) {}

    std::int64_t inFlight_ = 0;
    platform::CriticalSection guard_;
    platform::ConditionVariable idle_;
    bool closing_ = false;
    CQueltObject* target_;
};

// The receiving side as an object embeds it: creates the target on construction and
// tears it down and releases it on destruction. Owners whose handlers use members
// call teardown() first thing in their own destructor.
class CQueltEventReceiver {
public:
    explicit CQueltEventReceiver(CQueltObject* owner)
        : pointer_(RefPtr<CQueltEventObjectPointer>::adopt(CQueltEventObjectPointer::create(owner))) {}
    ~CQueltEventReceiver() { teardown(); }
    CQueltEventReceiver(const CQueltEventReceiver&) = delete;
    CQueltEventReceiver& operator=(const CQueltEventReceiver&) = delete;

    CQueltEventObjectPointer* pointer() const { return pointer_.get(); }
    void teardown() {
        if (pointer_) {
            pointer_->teardown();
            pointer_ = RefPtr<CQueltEventObjectPointer>();
        }
    }

private:
    RefPtr<CQueltEventObjectPointer> pointer_;
};
