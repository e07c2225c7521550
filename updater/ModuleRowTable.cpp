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

std::size_t ModuleRowTable::appendRowTexts(const std::u16string_view (&cells)[kColumnCount]) {
    CWString texts[kColumnCount];
    for (int column = 0; column < kColumnCount; ++column)
        texts[column] = cells[column];
    return appendFilledRow(texts);
}

bool rowShowsFile(std::u16string_view rowName, std::u16string_view rowPath, std::u16string_view name,
                  std::u16string_view localFile) {
    if (rowName != name || rowPath.empty() || localFile.size() <= rowPath.size())
        return false;
    const char16_t before = localFile[localFile.size() - rowPath.size() - 1];
    return localFile.substr(localFile.size() - rowPath.size()) == rowPath &&
           (before == u'/' || before == u'\\');
}

} // namespace rg_quelt_app
