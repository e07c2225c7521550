// The runtime allocator against plain malloc for 256-byte objects, from one and
// from two threads. Each thread keeps a small working set and replaces one object
// per step, the pattern of texts and records being made and dropped. The time per pair
// is the run's wall time over the pairs of all its threads, so two threads that never
// wait for each other show half the time of one.
#include "runtime/core/PoolMem.h"

#include <algorithm>
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

struct Timing {
    double pool;
    double heap;
};

// The best of five runs of each, taken in turn so that a change in the machine's load
// falls on both alike.
Timing best(int threads) {
    Timing fastest{run<PoolAllocator>(threads), run<MallocAllocator>(threads)};
    for (int i = 0; i < 4; ++i) {
        fastest.pool = std::min(fastest.pool, run<PoolAllocator>(threads));
        fastest.heap = std::min(fastest.heap, run<MallocAllocator>(threads));
    }
    return fastest;
}

} // namespace

int main() {
    std::printf("allocator: %d allocate/free pairs of %zu bytes per thread, best of 5\n", kSteps,
                kObjectSize);
    struct Case {
        int threads;
        double target;
    };
    for (const Case& c : {Case{1, 1.0}, Case{2, 1.2}}) {
        const Timing t = best(c.threads);
        const double pairs = static_cast<double>(kSteps) * c.threads;
        const double ratio = t.pool / t.heap;
        std::printf("  %d thread%s: pool %.1f ns/pair, malloc %.1f ns/pair, pool/malloc time ratio %.2f "
                    "(target at most %.1f: %s)\n",
                    c.threads, c.threads == 1 ? " " : "s", t.pool * 1e9 / pairs, t.heap * 1e9 / pairs, ratio,
                    c.target, ratio <= c.target ? "met" : "missed");
    }
    return 0;
}
