// The user guide (docs/使用说明.txt, copied into the build tree) against the
// program's own texts: what it quotes is what the program shows, every key of
// "全局" is explained, and Notepad opens it right.
#include "updater/ConfigStore.h"
#include "updater/ModuleKind.h"
#include "updater/ModuleListRules.h"
#include "updater/ReasonCatalogue.h"
#include "updater/TransferSettings.h"
#include "updater/UpdateFlow.h"
#include "windows/JobStateText.h"
#include "windows/ListBoxRowTable.h"
#include "windows/WindowTexts.h"
#include "windows/rg_win_BangZhu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace rg_quelt_app {
namespace {

std::string guideBytes() {
    std::ifstream in("user-guide.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every text the program shows; those made with figures, with some figures in.
std::vector<std::u16string> programTexts() {
    std::vector<std::u16string> texts(std::begin(kWindowTexts), std::end(kWindowTexts));
    for (ModuleKind kind : kAllModuleKinds)
        texts.emplace_back(tabCaption(kind));
    // clang-format off
    const char16_t* const more[] = {
        kModuleListColumns, kHelpText, kModeDownload, kModeDownloading, kModeSuccess, kModeSaveFailed,
        kModeDownloadFailed, kStateChecking, kStateWaiting, kMessageConfigureFirst, kMessageCheckFirst,
        kCertificatesNotChecked, kDirectProxy, kGlobalSection, kWindowsSection, kAndroidSection, kServerSection,
        kDomainKey, kQqKey, kPasswordKey, kFolderKey, kParallelDownloadsKey, kRetriesKey, kCaFileKey,
        kVerifyCertificatesKey, kProxyKey, kBackupFolderKey, kKeptBackupsKey, kDefaultBackupFolderName,
        kHistoryLogName,
    };
    // clang-format on
    texts.insert(texts.end(), std::begin(more), std::end(more));
    for (int kind = 0; kind <= static_cast<int>(kLastReasonKind); ++kind) {
        Reason reason;
        reason.kind = static_cast<ReasonKind>(kind);
        reason.status = 404;
        reason.expected = 100;
        reason.received = 99;
        reason.subject = CWString(u"x");
        reason.detail = CWString(u"y");
        reason.waitSeconds = 5;
        texts.emplace_back(reasonText(reason).view());
    }
    JobTracker::Figures job;
    job.started = true;
    job.files = 3;
    job.succeeded = 1;
    texts.emplace_back(jobStateText(job).view());
    job.finished = true;
    texts.emplace_back(jobStateText(job).view());
    job.stopped = true;
    texts.emplace_back(jobStateText(job).view());
    return texts;
}

// The texts between 「」, “” and "" (ASCII), in order of their kind.
std::vector<std::u16string> quotedTexts(std::u16string_view guide) {
    std::vector<std::u16string> quoted;
    for (const std::u16string_view marks : {u"「」", u"“”", u"\"\""}) {
        for (std::size_t open = guide.find(marks[0]); open != std::u16string_view::npos;) {
            const std::size_t close = guide.find(marks[1], open + 1);
            if (close == std::u16string_view::npos) {
                ADD_FAILURE() << "an unclosed quote near " << CWString(guide.substr(open, 20)).toUtf8String();
                break;
            }
            quoted.emplace_back(guide.substr(open + 1, close - open - 1));
            open = guide.find(marks[0], close + 1);
        }
    }
    return quoted;
}

TEST(UserGuideTest, IsUtf8WithAByteOrderMarkAndCrLfLines) {
    const std::string bytes = guideBytes();
    ASSERT_GT(bytes.size(), 3000u) << "no guide in the build tree";
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool lf = bytes[i] == '\n', cr = bytes[i] == '\r';
        ASSERT_TRUE(!lf || (i > 0 && bytes[i - 1] == '\r')) << "a bare LF at byte " << i;
        ASSERT_TRUE(!cr || (i + 1 < bytes.size() && bytes[i + 1] == '\n')) << "a bare CR at byte " << i;
    }
    EXPECT_EQ(CWString::fromUtf8(bytes).toUtf8String(), bytes) << "not valid UTF-8";
}

TEST(UserGuideTest, QuotesOnlyWhatTheProgramShowsAndExplainsEveryKeyOfTheGlobalSection) {
    const CWString guide = CWString::fromUtf8(guideBytes());
    const std::vector<std::u16string> quoted = quotedTexts(guide.view());
    ASSERT_GT(quoted.size(), 50u);
    const std::vector<std::u16string> texts = programTexts();
    for (const std::u16string& q : quoted) {
        bool shown = false;
        for (const std::u16string& text : texts)
            shown = shown || (!q.empty() && text.find(q) != std::u16string::npos);
        EXPECT_TRUE(shown) << "the program shows no 「" << CWString(q).toUtf8String() << "」";
    }
    for (const char16_t* key :
         {kDomainKey, kParallelDownloadsKey, kRetriesKey, kCaFileKey, kVerifyCertificatesKey, kProxyKey,
          kDirectProxy, kBackupFolderKey, kKeptBackupsKey})
        EXPECT_NE(std::find(quoted.begin(), quoted.end(), key), quoted.end())
            << "「" << CWString(key).toUtf8String() << "」 is not explained";
}

} // namespace
} // namespace rg_quelt_app
