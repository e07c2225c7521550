#pragma once
// MemoryRowTable: a ModuleRowTable in memory, guarded by a lock, for the headless
// front end and the tests.
#include "runtime/platform/CriticalSection.h"
#include "updater/ModuleRowTable.h"

#include <array>
#include <atomic>
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
    CWString getCellText(std::size_t row, int column) const override;
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
    using Row = std::array<CWString, kColumnCount>;

    mutable platform::CriticalSection lock_;
    std::vector<Row> rows_;
    bool recording_ = false;
    std::vector<CellWrite> writes_;
    std::atomic<bool> abandoned_{false};
};

} // namespace rg_quelt_app
