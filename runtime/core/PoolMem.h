#pragma once
// CPoolMem: the runtime's allocator. Requests of up to 256 bytes are served from one
// 4 MiB region cut into 256-byte blocks on a free list guarded by a spin-lock word;
// larger requests, and any request once the list is empty, go to the process heap.
// Every pointer goes back to where it came from. Allocation failure ends the process
// with exit code -1: callers never see a null result from allocate().
//
// Thread-safe. The one process-wide instance lives in CQueltAppInstance and is
// reached through CPoolMem::instance().
#include "runtime/platform/SpinLock.h"

#include <cstddef>
#include <cstdint>

class CPoolMem {
public:
    static constexpr std::size_t kBlockSize = 0x100;
    static constexpr std::size_t kRegionSize = 0x400000;
    static constexpr std::size_t kBlockCount = kRegionSize / kBlockSize;

    CPoolMem();
    ~CPoolMem();
    CPoolMem(const CPoolMem&) = delete;
    CPoolMem& operator=(const CPoolMem&) = delete;

    static CPoolMem& instance();

    void* allocate(std::size_t bytes);
    void* tryAllocate(std::size_t bytes);
    void* reallocate(void* block, std::size_t bytes);
    void free(void* block);

    bool inPool(const void* block) const {
        const auto* p = static_cast<const unsigned char*>(block);
        return p >= region_ && p < region_ + kRegionSize;
    }
    std::size_t freeBlockCount() const;

private:
    struct FreeBlock {
        FreeBlock* next;
    };

    void* popBlock();
    void pushBlock(void* block);

    unsigned char* region_ = nullptr;
    FreeBlock* freeList_ = nullptr;
    std::size_t freeCount_ = 0;
    mutable platform::SpinWord lock_{1};
};
