#pragma once
// MemoryBodySink: a response body kept in memory, optionally no larger than a limit.
// The buffer grows by half its size at a time while the body streams in, so
// receiving n bytes in small pieces costs O(n) rather than a reallocation per
// growth unit; finish() (or the destructor) gives the buffer its own growth unit
// back and trims the slack. The buffer must outlive the sink.
//
// A piece that would take the body past the limit is refused whole, which aborts
// the transfer: what arrived before it stays in the buffer and passedLimit() says
// why the transfer ended.
#include "runtime/core/QueltMem.h"
#include "runtime/net/BodySink.h"

#include <cstddef>

namespace rg_quelt_windows_WangLao {

class MemoryBodySink : public IQueltBodySink {
public:
    static constexpr std::size_t kNoLimit = 0;

    explicit MemoryBodySink(CQueltMem& buffer, std::size_t limit = kNoLimit);
    ~MemoryBodySink() { finish(); }
    MemoryBodySink(const MemoryBodySink&) = delete;
    MemoryBodySink& operator=(const MemoryBodySink&) = delete;

    bool write(const void* data, std::size_t size) override;
    void finish();

    bool passedLimit() const { return passedLimit_; }
    std::size_t limit() const { return limit_; }

private:
    CQueltMem& buffer_;
    const std::size_t limit_;
    const std::size_t growthUnit_;
    bool passedLimit_ = false;
};

} // namespace rg_quelt_windows_WangLao
