#pragma once
// The stream test that every record class shares: saved to a memory stream and
// loaded back into another object, it comes back equal.
#include "runtime/core/MemoryStream.h"

#include <gtest/gtest.h>

namespace mireth_test {

// `into` is loaded from what `object` saved; `into` may hold anything before.
template <typename T>
::testing::AssertionResult roundTrips(const T& object, T& into) {
    CQueltMemoryStream out;
    if (!object.save(out))
        return ::testing::AssertionFailure() << "the save failed";
    CQueltMemoryStream in(out.buffer());
    if (!into.load(in))
        return ::testing::AssertionFailure() << "the load failed";
    if (!into.equals(object))
        return ::testing::AssertionFailure() << "what was loaded differs from what was saved";
    return ::testing::AssertionSuccess();
}

} // namespace mireth_test
