#include "runtime/core/PoolMem.h"

#include "runtime/platform/Heap.h"
#include "runtime/platform/ThreadExitSlot.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#if defined(MIRETH_ASAN)
#include <sanitizer/asan_interface.h>
#define MIRETH_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define MIRETH_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define MIRETH_POISON(p, n) ((void)(p), (void)(n))
#define MIRETH_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

// A thread's own free blocks, in memory of its own from the process heap: the thread
// exit step finds it through the slot however the platform tears down thread_local
// variables.
struct CPoolMem::ThreadCache {
    // The pool whose blocks these are; null while it holds none.
    CPoolMem* owner;
    std::size_t count;
    void* blocks[kCacheCapacity];
};

constinit CPoolMem::ThreadCache CPoolMem::unclaimed_{};
constinit CPoolMem::ThreadCache CPoolMem::retired_{};
constinit thread_local CPoolMem::ThreadCache* CPoolMem::threadCache_ = &CPoolMem::unclaimed_;

namespace {

// Set once the process is ending: other threads may have been stopped while holding
// the shared list's lock, so a thread's exit step no longer touches it.
constinit std::atomic<bool> processEnding{false};

[[noreturn]] void outOfMemory() {
    processEnding.store(true, std::memory_order_release);
    platform::exitProcess(-1);
}

} // namespace

CPoolMem::CPoolMem() {
    region_ = static_cast<unsigned char*>(platform::heapAlloc(kRegionSize));
    shared_ = static_cast<void**>(platform::heapAlloc(kBlockCount * sizeof(void*)));
    if (!region_ || !shared_)
        outOfMemory();
    // The top of the stack is the lowest address, so the first allocation gets it.
    for (std::size_t i = 0; i < kBlockCount; ++i)
        shared_[i] = region_ + (kBlockCount - 1 - i) * kBlockSize;
    sharedCount_ = kBlockCount;
    // Every free block is poisoned, so a use after free shows under AddressSanitizer.
    MIRETH_POISON(region_, kRegionSize);
}

// The region is deliberately kept until the process ends: objects destroyed later
// in static destruction, and threads that outlive it, may still hand blocks back.
// Only the thread exit steps stop, since the process is ending.
CPoolMem::~CPoolMem() {
    if (this == processWide_)
        processEnding.store(true, std::memory_order_release);
}

std::size_t CPoolMem::popShared(void** blocks, std::size_t wanted) {
    platform::SpinGuard guard(lock_);
    const std::size_t count = std::min(wanted, sharedCount_);
    sharedCount_ -= count;
    std::memcpy(blocks, shared_ + sharedCount_, count * sizeof(void*));
    return count;
}

void CPoolMem::pushShared(void* const* blocks, std::size_t count) {
    platform::SpinGuard guard(lock_);
    // Only a block freed twice can overfill the list; dropping the excess keeps the
    // list itself sound.
    count = std::min(count, kBlockCount - sharedCount_);
    std::memcpy(shared_ + sharedCount_, blocks, count * sizeof(void*));
    sharedCount_ += count;
}

CPoolMem::ThreadCache* CPoolMem::createCache() {
    // Created on the first thread that needs a cache; keys are never deleted.
    static platform::ThreadExitSlot slot(&CPoolMem::threadEnded);
    // A thread whose thread_local variables were torn down before its exit step, and
    // made afresh by a later use, finds its cache again here.
    auto* cache = static_cast<ThreadCache*>(slot.get());
    if (!cache) {
        cache = static_cast<ThreadCache*>(platform::heapAlloc(sizeof(ThreadCache)));
        if (cache && !slot.set(cache)) {
            platform::heapFree(cache);
            cache = nullptr;
        }
        // Without a cache the thread still gets every block, from the shared list.
        if (!cache)
            return threadCache_ = &retired_;
        *cache = unclaimed_;
    }
    return threadCache_ = cache;
}

void CPoolMem::threadEnded(void* value) {
    if (processEnding.load(std::memory_order_acquire))
        return;
    auto* cache = static_cast<ThreadCache*>(value);
    if (cache->owner)
        cache->owner->pushShared(cache->blocks, cache->count);
    // Whatever the thread frees or allocates from here on goes to the shared list.
    threadCache_ = &retired_;
    platform::heapFree(cache);
}

// The calling thread's cache, made ready for this pool; null when the thread is to use
// the shared list directly: past its exit step, or holding another pool's blocks.
CPoolMem::ThreadCache* CPoolMem::claimCache() {
    ThreadCache* cache = threadCache_;
    if (cache == &unclaimed_)
        cache = createCache();
    if (cache == &retired_ || (cache->owner != this && cache->count != 0))
        return nullptr;
    cache->owner = this;
    return cache;
}

void* CPoolMem::takeBlockSlow() {
    void* block = nullptr;
    ThreadCache* cache = claimCache();
    if (!cache)
        return popShared(&block, 1) ? block : nullptr;
    if (cache->count == 0)
        cache->count = popShared(cache->blocks, kBatchSize);
    return cache->count ? cache->blocks[--cache->count] : nullptr;
}

void CPoolMem::putBlockSlow(void* block) {
    ThreadCache* cache = claimCache();
    if (!cache) {
        pushShared(&block, 1);
        return;
    }
    if (cache->count == kCacheCapacity) {
        // Hand back the batch freed longest ago; the recent ones are likelier in cache.
        pushShared(cache->blocks, kBatchSize);
        std::memmove(cache->blocks, cache->blocks + kBatchSize,
                     (kCacheCapacity - kBatchSize) * sizeof(void*));
        cache->count -= kBatchSize;
    }
    cache->blocks[cache->count++] = block;
}

inline void* CPoolMem::takeBlock() {
    ThreadCache* cache = threadCache_;
    if (cache->owner == this && cache->count != 0)
        return cache->blocks[--cache->count];
    return takeBlockSlow();
}

inline void CPoolMem::putBlock(void* block) {
    MIRETH_POISON(block, kBlockSize);
    ThreadCache* cache = threadCache_;
    if (cache->owner == this && cache->count < kCacheCapacity) {
        cache->blocks[cache->count++] = block;
        return;
    }
    putBlockSlow(block);
}

void* CPoolMem::tryAllocate(std::size_t bytes) {
    if (bytes <= kBlockSize) {
        if (void* block = takeBlock()) {
            // The bytes past the request stay poisoned.
            MIRETH_UNPOISON(block, bytes);
            return block;
        }
    }
    return platform::heapAlloc(bytes);
}

void* CPoolMem::allocate(std::size_t bytes) {
    void* block = tryAllocate(bytes);
    if (!block)
        outOfMemory();
    return block;
}

void* CPoolMem::reallocate(void* block, std::size_t bytes) {
    if (!block)
        return allocate(bytes);
    if (!inPool(block)) {
        void* grown = platform::heapReAlloc(block, bytes);
        if (!grown)
            outOfMemory();
        return grown;
    }
    if (bytes <= kBlockSize) {
        MIRETH_UNPOISON(block, kBlockSize);
        MIRETH_POISON(static_cast<unsigned char*>(block) + bytes, kBlockSize - bytes);
        return block;
    }
    void* moved = platform::heapAlloc(bytes);
    if (!moved)
        outOfMemory();
    MIRETH_UNPOISON(block, kBlockSize);
    std::memcpy(moved, block, kBlockSize);
    putBlock(block);
    return moved;
}

void CPoolMem::free(void* block) {
    if (!block)
        return;
    if (inPool(block))
        putBlock(block);
    else
        platform::heapFree(block);
}

std::size_t CPoolMem::freeBlockCount() const {
    const ThreadCache* cache = threadCache_;
    const std::size_t cached = cache->owner == this ? cache->count : 0;
    platform::SpinGuard guard(lock_);
    return sharedCount_ + cached;
}
