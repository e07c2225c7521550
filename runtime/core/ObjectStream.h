#pragma once
// CQueltObjectStream: the runtime's binary object stream, which objects save
// themselves to and load themselves from (slots 15 and 16 of CQueltObject).
// Integers are little-endian of the width named; a text is its length in code units
// (32-bit) followed by the UTF-16LE units; a byte buffer is its size (64-bit)
// followed by the bytes. The first failure sticks: later writes and reads do
// nothing and report false.
#include <cstddef>
#include <cstdint>

class CWString;
class CQueltMem;

class CQueltObjectStream {
public:
    static constexpr int kOk = 0;
    static constexpr int kShortWrite = -3;
    static constexpr int kShortRead = -4;

    virtual ~CQueltObjectStream() = default;

    int error() const { return error_; }
    bool good() const { return error_ == kOk; }

    bool writeBytes(const void* data, std::size_t size);
    bool readBytes(void* data, std::size_t size);

    bool writeInt32(std::int32_t value);
    bool writeInt64(std::int64_t value);
    bool writeText(const CWString& text);
    bool writeBuffer(const CQueltMem& buffer);

    bool readInt32(std::int32_t& value);
    bool readInt64(std::int64_t& value);
    bool readText(CWString& text);
    bool readBuffer(CQueltMem& buffer);

protected:
    // Return how many bytes were actually moved.
    virtual std::size_t put(const void* data, std::size_t size) = 0;
    virtual std::size_t get(void* data, std::size_t size) = 0;

private:
    int error_ = kOk;
};
