#include "updater/ModuleRowTable.h"

namespace rg_quelt_app {

const char16_t* columnTitle(int column) {
    static constexpr const char16_t* kTitles[kColumnCount] = {u"序号", u"方式",     u"文件名称",
                                                              u"路径", u"更新时间", u"大小"};
    return column >= 0 && column < kColumnCount ? kTitles[column] : u"";
}

std::size_t ModuleRowTable::appendFilledRow(CWString (&cells)[kColumnCount]) {
    const std::size_t row = appendRow(cells[0]);
    for (int column = 1; column < kColumnCount; ++column) {
        if (!cells[column].isEmpty())
            setCellText(row, column, cells[column]);
    }
    return row;
}

bool rowShowsFile(const CWString& rowName, const CWString& rowPath, const CWString& name,
                  const CWString& localFile) {
    const std::u16string_view file = localFile.view();
    const std::u16string_view path = rowPath.view();
    if (rowName != name.view() || path.empty() || file.size() <= path.size())
        return false;
    const char16_t before = file[file.size() - path.size() - 1];
    return file.substr(file.size() - path.size()) == path && (before == u'/' || before == u'\\');
}

} // namespace rg_quelt_app
