#include "updater/ModuleListRules.h"

#include "runtime/core/Paths.h"
#include "updater/DateTimeValue.h"
#include "updater/rg_MoKuaiXinXiLei.h"

#include <algorithm>

namespace rg_quelt_app {
namespace {

CWString replaced(std::u16string_view text, char16_t from, char16_t to) {
    CWString result(text);
    if (from == to || text.empty())
        return result;
    char16_t* units = result.resizeForOverwrite(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        units[i] = text[i] == from ? to : text[i];
    return result;
}

CWString withSeparator(const CWString& folder) {
    CWString prefix(folder);
    prefix += kPathSeparator;
    return prefix;
}

// The decimal text of `value` at the end of `buffer`: plain digits, a leading "-"
// for negative values.
std::u16string_view decimalText(std::int64_t value, char16_t (&buffer)[20]) {
    std::uint64_t magnitude =
        value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    std::size_t start = sizeof buffer / sizeof buffer[0];
    do {
        buffer[--start] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        buffer[--start] = u'-';
    return {buffer + start, sizeof buffer / sizeof buffer[0] - start};
}

} // namespace

void ModuleRowFiller::restart() {
    if (!holding_) {
        rows_.holdRedraw(true);
        holding_ = true;
    }
    rows_.clearRows();
    count_ = 0;
}

void ModuleRowFiller::entry(const ModuleEntry& entry) {
    std::u16string_view path = entry.path;
    if (kPathSeparator != u'/' && path.find(u'/') != std::u16string_view::npos) {
        path_.assign(path);
        std::replace(path_.begin(), path_.end(), u'/', kPathSeparator);
        path = path_;
    }
    char16_t ordinal[20];
    char16_t size[20];
    const std::u16string_view cells[kColumnCount] = {
        decimalText(entry.ordinal, ordinal), {}, entry.name, path, entry.updateTime,
        decimalText(entry.size, size)};
    rows_.appendRowTexts(cells);
    ++count_;
}

void ModuleRowFiller::finish() {
    if (holding_)
        rows_.holdRedraw(false);
    holding_ = false;
}

void FillModuleList(const CQueltObjectArray& records, ModuleRowTable& rows) {
    ModuleRowFiller filler(rows);
    filler.restart();
    for (std::size_t i = 0; i < records.count(); ++i) {
        const auto* record = static_cast<const rg_MoKuaiXinXiLei*>(records.at(i));
        filler.entry({record->ordinal, record->name.view(), record->path.view(), record->updateTime.view(),
                      record->size});
    }
}

std::size_t MarkOutdatedRows(std::u16string_view letter, ModuleRowTable& rows,
                             const rg_PeiZhiXinXiLei& config) {
    const CWString prefix = withSeparator(folderForLetter(config, letter));
    // Reused from row to row: a list of many files would otherwise make three
    // texts per row.
    CWString path;
    CWString local;
    CWString time;
    CWString parsedTime;
    double remoteTime = kEarliestDateTime;
    bool parsed = false;
    std::size_t marked = 0;
    for (std::size_t row = 0; row < rows.rowCount(); ++row) {
        rows.readCellText(row, kColumnPath, path);
        local = prefix.view();
        local += path.view();
        // One look-up answers both questions for an ordinary file; only when it finds
        // nothing does the attribute test decide between "missing" and "no time".
        double localTime = kEarliestDateTime;
        if (!localFileDateTime(local, localTime) && !pathExists(local)) {
            rows.setCellText(row, kColumnMode, CWString::borrowed(kModeDownload));
            ++marked;
            continue;
        }
        // Many rows of a list share their update time: it is read once for them.
        rows.readCellText(row, kColumnTime, time);
        if (!parsed || time.view() != parsedTime.view()) {
            remoteTime = parseYearFirstDateTime(time.view()).value_or(kEarliestDateTime);
            parsedTime = time.view();
            parsed = true;
        }
        if (localTime < remoteTime) {
            rows.setCellText(row, kColumnMode, CWString::borrowed(kModeDownload));
            ++marked;
        }
    }
    return marked;
}

void MarkAllRows(ModuleRowTable& rows) {
    for (std::size_t row = 0; row < rows.rowCount(); ++row)
        rows.setCellText(row, kColumnMode, CWString::borrowed(kModeDownload));
}

CWString localFolderOf(const CWString& localFile) {
    const std::u16string_view file = localFile.view();
    if (!isAbsolutePath(file))
        return CWString();
    const std::size_t last = file.find_last_of(kPathSeparator);
    // A file right under a root keeps the root's separator.
    if (last == 0 || (last == 2 && file[1] == u':'))
        return CWString(file.substr(0, last + 1));
    return CWString(file.substr(0, last));
}

rg_XiaZaiShuJu BuildDownloadJob(ModuleKind kind, const ModuleRowTable& rows,
                                const rg_PeiZhiXinXiLei& config) {
    rg_XiaZaiShuJu job;
    const CWString prefix = withSeparator(kindFolder(config, kind));
    const CWString url = config.domain + u"download";
    for (std::size_t row = 0; row < rows.rowCount(); ++row) {
        if (rows.getCellText(row, kColumnMode) != std::u16string_view(kModeDownload))
            continue;
        const CWString path = rows.getCellText(row, kColumnPath);
        rg_LianJieYuSuoYinLei link;
        link.localFile = prefix + path.view();
        const CWString slashed = replaced(path.view(), u'\\', u'/');
        const std::size_t last = slashed.view().find_last_of(u'/');
        link.remoteFolder =
            last == std::u16string_view::npos ? CWString() : CWString(slashed.view().substr(0, last));
        link.downloadUrl = url;
        link.localFolder = localFolderOf(link.localFile);
        link.rowIndex = static_cast<std::int32_t>(row);
        link.fileName = rows.getCellText(row, kColumnName);
        link.updateTime = rows.getCellText(row, kColumnTime);
        link.listedSize = rows.getCellText(row, kColumnSize).toInteger();
        job.appendLink(link);
    }
    job.qq = kindQq(config, kind);
    job.password = kindPassword(config, kind);
    job.kindLetter = CWString::borrowed(kindLetter(kind));
    return job;
}

const char16_t* modeTextOf(FileOutcome outcome) {
    switch (outcome) {
    case FileOutcome::Success:
        return kModeSuccess;
    case FileOutcome::SaveFailed:
        return kModeSaveFailed;
    case FileOutcome::DownloadFailed:
        break;
    }
    return kModeDownloadFailed;
}

CWString downloadingText(std::int64_t received, std::int64_t total) {
    CWString text(kModeDownloading);
    if (total > 0) {
        const std::int64_t percent = received <= 0 ? 0 : (received >= total ? 100 : received * 100 / total);
        text += u" ";
        text += CWString::fromInteger(percent).view();
        text += u"%";
    }
    return text;
}

} // namespace rg_quelt_app
