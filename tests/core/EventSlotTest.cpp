#include "runtime/core/EventSlot.h"
#include "runtime/core/RefPtr.h"
#include "runtime/core/WString.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// A receiving object as the runtime's receivers are built: it owns its event
// target and tears it down first thing on destruction.
class Receiver : public CQueltObject {
public:
    Receiver() : receiver_(this) {}
    ~Receiver() override {
        receiver_.teardown();
        alive.store(false);
    }

    CQueltEventObjectPointer* target() const { return receiver_.pointer(); }

    static std::int32_t onValue(CQueltObject* target, CQueltObject* source, std::int32_t user, int value) {
        auto* self = static_cast<Receiver*>(target);
        self->lastSource = source;
        self->lastUser = user;
        self->sum += value;
        return value * 2;
    }

    std::atomic<bool> alive{true};
    std::atomic<int> lateCalls{0};
    CQueltObject* lastSource = nullptr;
    std::int32_t lastUser = -1;
    int sum = 0;

private:
    CQueltEventReceiver receiver_;
};

TEST(EventSlot, UnboundSlotDoesNothing) {
    CQueltEventSlot<int> slot;
    EXPECT_FALSE(slot.isBound());
    EXPECT_EQ(slot.fire(nullptr, 5), 0);
}

TEST(EventSlot, FiresTheBoundHandlerWithItsArguments) {
    Receiver receiver;
    CWString source(u"button");
    CQueltEventSlot<int> slot;
    slot.bind(&Receiver::onValue, receiver.target(), 3);
    EXPECT_TRUE(slot.isBound());
    EXPECT_EQ(slot.fire(&source, 21), 42);
    EXPECT_EQ(receiver.lastSource, &source);
    EXPECT_EQ(receiver.lastUser, 3);
    EXPECT_EQ(receiver.sum, 21);
}

TEST(EventSlot, BindingCountsReferencesOnTheTarget) {
    Receiver receiver;
    CQueltEventObjectPointer* target = receiver.target();
    EXPECT_EQ(target->refCount(), 1);
    {
        CQueltEventSlot<int> a;
        CQueltEventSlot<int> b;
        a.bind(&Receiver::onValue, target);
        a.bind(&Receiver::onValue, target); // the same target is not counted twice
        b.bind(&Receiver::onValue, target);
        EXPECT_EQ(target->refCount(), 3);
        a.bind(&Receiver::onValue, nullptr);
        EXPECT_FALSE(a.isBound());
        EXPECT_EQ(target->refCount(), 2);
        // A copied slot is unbound and takes no reference.
        CQueltEventSlot<int> c(b);
        EXPECT_FALSE(c.isBound());
        EXPECT_EQ(target->refCount(), 2);
    }
    EXPECT_EQ(target->refCount(), 1);
}

TEST(EventSlot, FiringAfterTheReceiverIsGoneReturnsZero) {
    CQueltEventSlot<int> slot;
    {
        Receiver receiver;
        slot.bind(&Receiver::onValue, receiver.target());
    }
    // The slot still holds the target record, which outlives the receiver.
    EXPECT_TRUE(slot.isBound());
    EXPECT_EQ(slot.fire(nullptr, 1), 0);
}

struct SelfDestroying {
    static std::int32_t onFire(CQueltObject* target, CQueltObject*, std::int32_t, int) {
        delete static_cast<Receiver*>(target);
        return 7;
    }
};

TEST(EventSlot, AReceiverMayBeDestroyedFromItsOwnHandler) {
    auto* receiver = new Receiver();
    CQueltEventSlot<int> slot;
    slot.bind(&SelfDestroying::onFire, receiver->target());
    // Must not wait for itself.
    EXPECT_EQ(slot.fire(nullptr, 0), 7);
    EXPECT_EQ(slot.fire(nullptr, 0), 0);
}

std::atomic<int> handlerEntries{0};

std::int32_t countingHandler(CQueltObject* target, CQueltObject*, std::int32_t, int) {
    handlerEntries.fetch_add(1);
    auto* self = static_cast<Receiver*>(target);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    // Reading the object proves it is still alive (AddressSanitizer reports otherwise).
    if (!self->alive.load())
        self->lateCalls.fetch_add(1);
    return 1;
}

TEST(EventSlot, NoHandlerRunsAfterTeardownReturns) {
    for (int round = 0; round < 20; ++round) {
        auto* receiver = new Receiver();
        CQueltEventSlot<int> slot;
        slot.bind(&countingHandler, receiver->target());
        const RefPtr<CQueltEventObjectPointer> target(receiver->target());
        std::atomic<bool> stop{false};
        std::vector<std::thread> firers;
        handlerEntries.store(0);
        for (int t = 0; t < 3; ++t) {
            firers.emplace_back([&] {
                while (!stop.load())
                    slot.fire(nullptr, 0);
            });
        }
        while (handlerEntries.load() < 3)
            std::this_thread::yield();
        // Destroyed while other threads are inside or entering the handler.
        delete receiver;
        const int entriesAtTeardown = handlerEntries.load();
        EXPECT_EQ(target->target(), nullptr);
        EXPECT_EQ(target->inFlight(), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(handlerEntries.load(), entriesAtTeardown) << "a handler ran after teardown";
        stop.store(true);
        for (auto& thread : firers)
            thread.join();
    }
}

TEST(EventSlot, RebindingWhileFiringOnAnotherThread) {
    Receiver first;
    Receiver second;
    CQueltEventSlot<int> slot;
    slot.bind(&Receiver::onValue, first.target());
    std::atomic<int> fired{0};
    std::thread firer([&] {
        for (int i = 0; i < 5000; ++i) {
            slot.fire(nullptr, 1);
            fired.fetch_add(1);
        }
    });
    for (int i = 0; fired.load() < 5000; ++i)
        slot.bind(&Receiver::onValue, (i % 2) ? first.target() : second.target());
    firer.join();
    slot.unbind();
    EXPECT_EQ(first.target()->refCount(), 1);
    EXPECT_EQ(second.target()->refCount(), 1);
    EXPECT_EQ(first.sum + second.sum, 5000);
}

} // namespace
