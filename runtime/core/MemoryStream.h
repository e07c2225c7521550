#pragma once
// An object stream over a byte buffer: writes append, reads consume from the start.
// An optional write limit makes the stream behave like a full device, which is how
// callers test their handling of a short write.
#include "runtime/core/ObjectStream.h"
#include "runtime/core/QueltMem.h"

#include <limits>

class CQueltMemoryStream : public CQueltObjectStream {
public:
    CQueltMemoryStream() = default;
    explicit CQueltMemoryStream(const CQueltMem& contents) : buffer_(contents) {}

    const CQueltMem& buffer() const { return buffer_; }
    void setWriteLimit(std::size_t bytes) { writeLimit_ = bytes; }

protected:
    std::size_t put(const void* data, std::size_t size) override;
    std::size_t get(void* data, std::size_t size) override;

private:
    CQueltMem buffer_;
    std::size_t readPosition_ = 0;
    std::size_t writeLimit_ = std::numeric_limits<std::size_t>::max();
};
