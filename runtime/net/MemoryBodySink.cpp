#include "runtime/net/MemoryBodySink.h"

#include <algorithm>

namespace rg_quelt_windows_WangLao {

MemoryBodySink::MemoryBodySink(CQueltMem& buffer, std::size_t limit)
    : buffer_(buffer), limit_(limit), growthUnit_(buffer.growthUnit()) {}

bool MemoryBodySink::write(const void* data, std::size_t size) {
    const std::size_t held = buffer_.size();
    if (limit_ != kNoLimit && (size > limit_ || held > limit_ - size)) {
        passedLimit_ = true;
        return false;
    }
    if (buffer_.capacity() - held < size) {
        std::size_t unit = std::max(held / 2, growthUnit_);
        // Room beyond the limit would never be filled.
        if (limit_ != kNoLimit)
            unit = std::max(std::min(unit, limit_ - held - size), growthUnit_);
        buffer_.setGrowthUnit(unit);
    }
    buffer_.append(data, size);
    return true;
}

void MemoryBodySink::finish() {
    if (buffer_.growthUnit() == growthUnit_)
        return;
    buffer_.setGrowthUnit(growthUnit_);
    buffer_.trimCapacity();
}

} // namespace rg_quelt_windows_WangLao
