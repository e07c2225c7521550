#include "windows/JobStateText.h"

#include "updater/ModuleListRules.h"

namespace rg_quelt_app {

namespace {

void appendCount(CWString& text, std::size_t count) {
    text += CWString::fromInteger(static_cast<std::int64_t>(count)).view();
}

// `value` in tenths, as "12.3".
void appendTenths(CWString& text, std::int64_t tenths) {
    text += CWString::fromInteger(tenths / 10).view();
    text += u'.';
    text += static_cast<char16_t>(u'0' + tenths % 10);
}

} // namespace

CWString byteSizeText(std::int64_t bytes) {
    if (bytes < 0)
        bytes = 0;
    static constexpr const char16_t* kUnits[] = {u" KB", u" MB", u" GB", u" TB"};
    CWString text;
    if (bytes < 1024) {
        text += CWString::fromInteger(bytes).view();
        text += u" B";
        return text;
    }
    // Tenths of the unit, rounded; a value that rounds up to 1024 takes the next unit.
    std::size_t unit = 0;
    std::int64_t scale = 1024;
    while (unit + 1 < std::size(kUnits) && (bytes * 10 + scale / 2) / scale >= 10240) {
        scale *= 1024;
        ++unit;
    }
    appendTenths(text, (bytes * 10 + scale / 2) / scale);
    text += kUnits[unit];
    return text;
}

CWString durationText(std::uint64_t ms) {
    const std::uint64_t seconds = (ms + 500) / 1000;
    CWString text;
    if (seconds >= 60) {
        text += CWString::fromInteger(static_cast<std::int64_t>(seconds / 60)).view();
        text += u" 分 ";
    }
    text += CWString::fromInteger(static_cast<std::int64_t>(seconds % 60)).view();
    text += u" 秒";
    return text;
}

CWString jobStateText(const JobTracker::Figures& f) {
    CWString text;
    if (!f.started)
        return text;
    if (!f.finished) {
        text += u"正在更新：已完成 ";
        appendCount(text, f.done());
        text += u'/';
        appendCount(text, f.files);
        text += u" 个文件，失败 ";
        appendCount(text, f.failed());
        text += u" 个；";
        text += byteSizeText(f.bytesDone).view();
        text += u'/';
        text += byteSizeText(f.bytesTotal).view();
        text += u"，";
        // The average since the start: steady enough to read, and 0 at first.
        const std::int64_t rate = f.elapsedMs > 0
                                      ? static_cast<std::int64_t>(static_cast<double>(f.bytesDone) * 1000.0 /
                                                                  static_cast<double>(f.elapsedMs))
                                      : 0;
        text += byteSizeText(rate).view();
        text += u"/秒";
        return text;
    }
    text += f.stopped ? u"更新已中止：成功 " : u"更新完成：成功 ";
    appendCount(text, f.succeeded);
    text += u" 个，下载失败 ";
    appendCount(text, f.downloadFailed);
    text += u" 个，保存失败 ";
    appendCount(text, f.saveFailed);
    text += u" 个";
    if (f.stopped && f.done() < f.files) {
        text += u"，未完成 ";
        appendCount(text, f.files - f.done());
        text += u" 个";
    }
    text += u"；共 ";
    text += byteSizeText(f.bytesDone).view();
    text += u"，用时 ";
    text += durationText(f.elapsedMs).view();
    return text;
}

CWString failureText(const JobTracker::Failure& failure) {
    CWString text = failure.name;
    text += u"：";
    text += modeTextOf(failure.result.outcome);
    const CWString reason = reasonText(failure.result);
    if (!reason.isEmpty()) {
        text += u"，";
        text += reason.view();
    }
    return text;
}

CWString backupTimeText(const CWString& jobTime) {
    const std::u16string_view t = jobTime.view();
    bool digits = t.size() == 15 && t[8] == u'-';
    for (std::size_t i = 0; digits && i < t.size(); ++i)
        digits = i == 8 || (t[i] >= u'0' && t[i] <= u'9');
    if (!digits)
        return jobTime;
    CWString text;
    text += t.substr(0, 4);
    text += u'-';
    text += t.substr(4, 2);
    text += u'-';
    text += t.substr(6, 2);
    text += u' ';
    text += t.substr(9, 2);
    text += u':';
    text += t.substr(11, 2);
    text += u':';
    text += t.substr(13, 2);
    return text;
}

CWString backupJobText(const BackupJobSummary& job) {
    CWString text = backupTimeText(job.time);
    text += u" 的更新：替换 ";
    appendCount(text, job.replaced);
    text += u" 个文件，新增 ";
    appendCount(text, job.added);
    text += u" 个文件";
    return text;
}

CWString rollbackStateText(const RollbackTracker::Figures& f, const CWString& jobTime) {
    CWString text;
    if (!f.finished)
        return text;
    const RollbackResult& r = f.result;
    if (!r.found) {
        text += u"撤销失败：找不到 ";
        text += backupTimeText(jobTime).view();
        text += u" 的备份";
        return text;
    }
    text += r.ok() ? u"撤销完成：还原 " : u"撤销未完成：还原 ";
    appendCount(text, r.restored);
    text += u" 个文件，删除 ";
    appendCount(text, r.removed);
    text += u" 个文件";
    if (r.ok()) {
        text += u"（";
        text += backupTimeText(jobTime).view();
        text += u" 的更新）";
        return text;
    }
    text += u"，失败 ";
    appendCount(text, r.failures.size());
    text += u" 个\n";
    text += r.failures.front().view();
    if (r.failures.size() > 1) {
        text += u"（另有 ";
        appendCount(text, r.failures.size() - 1);
        text += u" 个）";
    }
    return text;
}

} // namespace rg_quelt_app
