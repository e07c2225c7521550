#include "updater/DownloadWorker.h"

#include "runtime/core/Paths.h"
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/SystemInfo.h"
#include "updater/FormBody.h"
#include "updater/ModuleListRules.h"
#include "updater/ModulePathCheck.h"

#include <atomic>

namespace rg_quelt_app {

using namespace rg_quelt_windows_WangLao;

namespace {

constexpr std::uint64_t kProgressInterval = 250; // ms between two progress texts of a row

// The answer on its way into the temporary file, with the row's progress text.
class FileSink : public IQueltBodySink {
public:
    FileSink(platform::OutputFile& file, rg_WangLaoFangWenLei& access, const rg_LianJieYuSuoYinLei& link,
             ModuleRowTable* rows)
        : file_(file), access_(access), link_(link), rows_(rows),
          nextProgress_(platform::tickCount() + kProgressInterval) {}

    bool write(const void* data, std::size_t size) override {
        if (rows_ && rows_->abandoned())
            return false;
        if (file_.write(data, size) != size) {
            writeFailed_ = true;
            return false;
        }
        received_ += size;
        if (rows_ && platform::tickCount() >= nextProgress_) {
            nextProgress_ = platform::tickCount() + kProgressInterval;
            showProgress();
        }
        return true;
    }

    std::uint64_t received() const { return received_; }
    bool writeFailed() const { return writeFailed_; }

private:
    void showProgress() {
        curl_off_t total = -1;
        CWString text(kModeDownloading);
        if (curl_easy_getinfo(access_.transfer().easy(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &total) ==
                CURLE_OK &&
            total > 0) {
            const std::uint64_t percent = received_ * 100 / static_cast<std::uint64_t>(total);
            text += u" ";
            text += CWString::fromInteger(static_cast<std::int64_t>(percent > 100 ? 100 : percent)).view();
            text += u"%";
        }
        rows_->setCellTextIfShows(static_cast<std::size_t>(link_.rowIndex), kColumnMode, text, link_.fileName,
                                  link_.localFile);
    }

    platform::OutputFile& file_;
    rg_WangLaoFangWenLei& access_;
    const rg_LianJieYuSuoYinLei& link_;
    ModuleRowTable* rows_;
    std::uint64_t nextProgress_;
    std::uint64_t received_ = 0;
    bool writeFailed_ = false;
};

// A name beside the target that no other download of this process uses.
CWString temporaryName(const CWString& target) {
    static std::atomic<std::uint64_t> counter{0};
    return target + u".~" +
           CWString::fromInteger(static_cast<std::int64_t>(platform::currentThreadId())).view() + u"-" +
           CWString::fromInteger(static_cast<std::int64_t>(counter.fetch_add(1))).view() + u".part";
}

} // namespace

CQueltMem downloadRequestBody(const rg_XiaZaiShuJu& job, const rg_LianJieYuSuoYinLei& link) {
    FormBody body;
    body.field("qq", job.qq.toUtf8String())
        .field("pwd", job.password.toUtf8String())
        .field("type", job.kindLetter.toUtf8String())
        .field("path", link.remoteFolder.toUtf8String())
        .field("file", link.fileName.toUtf8String());
    return body.bytes();
}

const char16_t* downloadOneFile(rg_WangLaoFangWenLei& access, const rg_XiaZaiShuJu& job,
                                const rg_LianJieYuSuoYinLei& link, ModuleRowTable* rows) {
    // A name from the server that would lead out of the module folder is never written.
    if (!isSafeLink(link))
        return kModeDownloadFailed;
    if (!link.localFolder.isEmpty())
        createFolderTree(link.localFolder);

    const CWString target = link.localFile;
    const CWString temporary = temporaryName(target);
    platform::OutputFile file;
    if (!file.createNew(temporary.view()))
        return kModeSaveFailed;

    const CQueltMem body = downloadRequestBody(job, link);
    FileSink sink(file, access, link, rows);
    const auto response = access.SendRequestTo(sink, link.downloadUrl, &body, defaultHeaderList());
    const bool closed = file.close();

    const bool answered = response.curlResult() == CURLE_OK && response.responseCode() >= 200 &&
                          response.responseCode() < 300 && sink.received() > 0;
    const char16_t* outcome = kModeSuccess;
    if (sink.writeFailed() || (answered && !closed))
        outcome = kModeSaveFailed;
    else if (!answered)
        outcome = kModeDownloadFailed;
    else if (!platform::renameOver(temporary.view(), target.view()))
        outcome = kModeSaveFailed;
    if (outcome != kModeSuccess)
        platform::removeFile(temporary.view());
    return outcome;
}

void DownloadWorker(rg_quelt_base::rg_XianChengZhuangTaiLei* state) {
    RowTableRef rowsRef;
    rg_XiaZaiShuJu job;
    state->LoadParameter(0, rowsRef);
    state->LoadParameter(1, job);
    ModuleRowTable* rows = rowsRef.table();
    rg_WangLaoFangWenLei& access = downloadNetAccess();
    for (std::size_t i = 0; i < job.linkCount() && !(rows && rows->abandoned()); ++i) {
        const rg_LianJieYuSuoYinLei& link = job.link(i);
        const char16_t* outcome = downloadOneFile(access, job, link, rows);
        if (rows)
            rows->setCellTextIfShows(static_cast<std::size_t>(link.rowIndex), kColumnMode,
                                     CWString::borrowed(outcome), link.fileName, link.localFile);
    }
}

} // namespace rg_quelt_app
