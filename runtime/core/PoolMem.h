#pragma once
// CPoolMem: the runtime's allocator. Requests of up to 256 bytes are served from one
// 4 MiB region cut into 256-byte blocks; larger requests, and any request once the
// pool has run dry for the calling thread, go to the process heap. Every pointer goes back to where it came
// from, whichever thread frees it. Allocation failure ends the process with exit
// code -1: callers never see a null result from allocate().
//
// Thread-safe. Each thread keeps a small cache of free blocks that it serves and
// takes back without any lock; the cache trades whole batches with the shared free
// list, which a spin-lock word guards. A thread that ends hands its cache back, unless
// the process itself is ending. Up to kCacheCapacity free blocks per thread are thus
// out of the other threads' reach.
// The one process-wide instance lives in CQueltAppInstance and is reached through
// CPoolMem::instance().
#include "runtime/platform/SpinLock.h"

#include <cstddef>
#include <cstdint>

class CPoolMem {
public:
    static constexpr std::size_t kBlockSize = 0x100;
    static constexpr std::size_t kRegionSize = 0x400000;
    static constexpr std::size_t kBlockCount = kRegionSize / kBlockSize;
    // Blocks moved between a thread's cache and the shared list at a time; a cache
    // holds at most two batches.
    static constexpr std::size_t kBatchSize = 32;
    static constexpr std::size_t kCacheCapacity = 2 * kBatchSize;

    CPoolMem();
    ~CPoolMem();
    CPoolMem(const CPoolMem&) = delete;
    CPoolMem& operator=(const CPoolMem&) = delete;

    // The process-wide instance. Its address is fixed at link time, so every allocation
    // reaches it without a call.
    static CPoolMem& instance() { return *processWide_; }

    void* allocate(std::size_t bytes);
    void* tryAllocate(std::size_t bytes);
    void* reallocate(void* block, std::size_t bytes);
    void free(void* block);

    bool inPool(const void* block) const {
        const auto* p = static_cast<const unsigned char*>(block);
        return p >= region_ && p < region_ + kRegionSize;
    }
    // Free blocks on the shared list plus those in the calling thread's cache. Blocks
    // cached by other threads still running are not counted (at most kCacheCapacity
    // each), so the figure is exact once the other threads have ended.
    std::size_t freeBlockCount() const;

private:
    struct ThreadCache;

    void* takeBlock();
    void putBlock(void* block);
    void* takeBlockSlow();
    void putBlockSlow(void* block);
    ThreadCache* claimCache();
    static ThreadCache* createCache();
    static void threadEnded(void* cache);
    std::size_t popShared(void** blocks, std::size_t wanted);
    void pushShared(void* const* blocks, std::size_t count);

    static CPoolMem* const processWide_;
    // The calling thread's cache, or one of the two stand-ins below, which are never
    // written: one for a thread that has no cache yet, one for a thread past its exit
    // step (or without a cache of its own), which goes to the shared list directly.
    static thread_local ThreadCache* threadCache_;
    static ThreadCache unclaimed_;
    static ThreadCache retired_;

    unsigned char* region_ = nullptr;
    // The shared free list: a stack of block pointers with room for every block, so
    // a batch moves with one copy and the blocks themselves are never touched. It
    // starts a cache line of its own: region_ is read by every call on every thread.
    alignas(64) void** shared_ = nullptr;
    std::size_t sharedCount_ = 0;
    mutable platform::SpinWord lock_{1};
};
