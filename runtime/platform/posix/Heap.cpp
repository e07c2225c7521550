#include "runtime/platform/Heap.h"

#include <cstdlib>
#include <unistd.h>

namespace platform {

void* heapAlloc(std::size_t bytes) { return std::malloc(bytes ? bytes : 1); }

void* heapReAlloc(void* block, std::size_t bytes) { return std::realloc(block, bytes ? bytes : 1); }

void heapFree(void* block) { std::free(block); }

void exitProcess(int code) { _exit(code); }

} // namespace platform
