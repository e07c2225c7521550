#include "runtime/platform/Heap.h"

#include <windows.h>

namespace platform {

void* heapAlloc(std::size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes ? bytes : 1); }

void* heapReAlloc(void* block, std::size_t bytes) {
    if (!block)
        return heapAlloc(bytes);
    return HeapReAlloc(GetProcessHeap(), 0, block, bytes ? bytes : 1);
}

void heapFree(void* block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void exitProcess(int code) { ExitProcess(static_cast<UINT>(code)); }

} // namespace platform
