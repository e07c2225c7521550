#pragma once
// The rules between the server's list and the local module folder, on a module
// tab's rows: fill the rows from the records, mark the files to download, and build
// the download job from the marked rows. They run on the user-interface thread
// while the download worker may write column 1 of other rows.
#include "runtime/core/Paths.h"
#include "runtime/core/QueltObjectArray.h"
#include "updater/DownloadResult.h"
#include "updater/ModuleKind.h"
#include "updater/ModuleListSink.h"
#include "updater/ModuleRowTable.h"
#include "updater/rg_XiaZaiShuJu.h"

#include <string>

namespace rg_quelt_app {

// The mode texts of column 1.
inline constexpr const char16_t* kModeDownload = u"下载";
inline constexpr const char16_t* kModeSuccess = u"成功";
inline constexpr const char16_t* kModeSaveFailed = u"保存失败";
inline constexpr const char16_t* kModeDownloadFailed = u"下载失败";
// While a file downloads: "下载中 N%", or "下载中" while its size is unknown.
inline constexpr const char16_t* kModeDownloading = u"下载中";

// The row's text for a file's outcome.
const char16_t* modeTextOf(FileOutcome outcome);
CWString downloadingText(std::int64_t received, std::int64_t total);

// The platform's path separator, which also replaces '/' in the path column.
inline constexpr char16_t kPathSeparator = PathRules::native().separator;

// Replaces the rows by one row per record (of rg_MoKuaiXinXiLei) in order.
void FillModuleList(const CQueltObjectArray& records, ModuleRowTable& rows);

// FillModuleList for entries as a list is read: the first restart() clears the
// rows and holds their redraw until finish() (or the filler's end), each entry
// appends its row. The cells are written straight from the entry's texts.
class ModuleRowFiller final : public ModuleListSink {
public:
    explicit ModuleRowFiller(ModuleRowTable& rows) : rows_(rows) {}
    ~ModuleRowFiller() { finish(); }
    ModuleRowFiller(const ModuleRowFiller&) = delete;
    ModuleRowFiller& operator=(const ModuleRowFiller&) = delete;

    void restart() override;
    void entry(const ModuleEntry& entry) override;
    void finish();

    // Rows appended since the last restart.
    std::size_t rows() const { return count_; }

private:
    ModuleRowTable& rows_;
    std::u16string path_;
    std::size_t count_ = 0;
    bool holding_ = false;
};

// Writes "下载" into column 1 of every row whose local file is missing or older
// than the row's update time. The folder is the one of `letter` in `config`.
// Returns how many rows it marked.
std::size_t MarkOutdatedRows(std::u16string_view letter, ModuleRowTable& rows,
                             const rg_PeiZhiXinXiLei& config);

// "强制更新": every row is marked for download.
void MarkAllRows(ModuleRowTable& rows);

// One link per row whose column 1 reads exactly "下载", with the kind's
// credentials and letter from `config`.
rg_XiaZaiShuJu BuildDownloadJob(ModuleKind kind, const ModuleRowTable& rows, const rg_PeiZhiXinXiLei& config);

// The folder that must exist before `localFile` is written: the part before its
// last separator when the path is absolute (keeping the separator of a root);
// empty for a relative path.
CWString localFolderOf(const CWString& localFile);

} // namespace rg_quelt_app
