#include "runtime/core/InitOrder.h"

#include <atomic>

namespace {

// Zero-initialised storage: usable before any constructor has run.
constexpr int kCapacity = 32;
const char* names[kCapacity];
std::atomic<int> count{0};

} // namespace

void noteStaticInit(const char* name) {
    const int index = count.fetch_add(1);
    if (index < kCapacity)
        names[index] = name;
}

int staticInitCount() {
    const int n = count.load();
    return n < kCapacity ? n : kCapacity;
}

const char* staticInitName(int index) {
    return index >= 0 && index < staticInitCount() ? names[index] : nullptr;
}
