#include "runtime/core/SharedRecordRef.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

int boxesFreed = 0;

class Box : public CRefObject {
public:
    int value = 0;

protected:
    ~Box() override { ++boxesFreed; }
};

class Other : public CRefObject {};

class BoxRef : public SharedRecordRef<Box> {
    QUELT_CLASS(BoxRef)

public:
    BoxRef() = default;
    explicit BoxRef(Box* box) { share(box); }
    static BoxRef adopting(Box* box) {
        BoxRef ref;
        ref.adopt(box);
        return ref;
    }
};

QUELT_DEFINE_CLASS(BoxRef, CQueltRefObject, "BoxRef")

class OtherRef : public SharedRecordRef<Other> {
    QUELT_CLASS(OtherRef)

public:
    OtherRef() = default;
    explicit OtherRef(Other* other) : SharedRecordRef(other) {}
};

QUELT_DEFINE_CLASS(OtherRef, CQueltRefObject, "OtherRef")

// A record of another type neither goes in nor comes out.
static_assert(!std::is_constructible_v<BoxRef, Other*>);
static_assert(std::is_same_v<decltype(BoxRef().get()), Box*>);

TEST(SharedRecordRef, SharesAdoptsAndReadsBackTyped) {
    boxesFreed = 0;
    {
        BoxRef fresh = BoxRef::adopting(new Box());
        Box* box = fresh.get();
        EXPECT_EQ(box->refCount(), 1) << "adopting takes no reference of its own";
        box->value = 7;
        {
            BoxRef shared(box);
            EXPECT_EQ(box->refCount(), 2);
            const BoxRef copy(shared);
            EXPECT_EQ(copy.get()->value, 7);
            EXPECT_EQ(box->refCount(), 3);
        }
        EXPECT_EQ(box->refCount(), 1);
        EXPECT_EQ(BoxRef(nullptr).get(), nullptr);
    }
    EXPECT_EQ(boxesFreed, 1);
}

TEST(SharedRecordRef, ARuntimeCopyOfAnotherClassIsRefused) {
    boxesFreed = 0;
    {
        BoxRef box = BoxRef::adopting(new Box());
        const OtherRef other(new Other());
        CQueltObject& asObject = box;
        EXPECT_FALSE(asObject.assign(other));
        EXPECT_EQ(box.get()->refCount(), 1) << "the record stays";
        BoxRef target;
        EXPECT_TRUE(target.assign(box));
        EXPECT_EQ(target.get(), box.get());
    }
    EXPECT_EQ(boxesFreed, 1);
}

} // namespace
