#include "updater/BackupJob.h"

#include "runtime/core/Paths.h"
#include "runtime/platform/Event.h"
#include "runtime/platform/FileSystem.h"
#include "updater/ModuleListRules.h"

namespace rg_quelt_app {
namespace {

constexpr char16_t kSeparator = PathRules::native().separator;

} // namespace

BackupJob::BackupJob(const TransferSettings& settings, const rg_XiaZaiShuJu& job)
    : settings_(settings), job_(job), kind_(moduleKindFromText(job.kindLetter.view())),
      history_(kind_ ? settings.historyLog : CWString(), kind_.value_or(ModuleKind::Windows)) {}

CWString BackupJob::listedPath(const rg_LianJieYuSuoYinLei& link) {
    // The local file is the module folder followed by the row's path; its folders are
    // the remote folder's, so the path is the remote folder and the local name.
    const std::u16string_view file = link.localFile.view();
    const std::size_t last = file.find_last_of(kSeparator);
    const std::u16string_view name = last == std::u16string_view::npos ? file : file.substr(last + 1);
    CWString path;
    for (const char16_t c : link.remoteFolder.view())
        path += c == u'/' ? kSeparator : c;
    if (!path.isEmpty())
        path += kSeparator;
    path += name;
    return path;
}

void BackupJob::begin() {
    if (!kind_ || !settings_.backupsOn() || settings_.backupFolderInModules) {
        // Without backups the time still names the job in the history.
        time_ = backupTimeName(currentFileTime());
        return;
    }
    kindFolder_ = kindBackupFolder(settings_.backupFolder, *kind_);
    createFolderTree(kindFolder_);
    platform::Event pause(true, false);
    CWString time = backupTimeName(currentFileTime());
    for (int tries = 0; tries < kClaimTries && !time.isEmpty(); ++tries) {
        const CWString folder = backupJobFolder(kindFolder_, time.view());
        const bool recorded = platform::pathExists(backupRecordPath(kindFolder_, time.view()).view());
        const platform::CreateFolderResult made =
            recorded ? platform::CreateFolderResult::alreadyExists : platform::createFolder(folder.view());
        if (made == platform::CreateFolderResult::created) {
            time_ = time;
            folder_ = folder;
            // Begun at once and added to file by file, so that a job cut off on the
            // way can still be undone as far as it went.
            record_ = backupRecordPath(kindFolder_, time.view());
            beginBackupRecord(recordFile_, record_);
            return;
        }
        if (made != platform::CreateFolderResult::alreadyExists)
            break;
        // Another job of the kind started in this second: the next one is ours.
        CWString next;
        do {
            pause.wait(50);
            next = backupTimeName(currentFileTime());
        } while (next.view() == time.view());
        time = next;
    }
    // No folder of its own: the time still names where backups would go, and each
    // file whose old version cannot be kept there fails with the system's reason.
    if (time_.isEmpty() && !time.isEmpty()) {
        time_ = time;
        folder_ = backupJobFolder(kindFolder_, time.view());
    }
}

std::u16string BackupJob::refusal() const {
    return kind_ ? std::u16string(settings_.backupNote().view()) : std::u16string();
}

CWString BackupJob::backupPathFor(std::size_t link) const {
    if (folder_.isEmpty())
        return CWString();
    return folder_ +
           (CWString(std::u16string_view(&kSeparator, 1)) + listedPath(job_.link(link)).view()).view();
}

void BackupJob::note(std::size_t link, const FileResult& result, const std::optional<OldFile>& old,
                     std::int64_t newTime) {
    const CWString path = listedPath(job_.link(link));
    if (result.outcome != FileOutcome::Success) {
        ++failed_;
        history_.add(modeTextOf(result.outcome), path, -1, 0, -1, 0, reasonText(result));
        return;
    }
    BackupEntry entry;
    entry.replaced = old.has_value();
    entry.path = path;
    if (old) {
        entry.oldSize = old->size;
        entry.oldTime = old->time;
    }
    entry.newSize = result.bytes;
    entry.newTime = newTime;
    ++(entry.replaced ? replaced_ : added_);
    history_.add(entry.replaced ? u"替换" : u"新增", path, entry.oldSize, entry.oldTime, entry.newSize,
                 entry.newTime);
    // A path listed twice keeps its first entry: its backup holds the file from before the job.
    if (!noted_.insert(std::u16string(path.view())).second)
        return;
    entries_.push_back(std::move(entry));
    appendBackupRecord(recordFile_, entries_.back());
}

void BackupJob::finish() {
    // Only the folder this job claimed is its own to remove or to describe. The record
    // is written once more as a whole: a line that could not be added on the way is in it.
    if (!record_.isEmpty()) {
        recordFile_.close();
        if (entries_.empty())
            removeBackupJob(kindFolder_, time_.view());
        else
            writeBackupRecord(record_, entries_);
    }
    if (!kindFolder_.isEmpty())
        pruneBackupJobs(kindFolder_, settings_.keptBackups);
    if (replaced_ + added_ + failed_ == 0)
        return;
    const auto count = [](std::size_t n) { return CWString::fromInteger(static_cast<std::int64_t>(n)); };
    CWString summary = CWString(u"替换 ") + count(replaced_).view() + u" 个，新增 " + count(added_).view() +
                       u" 个，失败 " + count(failed_).view() + u" 个";
    if (!folder_.isEmpty() && replaced_ > 0)
        summary += CWString(u"；旧文件在 ") + folder_.view();
    history_.add(u"更新", time_, -1, 0, -1, 0, summary);
    history_.write();
}

} // namespace rg_quelt_app
