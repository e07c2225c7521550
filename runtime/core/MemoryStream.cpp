#include "runtime/core/MemoryStream.h"

#include <cstring>

std::size_t CQueltMemoryStream::put(const void* data, std::size_t size) {
    const std::size_t room = buffer_.size() < writeLimit_ ? writeLimit_ - buffer_.size() : 0;
    const std::size_t n = size < room ? size : room;
    buffer_.append(data, n);
    return n;
}

std::size_t CQueltMemoryStream::get(void* data, std::size_t size) {
    const std::size_t left = buffer_.size() - readPosition_;
    const std::size_t n = size < left ? size : left;
    if (n)
        std::memcpy(data, static_cast<const unsigned char*>(buffer_.data()) + readPosition_, n);
    readPosition_ += n;
    return n;
}
