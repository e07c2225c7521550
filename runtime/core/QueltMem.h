#pragma once
// CQueltMem: a growable byte buffer on the runtime allocator. Capacity follows the
// size in steps of the growth unit (64 by default): after any resize the slack is
// between one byte and one growth unit, so the buffer both grows and shrinks.
// Callers that append many small pieces to a large buffer should raise the growth
// unit first.
#include "runtime/core/QueltObject.h"

#include <cstddef>
#include <cstdint>

class CWString;

class CQueltMem : public CQueltObject {
    QUELT_CLASS(CQueltMem)

public:
    static constexpr std::size_t kDefaultGrowthUnit = 64;

    CQueltMem() = default;
    explicit CQueltMem(std::size_t growthUnit) : growthUnit_(growthUnit) {}
    // The text's UTF-8 bytes, without a terminator.
    explicit CQueltMem(const CWString& text);
    CQueltMem(const CQueltMem& other);
    CQueltMem(CQueltMem&& other) noexcept;
    CQueltMem& operator=(const CQueltMem& other);
    CQueltMem& operator=(CQueltMem&& other) noexcept;
    ~CQueltMem() override;

    void* data() { return data_; }
    const void* data() const { return data_; }
    unsigned char* bytes() { return static_cast<unsigned char*>(data_); }
    const unsigned char* bytes() const { return static_cast<const unsigned char*>(data_); }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    std::size_t growthUnit() const { return growthUnit_; }
    void setGrowthUnit(std::size_t unit) { growthUnit_ = unit; }

    // Resizes by the growth-unit rule; new bytes are left uninitialised.
    void setSize(std::size_t bytes);
    void append(const void* source, std::size_t bytes);
    // The text's UTF-16 code units with their terminating zero.
    void appendText(const CWString& text);
    void clear() { setSize(0); }
    // Brings the capacity back within one growth unit of the size, for a buffer
    // that was grown with a larger unit.
    void trimCapacity();
    // Moves the first `bytes` bytes out (they are dropped from the front).
    void eraseFront(std::size_t bytes);

    bool equals(const CQueltObject& other) const override;
    void reset() override { clear(); }
    void releaseContents() override { clear(); }
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;

private:
    void* data_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
    std::size_t growthUnit_ = kDefaultGrowthUnit;
};
