#pragma once
// The process heap and process exit. Everything the runtime allocates outside its
// small-block pool comes from here.
#include <cstddef>

namespace platform {

// Returns null on failure; the caller decides whether that is fatal.
void* heapAlloc(std::size_t bytes);
// Like realloc: null on failure, and the old block is then still valid.
void* heapReAlloc(void* block, std::size_t bytes);
void heapFree(void* block);

// Ends the process at once with the given exit code (no static destructors).
[[noreturn]] void exitProcess(int code);

} // namespace platform
