#include "updater/MemoryRowTable.h"

namespace rg_quelt_app {

std::size_t MemoryRowTable::rowCount() const {
    platform::CriticalSectionLock guard(lock_);
    return rows_.size();
}

void MemoryRowTable::clearRows() {
    platform::CriticalSectionLock guard(lock_);
    rows_.clear();
}

std::size_t MemoryRowTable::appendRow(const CWString& firstColumn) {
    platform::CriticalSectionLock guard(lock_);
    rows_.emplace_back();
    rows_.back()[kColumnOrdinal] = firstColumn;
    return rows_.size() - 1;
}

std::size_t MemoryRowTable::appendFilledRow(CWString (&cells)[kColumnCount]) {
    platform::CriticalSectionLock guard(lock_);
    rows_.emplace_back();
    for (int column = 0; column < kColumnCount; ++column)
        rows_.back()[static_cast<std::size_t>(column)] = std::move(cells[column]);
    return rows_.size() - 1;
}

CWString MemoryRowTable::getCellText(std::size_t row, int column) const {
    platform::CriticalSectionLock guard(lock_);
    if (row >= rows_.size() || column < 0 || column >= kColumnCount)
        return CWString();
    return rows_[row][static_cast<std::size_t>(column)];
}

void MemoryRowTable::setCellText(std::size_t row, int column, const CWString& text) {
    platform::CriticalSectionLock guard(lock_);
    if (row >= rows_.size() || column < 0 || column >= kColumnCount)
        return;
    rows_[row][static_cast<std::size_t>(column)] = text;
    if (recording_)
        writes_.push_back({row, column, text});
}

bool MemoryRowTable::setCellTextIfShows(std::size_t row, int column, const CWString& text,
                                        const CWString& name, const CWString& localFile) {
    platform::CriticalSectionLock guard(lock_);
    if (row >= rows_.size() ||
        !rowShowsFile(rows_[row][kColumnName], rows_[row][kColumnPath], name, localFile))
        return false;
    setCellText(row, column, text);
    return true;
}

void MemoryRowTable::setRecording(bool on) {
    platform::CriticalSectionLock guard(lock_);
    recording_ = on;
    writes_.clear();
}

std::vector<MemoryRowTable::CellWrite> MemoryRowTable::recordedWrites() const {
    platform::CriticalSectionLock guard(lock_);
    return writes_;
}

} // namespace rg_quelt_app
