#pragma once
// MemoryRowTable: a ModuleRowTable in memory, guarded by a lock, for the headless
// front end and the tests. Each row keeps its texts packed in one block, so a list
// of 200,000 files costs little more than its characters.
#include "runtime/platform/CriticalSection.h"
#include "updater/ModuleRowTable.h"
#include "updater/PackedRow.h"

#include <atomic>
#include <deque>
#include <vector>

namespace rg_quelt_app {

class MemoryRowTable : public ModuleRowTable {
public:
    // A new table with one reference, which the caller owns.
    static MemoryRowTable* create() { return new MemoryRowTable(); }

    std::size_t rowCount() const override;
    void clearRows() override;
    std::size_t appendRow(const CWString& firstColumn) override;
    std::size_t appendFilledRow(CWString (&cells)[kColumnCount]) override;
    std::size_t appendRowTexts(const std::u16string_view (&cells)[kColumnCount]) override;
    CWString getCellText(std::size_t row, int column) const override;
    void readCellText(std::size_t row, int column, CWString& text) const override;
    void setCellText(std::size_t row, int column, const CWString& text) override;
    bool setCellTextIfShows(std::size_t row, int column, const CWString& text, const CWString& name,
                            const CWString& localFile) override;

    // Every text written into a cell, in order, when recording is on (for tests
    // that follow how a row changed).
    struct CellWrite {
        std::size_t row;
        int column;
        CWString text;
    };
    void setRecording(bool on);
    std::vector<CellWrite> recordedWrites() const;

    // Marks the rows as no longer shown.
    void abandon() { abandoned_.store(true, std::memory_order_release); }
    bool abandoned() const override { return abandoned_.load(std::memory_order_acquire); }

private:
    MemoryRowTable() = default;
    void writeCell(std::size_t row, int column, const CWString& text);

    mutable platform::CriticalSection lock_;
    std::deque<PackedRow> rows_;
    bool recording_ = false;
    std::vector<CellWrite> writes_;
    std::atomic<bool> abandoned_{false};
};

} // namespace rg_quelt_app
