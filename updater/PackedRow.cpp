#include "updater/PackedRow.h"

#include "runtime/platform/Heap.h"

#include <algorithm>
#include <utility>

namespace rg_quelt_app {

PackedRow::PackedRow(const std::u16string_view (&cells)[kColumnCount]) {
    std::size_t total = 0;
    for (const std::u16string_view cell : cells)
        total += cell.size();
    if (total != 0) {
        // From the heap, sized to fit: the runtime pool's 256-byte blocks would be
        // half empty, and a long list would leave none of them to anyone else. Out
        // of memory ends the process, as with every runtime allocation.
        units_ = static_cast<char16_t*>(platform::heapAlloc(total * sizeof(char16_t)));
        if (!units_)
            platform::exitProcess(-1);
    }
    std::uint32_t end = 0;
    for (int column = 0; column < kColumnCount; ++column) {
        std::copy(cells[column].begin(), cells[column].end(), units_ + end);
        end += static_cast<std::uint32_t>(cells[column].size());
        ends_[column] = end;
    }
}

PackedRow::PackedRow(PackedRow&& other) noexcept : units_(std::exchange(other.units_, nullptr)) {
    std::copy(std::begin(other.ends_), std::end(other.ends_), ends_);
    std::fill(std::begin(other.ends_), std::end(other.ends_), 0);
}

PackedRow& PackedRow::operator=(PackedRow&& other) noexcept {
    if (this != &other) {
        std::swap(units_, other.units_);
        std::swap(ends_, other.ends_);
    }
    return *this;
}

PackedRow::~PackedRow() { platform::heapFree(units_); }

std::u16string_view PackedRow::cell(int column) const {
    if (column < 0 || column >= kColumnCount)
        return {};
    const std::uint32_t begin = column == 0 ? 0 : ends_[column - 1];
    return {units_ + begin, ends_[column] - begin};
}

void PackedRow::setCell(int column, std::u16string_view text) {
    if (column < 0 || column >= kColumnCount || cell(column) == text)
        return;
    std::u16string_view cells[kColumnCount];
    for (int c = 0; c < kColumnCount; ++c)
        cells[c] = c == column ? text : cell(c);
    // The old block stays until the new one holds its texts.
    *this = PackedRow(cells);
}

} // namespace rg_quelt_app
