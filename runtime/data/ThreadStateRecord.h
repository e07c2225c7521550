#pragma once
// ThreadStateRecord: the state that every copy of one rg_XianChengZhuangTaiLei
// shares, the starter's and the running job's alike. It lives as long as any copy
// holds it; whichever side drops the last reference frees it, and with it the
// objects left in the parameter slots.
//
// idleEvent is signalled while no job of this record runs. stopEvent is reset at
// every start; nothing sets it or waits on it. slotLock guards the slots only and is
// never held while a job runs or while an object is destroyed.
#include "runtime/core/QueltObject.h"
#include "runtime/core/RefObject.h"
#include "runtime/platform/CriticalSection.h"
#include "runtime/platform/Event.h"

namespace rg_quelt_base {

class ThreadStateRecord : public CRefObject {
public:
    static constexpr int kSlotCount = 3;

    ThreadStateRecord();

    // False when an event could not be created; such a record never starts a job.
    bool usable() const { return stopEvent.valid() && idleEvent.valid(); }

    platform::Event stopEvent{true, false};
    platform::Event idleEvent{true, true};
    platform::CriticalSection slotLock;
    // Each occupant is owned by the record: made with clone(), freed with
    // destroyAndFree().
    CQueltObject* slots[kSlotCount] = {};

protected:
    ~ThreadStateRecord() override;
};

} // namespace rg_quelt_base
