#include "runtime/core/PoolMem.h"

#include "runtime/core/AppInstance.h"
#include "runtime/platform/Heap.h"

#include <cstring>

#if defined(MIRETH_ASAN)
#include <sanitizer/asan_interface.h>
#define MIRETH_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define MIRETH_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define MIRETH_POISON(p, n) ((void)(p), (void)(n))
#define MIRETH_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

CPoolMem::CPoolMem() {
    region_ = static_cast<unsigned char*>(platform::heapAlloc(kRegionSize));
    if (!region_)
        platform::exitProcess(-1);
    // Chain the blocks so that the first allocation gets the lowest address.
    FreeBlock* next = nullptr;
    for (std::size_t i = kBlockCount; i-- > 0;) {
        auto* block = reinterpret_cast<FreeBlock*>(region_ + i * kBlockSize);
        block->next = next;
        next = block;
    }
    freeList_ = next;
    freeCount_ = kBlockCount;
}

// The region is deliberately kept until the process ends: objects destroyed later
// in static destruction may still hand blocks back.
CPoolMem::~CPoolMem() = default;

CPoolMem& CPoolMem::instance() { return CQueltAppInstance::instance().pool(); }

void* CPoolMem::popBlock() {
    FreeBlock* block;
    {
        platform::SpinGuard guard(lock_);
        block = freeList_;
        if (!block)
            return nullptr;
        MIRETH_UNPOISON(block, kBlockSize);
        freeList_ = block->next;
        --freeCount_;
    }
    return block;
}

void CPoolMem::pushBlock(void* block) {
    MIRETH_UNPOISON(block, kBlockSize);
    platform::SpinGuard guard(lock_);
    auto* free = static_cast<FreeBlock*>(block);
    free->next = freeList_;
    freeList_ = free;
    ++freeCount_;
    // Poison all but the link so that a use after free shows under AddressSanitizer.
    MIRETH_POISON(reinterpret_cast<unsigned char*>(block) + sizeof(FreeBlock),
                  kBlockSize - sizeof(FreeBlock));
}

void* CPoolMem::tryAllocate(std::size_t bytes) {
    if (bytes <= kBlockSize) {
        if (void* block = popBlock()) {
            MIRETH_POISON(static_cast<unsigned char*>(block) + bytes, kBlockSize - bytes);
            return block;
        }
    }
    return platform::heapAlloc(bytes);
}

void* CPoolMem::allocate(std::size_t bytes) {
    void* block = tryAllocate(bytes);
    if (!block)
        platform::exitProcess(-1);
    return block;
}

void* CPoolMem::reallocate(void* block, std::size_t bytes) {
    if (!block)
        return allocate(bytes);
    if (!inPool(block)) {
        void* grown = platform::heapReAlloc(block, bytes);
        if (!grown)
            platform::exitProcess(-1);
        return grown;
    }
    if (bytes <= kBlockSize) {
        MIRETH_UNPOISON(block, kBlockSize);
        MIRETH_POISON(static_cast<unsigned char*>(block) + bytes, kBlockSize - bytes);
        return block;
    }
    void* moved = platform::heapAlloc(bytes);
    if (!moved)
        platform::exitProcess(-1);
    MIRETH_UNPOISON(block, kBlockSize);
    std::memcpy(moved, block, kBlockSize);
    pushBlock(block);
    return moved;
}

void CPoolMem::free(void* block) {
    if (!block)
        return;
    if (inPool(block))
        pushBlock(block);
    else
        platform::heapFree(block);
}

std::size_t CPoolMem::freeBlockCount() const {
    platform::SpinGuard guard(lock_);
    return freeCount_;
}
