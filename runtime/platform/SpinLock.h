#pragma once
// Spin-lock words as the runtime uses them: 1 means free. Acquiring decrements the
// word atomically and owns the lock when the result is 0; otherwise it pauses until
// the word is positive again and retries. Releasing stores 1.
#include <atomic>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace platform {

using SpinWord = std::atomic<std::int64_t>;

inline void cpuPause() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

void spinYield(unsigned round);

inline void spinAcquire(SpinWord& word) {
    for (unsigned round = 0;; ++round) {
        if (word.fetch_sub(1, std::memory_order_acquire) == 1)
            return;
        while (word.load(std::memory_order_relaxed) <= 0)
            spinYield(round++);
    }
}

inline void spinRelease(SpinWord& word) { word.store(1, std::memory_order_release); }

// Scoped holder for a spin-lock word.
class SpinGuard {
public:
    explicit SpinGuard(SpinWord& word) : word_(word) { spinAcquire(word_); }
    ~SpinGuard() { spinRelease(word_); }
    SpinGuard(const SpinGuard&) = delete;
    SpinGuard& operator=(const SpinGuard&) = delete;

private:
    SpinWord& word_;
};

} // namespace platform
