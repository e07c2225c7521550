// The runtime allocator against plain malloc for 256-byte objects, from one and
// from two threads. Each thread keeps a small working set and replaces one object
// per step, the pattern of texts and records being made and dropped.
#include "runtime/core/PoolMem.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr int kSteps = 2000000;
constexpr int kWorkingSet = 64;
constexpr std::size_t kObjectSize = 256;

struct PoolAllocator {
    static void* allocate(std::size_t n) { return CPoolMem::instance().allocate(n); }
    static void release(void* p) { CPoolMem::instance().free(p); }
};

struct MallocAllocator {
    static void* allocate(std::size_t n) { return std::malloc(n); }
    static void release(void* p) { std::free(p); }
};

template <typename Allocator>
void churn(unsigned seed) {
    void* held[kWorkingSet] = {};
    unsigned x = seed;
    for (int i = 0; i < kSteps; ++i) {
        x = x * 1103515245u + 12345u;
        const int slot = static_cast<int>((x >> 16) % kWorkingSet);
        Allocator::release(held[slot]);
        held[slot] = Allocator::allocate(kObjectSize);
        static_cast<unsigned char*>(held[slot])[0] = static_cast<unsigned char>(i);
    }
    for (void* p : held)
        Allocator::release(p);
}

template <typename Allocator>
double run(int threads) {
    const auto begin = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([t] { churn<Allocator>(17u + static_cast<unsigned>(t)); });
    for (auto& worker : workers)
        worker.join();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - begin;
    return elapsed.count();
}

template <typename Allocator>
double best(int threads) {
    double fastest = run<Allocator>(threads);
    for (int i = 0; i < 4; ++i) {
        const double t = run<Allocator>(threads);
        if (t < fastest)
            fastest = t;
    }
    return fastest;
}

} // namespace

int main() {
    std::printf("allocator: %d allocate/free pairs of %zu bytes per thread, best of 5\n", kSteps,
                kObjectSize);
    for (int threads : {1, 2}) {
        const double pool = best<PoolAllocator>(threads);
        const double heap = best<MallocAllocator>(threads);
        const double pairs = static_cast<double>(kSteps) * threads;
        std::printf("  %d thread%s: pool %.1f ns/pair, malloc %.1f ns/pair, pool/malloc time ratio %.2f\n",
                    threads, threads == 1 ? " " : "s", pool * 1e9 / pairs, heap * 1e9 / pairs, pool / heap);
    }
    return 0;
}
