// The finishing thread on its own: many files share few full flushes, a result
// comes only once its file is in place, and a file that cannot take its place
// fails alone, leaving its target and no temporary file.
#include "updater/FileFinisher.h"
#include "UpdaterTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

namespace {

using namespace rg_quelt_app;
using namespace updater_test;

std::atomic<int> wakes{0};
void countWake(void*) { ++wakes; }

TEST(FileFinisherTest, ABatchSharesOneFlushAndEachResultMeansItsFileIsInPlace) {
    TempFolder folder{"finisher"};
    fs::create_directory(folder.path() / "blocked.ext"); // a folder where a file should go
    constexpr std::size_t kFiles = 200;
    const auto targetOf = [&](std::size_t i) {
        return folder.path() / (i == 7 ? std::string("blocked.ext") : "m" + std::to_string(i) + ".ext");
    };
    const std::uint64_t flushesBefore = FileFinisher::fullFlushCount();
    std::map<std::size_t, FileFinisher::Result> results;
    {
        FileFinisher finisher(&countWake, nullptr);
        for (std::size_t i = 0; i < kFiles; ++i) {
            FileFinisher::Work work;
            work.link = i;
            work.target = textOf(targetOf(i));
            work.temporary = textOf(folder.path() / ("m" + std::to_string(i) + ".part"));
            work.file = std::make_unique<platform::OutputFile>();
            ASSERT_TRUE(work.file->createNew(work.temporary.view()));
            const std::string content = "module " + std::to_string(i);
            ASSERT_EQ(work.file->write(content.data(), content.size()), content.size());
            work.lastWriteTime = 133000000000000000LL + static_cast<std::int64_t>(i) * 10000000;
            finisher.submit(std::move(work));
        }
        finisher.allSubmitted();
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (results.size() < kFiles && std::chrono::steady_clock::now() < limit) {
            FileFinisher::Result result;
            while (finisher.takeResult(result)) {
                // Taken while the finisher still works on the others: already in place.
                if (result.placed) {
                    EXPECT_EQ(readFile(targetOf(result.link)), "module " + std::to_string(result.link));
                }
                results[result.link] = result;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(finisher.outstanding(), 0u);
        finisher.flushFolders();
    }
    ASSERT_EQ(results.size(), kFiles);
    EXPECT_GE(wakes.load(), 1);
    const std::uint64_t flushes = FileFinisher::fullFlushCount() - flushesBefore;
    EXPECT_GE(flushes, 1u);
    // Far fewer than one a file, with room for a slow disk (a batch also closes
    // after its time, however few files it holds).
    EXPECT_LE(flushes, kFiles / 8);
    for (std::size_t i = 0; i < kFiles; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(fs::exists(folder.path() / ("m" + std::to_string(i) + ".part")));
        if (i == 7) {
            EXPECT_FALSE(results[i].placed);
            EXPECT_EQ(results[i].problem, FileFinisher::Problem::replaceFailed);
            EXPECT_EQ(results[i].reason.kind, ReasonKind::CannotReplace);
            EXPECT_TRUE(fs::is_directory(targetOf(i)));
            continue;
        }
        EXPECT_TRUE(results[i].placed) << reasonText(results[i].reason).toUtf8String();
        EXPECT_EQ(results[i].problem, FileFinisher::Problem::none);
        std::int64_t time = 0;
        ASSERT_TRUE(platform::fileLastWriteTime(textOf(targetOf(i)).view(), time));
        EXPECT_EQ(time, 133000000000000000LL + static_cast<std::int64_t>(i) * 10000000);
    }
}

} // namespace
