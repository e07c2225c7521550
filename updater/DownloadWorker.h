#pragma once
// The download worker: fetches the files of one job one after another on its own
// thread and writes each outcome into the file's row. Every answer streams into a
// temporary file beside the target, which takes the target's place only when the
// transfer completed with a 2xx answer of at least one byte; otherwise the old
// file stays as it was. Outcomes and progress are written only into a row that
// still shows the file. Once the rows are abandoned the worker stops: the file on
// its way is dropped with its temporary file, the rest are not fetched.
#include "runtime/data/rg_XianChengZhuangTaiLei.h"
#include "runtime/net/rg_WangLaoFangWenLei.h"
#include "updater/ModuleRowTable.h"
#include "updater/rg_XiaZaiShuJu.h"

namespace rg_quelt_app {

// "下载中 N%" while a file downloads.
inline constexpr const char16_t* kModeDownloading = u"下载中";

// The thread procedure: slot 0 holds the rows (RowTableRef), slot 1 the job.
void DownloadWorker(rg_quelt_base::rg_XianChengZhuangTaiLei* state);

// Downloads one link through `access` and returns the outcome text for its row.
// Progress goes into the row of `rows` (may be null).
const char16_t* downloadOneFile(rg_quelt_windows_WangLao::rg_WangLaoFangWenLei& access,
                                const rg_XiaZaiShuJu& job, const rg_LianJieYuSuoYinLei& link,
                                ModuleRowTable* rows);

// The download request's body: qq, pwd, type, path and file, in UTF-8.
CQueltMem downloadRequestBody(const rg_XiaZaiShuJu& job, const rg_LianJieYuSuoYinLei& link);

} // namespace rg_quelt_app
