#include "runtime/core/ObjectStream.h"

#include "runtime/core/QueltMem.h"
#include "runtime/core/WString.h"

#include <cstring>
#include <limits>

namespace {

// Integers go into the stream as little-endian bytes, whatever the machine's order.
template <typename Unsigned>
bool writeLittleEndian(CQueltObjectStream& stream, Unsigned value) {
    unsigned char bytes[sizeof(Unsigned)];
    for (std::size_t i = 0; i < sizeof bytes; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    return stream.writeBytes(bytes, sizeof bytes);
}

template <typename Unsigned>
bool readLittleEndian(CQueltObjectStream& stream, Unsigned& value) {
    unsigned char bytes[sizeof(Unsigned)];
    if (!stream.readBytes(bytes, sizeof bytes))
        return false;
    value = 0;
    for (std::size_t i = sizeof bytes; i-- > 0;)
        value = static_cast<Unsigned>((value << 8) | bytes[i]);
    return true;
}

} // namespace

bool CQueltObjectStream::writeBytes(const void* data, std::size_t size) {
    if (!good())
        return false;
    if (size != 0 && put(data, size) != size) {
        error_ = kShortWrite;
        return false;
    }
    return true;
}

bool CQueltObjectStream::readBytes(void* data, std::size_t size) {
    if (!good())
        return false;
    if (size != 0 && get(data, size) != size) {
        error_ = kShortRead;
        return false;
    }
    return true;
}

bool CQueltObjectStream::writeInt32(std::int32_t value) {
    return writeLittleEndian(*this, static_cast<std::uint32_t>(value));
}

bool CQueltObjectStream::writeInt64(std::int64_t value) {
    return writeLittleEndian(*this, static_cast<std::uint64_t>(value));
}

bool CQueltObjectStream::readInt32(std::int32_t& value) {
    std::uint32_t bits = 0;
    if (!readLittleEndian(*this, bits))
        return false;
    value = static_cast<std::int32_t>(bits);
    return true;
}

bool CQueltObjectStream::readInt64(std::int64_t& value) {
    std::uint64_t bits = 0;
    if (!readLittleEndian(*this, bits))
        return false;
    value = static_cast<std::int64_t>(bits);
    return true;
}

bool CQueltObjectStream::writeText(const CWString& text) {
    const std::size_t length = text.length();
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        error_ = kShortWrite;
        return false;
    }
    // UTF-16 units go out little-endian whatever the host order.
    const char16_t* units = text.text();
    if (!writeInt32(static_cast<std::int32_t>(length)))
        return false;
    unsigned char chunk[512];
    std::size_t i = 0;
    while (i < length) {
        std::size_t n = 0;
        for (; i < length && n + 2 <= sizeof chunk; ++i, n += 2) {
            chunk[n] = static_cast<unsigned char>(units[i]);
            chunk[n + 1] = static_cast<unsigned char>(units[i] >> 8);
        }
        if (!writeBytes(chunk, n))
            return false;
    }
    return true;
}

bool CQueltObjectStream::readText(CWString& text) {
    std::int32_t length = 0;
    if (!readInt32(length))
        return false;
    if (length < 0) {
        error_ = kShortRead;
        return false;
    }
    CWString result;
    char16_t* units = result.resizeForOverwrite(static_cast<std::size_t>(length));
    for (std::int32_t i = 0; i < length; ++i) {
        unsigned char pair[2];
        if (!readBytes(pair, 2))
            return false;
        units[i] = static_cast<char16_t>(pair[0] | (pair[1] << 8));
    }
    text = std::move(result);
    return true;
}

bool CQueltObjectStream::writeBuffer(const CQueltMem& buffer) {
    return writeInt64(static_cast<std::int64_t>(buffer.size())) && writeBytes(buffer.data(), buffer.size());
}

bool CQueltObjectStream::readBuffer(CQueltMem& buffer) {
    std::int64_t size = 0;
    if (!readInt64(size))
        return false;
    if (size < 0) {
        error_ = kShortRead;
        return false;
    }
    // Read in chunks so that a corrupt size cannot make us allocate wildly.
    CQueltMem result;
    unsigned char chunk[4096];
    std::uint64_t left = static_cast<std::uint64_t>(size);
    while (left > 0) {
        const std::size_t n = left < sizeof chunk ? static_cast<std::size_t>(left) : sizeof chunk;
        if (!readBytes(chunk, n))
            return false;
        result.append(chunk, n);
        left -= n;
    }
    buffer = std::move(result);
    return true;
}
