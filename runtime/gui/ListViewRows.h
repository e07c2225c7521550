#pragma once
// IListViewRows: the row and cell operations of a list view window. Each one is a
// single message sent to the native window, which the system runs on the window's
// own thread while the caller waits, so they may be called from any thread; they
// use nothing of the implementation but its window handle and the properties it
// was created with.
#include "runtime/core/WString.h"

#include <cstdint>

class IListViewRows {
public:
    virtual std::int32_t listRowCount() const = 0;
    virtual void listClearRows() const = 0;
    // The new row's index, or -1.
    virtual std::int32_t listAppendRow(const CWString& text) const = 0;
    virtual bool listSetCellText(std::int32_t row, std::int32_t column, const CWString& text) const = 0;
    virtual CWString listCellText(std::int32_t row, std::int32_t column) const = 0;
    virtual void listSetRedraw(bool on) const = 0;
    virtual void listSetRowCount(std::int32_t rows) const = 0;
    virtual void listRedrawRows(std::int32_t first, std::int32_t last) const = 0;

protected:
    ~IListViewRows() = default;
};
