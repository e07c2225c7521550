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
    const std::u16string_view cells[kColumnCount] = {firstColumn.view()};
    return appendRowTexts(cells);
}

std::size_t MemoryRowTable::appendFilledRow(CWString (&cells)[kColumnCount]) {
    std::u16string_view texts[kColumnCount];
    for (int column = 0; column < kColumnCount; ++column)
        texts[column] = cells[column].view();
    return appendRowTexts(texts);
}

std::size_t MemoryRowTable::appendRowTexts(const std::u16string_view (&cells)[kColumnCount]) {
    // The row is built before the lock is taken: only the append waits for it.
    PackedRow packed(cells);
    platform::CriticalSectionLock guard(lock_);
    rows_.push_back(std::move(packed));
    return rows_.size() - 1;
}

CWString MemoryRowTable::getCellText(std::size_t row, int column) const {
    platform::CriticalSectionLock guard(lock_);
    if (row >= rows_.size())
        return CWString();
    return CWString(rows_[row].cell(column));
}

void MemoryRowTable::readCellText(std::size_t row, int column, CWString& text) const {
    platform::CriticalSectionLock guard(lock_);
    text = row < rows_.size() ? rows_[row].cell(column) : std::u16string_view();
}

void MemoryRowTable::setCellText(std::size_t row, int column, const CWString& text) {
    platform::CriticalSectionLock guard(lock_);
    writeCell(row, column, text);
}

bool MemoryRowTable::setCellTextIfShows(std::size_t row, int column, const CWString& text,
                                        const CWString& name, const CWString& localFile) {
    platform::CriticalSectionLock guard(lock_);
    if (row >= rows_.size() ||
        !rowShowsFile(rows_[row].cell(kColumnName), rows_[row].cell(kColumnPath), name, localFile))
        return false;
    writeCell(row, column, text);
    return true;
}

// Under the lock.
void MemoryRowTable::writeCell(std::size_t row, int column, const CWString& text) {
    if (row >= rows_.size() || column < 0 || column >= kColumnCount)
        return;
    rows_[row].setCell(column, text.view());
    if (recording_)
        writes_.push_back({row, column, text});
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
