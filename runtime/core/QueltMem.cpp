#include "runtime/core/QueltMem.h"

#include "runtime/core/ObjectStream.h"
#include "runtime/core/PoolMem.h"
#include "runtime/core/WString.h"
#include "runtime/platform/CodePage.h"

#include <cstring>
#include <utility>

QUELT_DEFINE_CLASS(CQueltMem, CQueltObject, "CQueltMem")

CQueltMem::CQueltMem(const CWString& text) {
    const std::size_t length = text.length();
    const std::size_t bytes = platform::utf16ToUtf8(text.text(), length, nullptr, 0);
    setSize(bytes);
    platform::utf16ToUtf8(text.text(), length, static_cast<char*>(data_), bytes);
}

CQueltMem::CQueltMem(const CQueltMem& other) : CQueltObject(other), growthUnit_(other.growthUnit_) {
    append(other.data_, other.size_);
}

CQueltMem::CQueltMem(CQueltMem&& other) noexcept
    : CQueltObject(other), data_(std::exchange(other.data_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)), size_(std::exchange(other.size_, 0)),
      growthUnit_(other.growthUnit_) {}

CQueltMem& CQueltMem::operator=(const CQueltMem& other) {
    if (this != &other) {
        CQueltObject::operator=(other);
        setSize(other.size_);
        if (size_)
            std::memcpy(data_, other.data_, size_);
    }
    return *this;
}

CQueltMem& CQueltMem::operator=(CQueltMem&& other) noexcept {
    if (this != &other) {
        CQueltObject::operator=(other);
        CPoolMem::instance().free(data_);
        data_ = std::exchange(other.data_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

CQueltMem::~CQueltMem() { CPoolMem::instance().free(data_); }

void CQueltMem::setSize(std::size_t bytes) {
    if (bytes == size_)
        return;
    if (bytes == 0) {
        CPoolMem::instance().free(data_);
        data_ = nullptr;
        capacity_ = 0;
        size_ = 0;
        return;
    }
    const std::size_t unit = growthUnit_ < 1 ? kDefaultGrowthUnit : growthUnit_;
    const std::size_t rounded = bytes + unit - bytes % unit;
    if (!data_) {
        data_ = CPoolMem::instance().allocate(rounded);
        capacity_ = rounded;
    } else if (capacity_ < bytes || capacity_ - bytes > unit) {
        data_ = CPoolMem::instance().reallocate(data_, rounded);
        capacity_ = rounded;
    }
    size_ = bytes;
}

void CQueltMem::trimCapacity() {
    const std::size_t unit = growthUnit_ < 1 ? kDefaultGrowthUnit : growthUnit_;
    if (!data_ || capacity_ - size_ <= unit)
        return;
    const std::size_t rounded = size_ + unit - size_ % unit;
    data_ = CPoolMem::instance().reallocate(data_, rounded);
    capacity_ = rounded;
}

void CQueltMem::append(const void* source, std::size_t bytes) {
    if (bytes == 0)
        return;
    const std::size_t old = size_;
    // The source may point into this buffer; keep its offset across a reallocation.
    const auto* src = static_cast<const unsigned char*>(source);
    const auto* begin = static_cast<const unsigned char*>(data_);
    const bool inside = begin && src >= begin && src < begin + size_;
    const std::size_t offset = inside ? static_cast<std::size_t>(src - begin) : 0;
    setSize(old + bytes);
    if (inside)
        src = static_cast<const unsigned char*>(data_) + offset;
    std::memmove(static_cast<unsigned char*>(data_) + old, src, bytes);
}

void CQueltMem::appendText(const CWString& text) {
    append(text.text(), (text.length() + 1) * sizeof(char16_t));
}

void CQueltMem::eraseFront(std::size_t bytes) {
    if (bytes >= size_) {
        clear();
        return;
    }
    std::memmove(data_, static_cast<unsigned char*>(data_) + bytes, size_ - bytes);
    setSize(size_ - bytes);
}

bool CQueltMem::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& buffer = static_cast<const CQueltMem&>(other);
    return size_ == buffer.size_ && (size_ == 0 || std::memcmp(data_, buffer.data_, size_) == 0);
}

bool CQueltMem::save(CQueltObjectStream& stream) const { return stream.writeBuffer(*this); }

bool CQueltMem::load(CQueltObjectStream& stream) { return stream.readBuffer(*this); }
