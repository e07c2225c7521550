// The file operations that keeping previous versions relies on, on the platform's
// own calls: a second name, a durable copy, times by name, whole folder trees.
#include "runtime/platform/FileSystem.h"

#include "runtime/core/Paths.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

using namespace mireth_test;
namespace fs = std::filesystem;

constexpr std::int64_t kJanuary2001 = 126227808000000000; // 2001-01-01 00:00:00 UTC

TEST(FileSystemTest, ASecondNameOutlivesTheReplacementOfTheFirst) {
    TempFolder temp;
    ASSERT_TRUE(temp.ok());
    const CWString module = temp / u"模块.ext", kept = temp / u"kept.ext", fresh = temp / u"fresh.tmp";
    ASSERT_TRUE(writeFile(module, "old"));
    ASSERT_TRUE(writeFile(fresh, "new"));
    ASSERT_TRUE(platform::createHardLink(module.view(), kept.view()));
    EXPECT_FALSE(platform::createHardLink(module.view(), kept.view())) << "a name that is taken stays";
    ASSERT_TRUE(platform::renameOver(fresh.view(), module.view()));
    EXPECT_EQ(readFile(module), "new");
    EXPECT_EQ(readFile(kept), "old");

    // A copy takes the time with it and is refused over an existing file.
    const CWString copy = temp / u"copy.ext";
    ASSERT_TRUE(platform::setFileLastWriteTime(kept.view(), kJanuary2001));
    ASSERT_TRUE(platform::copyFileDurably(kept.view(), copy.view()));
    std::int64_t size = -1, time = 0;
    ASSERT_TRUE(platform::fileSizeAndTime(copy.view(), size, time));
    EXPECT_EQ(size, 3);
    EXPECT_EQ(time, kJanuary2001);
    EXPECT_FALSE(platform::copyFileDurably(module.view(), copy.view()));
    EXPECT_EQ(readFile(copy), "old");
    EXPECT_FALSE(platform::copyFileDurably((temp / u"absent").view(), (temp / u"absent2").view()));
    EXPECT_FALSE(fs::exists(pathOf(temp / u"absent2")));
    EXPECT_FALSE(platform::fileSizeAndTime(temp.text().view(), size, time)) << "a folder has no file size";
}

TEST(FileSystemTest, AFolderTreeGoesWholeAndAppendsAddToTheEnd) {
    TempFolder temp;
    ASSERT_TRUE(temp.ok());
    const fs::path tree = temp.path() / "tree";
    ASSERT_TRUE(writeFile(tree / "a" / "b" / "deep.ext", "x"));
    ASSERT_TRUE(writeFile(tree / "read-only.ext", "y"));
    fs::permissions(tree / "read-only.ext",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    fs::create_directories(tree / "empty");
    const fs::path outside = temp.path() / "outside";
    ASSERT_TRUE(writeFile(outside / "stays.ext", "z"));
    std::vector<std::u16string> names;
    ASSERT_TRUE(platform::listFolders(CWString(tree.u16string()).view(), names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"a", u"empty"}));
    // Where links can be made at all.
    std::error_code noLinks;
    fs::create_directory_symlink(outside, tree / "link", noLinks);

    EXPECT_TRUE(platform::removeFolderTree(CWString(tree.u16string()).view()));
    EXPECT_FALSE(fs::exists(tree));
    EXPECT_EQ(readFile(outside / "stays.ext"), "z") << "a link is removed, never followed";
    EXPECT_TRUE(platform::removeFolderTree(CWString(tree.u16string()).view())) << "gone already";

    const CWString log = temp / u"更新记录.log";
    ASSERT_TRUE(platform::appendToFile(log.view(), "one\n", 4));
    ASSERT_TRUE(platform::appendToFile(log.view(), "two\n", 4));
    EXPECT_EQ(readFile(log), "one\ntwo\n");
}

} // namespace
