#pragma once
// PackedRow: the six texts of one module row in a single block of UTF-16 units,
// one cell after the other, for tables of many rows: a row costs its characters
// and 32 bytes rather than six text objects with a buffer each.
#include "updater/ModuleRowTable.h"

#include <cstdint>
#include <string_view>

namespace rg_quelt_app {

class PackedRow {
public:
    PackedRow() = default;
    explicit PackedRow(const std::u16string_view (&cells)[kColumnCount]);
    PackedRow(PackedRow&& other) noexcept;
    PackedRow& operator=(PackedRow&& other) noexcept;
    PackedRow(const PackedRow&) = delete;
    PackedRow& operator=(const PackedRow&) = delete;
    ~PackedRow();

    // Valid until the row changes. Columns outside 0..kColumnCount-1 are empty.
    std::u16string_view cell(int column) const;
    void setCell(int column, std::u16string_view text);

private:
    char16_t* units_ = nullptr;
    // Where each cell ends in units_; a cell starts where the one before ends.
    std::uint32_t ends_[kColumnCount] = {};
};

} // namespace rg_quelt_app
