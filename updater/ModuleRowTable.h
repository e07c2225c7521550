#pragma once
// ModuleRowTable: the rows of a module list as the list rules see them, six text
// columns per row. The super list box of a module tab implements it, and so does
// MemoryRowTable for the headless front end and tests. Every operation is safe
// from any thread; an implementation that lives on one thread (a list box) hands
// calls from other threads to that thread and waits.
#include "runtime/core/RefObject.h"
#include "runtime/core/WString.h"

#include <cstddef>
#include <string_view>

namespace rg_quelt_app {

enum ModuleColumn : int {
    kColumnOrdinal = 0, // "序号"
    kColumnMode = 1,    // "方式"
    kColumnName = 2,    // "文件名称"
    kColumnPath = 3,    // "路径"
    kColumnTime = 4,    // "更新时间"
    kColumnSize = 5,    // "大小"
    kColumnCount = 6,
};

// The six column titles in order.
const char16_t* columnTitle(int column);

class ModuleRowTable : public CRefObject {
public:
    virtual std::size_t rowCount() const = 0;
    virtual void clearRows() = 0;
    // Appends a row whose column 0 holds `firstColumn`; the others are empty.
    // Returns the new row's index.
    virtual std::size_t appendRow(const CWString& firstColumn) = 0;
    // Appends a row with all its cells at once (kColumnCount texts); one call where
    // the table lives on another thread. By default appendRow and setCellText.
    virtual std::size_t appendFilledRow(CWString (&cells)[kColumnCount]);
    // The same from texts the table copies, for a caller that holds them elsewhere
    // (a list being read). By default through appendFilledRow.
    virtual std::size_t appendRowTexts(const std::u16string_view (&cells)[kColumnCount]);
    // Empty for a row or column that does not exist.
    virtual CWString getCellText(std::size_t row, int column) const = 0;
    // getCellText into `text`, reusing its buffer: for a loop over many rows.
    virtual void readCellText(std::size_t row, int column, CWString& text) const {
        text = getCellText(row, column);
    }
    // Does nothing for a row or column that does not exist.
    virtual void setCellText(std::size_t row, int column, const CWString& text) = 0;
    // Writes `text` into `column` of `row` only while that row still shows the file
    // it was written for: column 2 equals `name`, and `localFile` is a folder, a
    // separator and the row's column 3. One step that no refill can cut into.
    // Returns whether it wrote.
    virtual bool setCellTextIfShows(std::size_t row, int column, const CWString& text, const CWString& name,
                                    const CWString& localFile) = 0;
    // True once nobody shows these rows any more (their window is gone): a download
    // for them stops at its next piece of data and leaves the old file as it was.
    // Safe from any thread.
    virtual bool abandoned() const { return false; }
    // Brackets a change of many rows: while held, a table shown in a window need not
    // repaint after each change and repaints once when released. Calls pair up.
    virtual void holdRedraw(bool) {}
};

// The test of setCellTextIfShows for an implementation's own use.
bool rowShowsFile(std::u16string_view rowName, std::u16string_view rowPath, std::u16string_view name,
                  std::u16string_view localFile);

} // namespace rg_quelt_app
