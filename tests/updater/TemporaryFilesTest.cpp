// The names of the files a download streams into, and which names count as ours.
#include "updater/TemporaryFiles.h"
#include "runtime/platform/CodePage.h"
#include "runtime/platform/PathStyle.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using namespace rg_quelt_app;
namespace fs = std::filesystem;

TEST(TemporaryFilesTest, FreshNamesBesideTheTargetAreOfOurFormAndNeverRepeat) {
    std::set<std::u16string> seen;
    const CWString target(u"D:\\m\\界面库.ext");
    for (int i = 0; i < 1000; ++i) {
        const CWString name = temporaryNameFor(target);
        EXPECT_EQ(name.view().substr(0, target.length() + 2), std::u16string(target.view()) + u".~");
        EXPECT_TRUE(isTemporaryName(name.view())) << name.toUtf8String();
        EXPECT_TRUE(seen.insert(std::u16string(name.view())).second) << name.toUtf8String();
    }
}

TEST(TemporaryFilesTest, OnlyOurTwoFormsCount) {
    const struct {
        std::u16string_view name;
        bool ours;
    } cases[] = {
        {u"a.ext.~0123456789abcdef.part", true},
        {u"界面库.ext.~fedcba9876543210.part", true},
        {u"a.ext.~4711-3.part", true}, // the form of earlier versions
        {u"a.ext.~0123456789ABCDEF.part", false},
        {u"a.ext.~0123456789abcde.part", false},
        {u"a.ext.~0123456789abcdef0.part", false},
        {u"a.ext.~12-x.part", false},
        {u"a.ext.~-3.part", false},
        {u".~0123456789abcdef.part", false},
        {u"a.ext.part", false},
        {u"a.ext", false},
        {u"a.ext.~0123456789abcdef.tmp", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isTemporaryName(c.name), c.ours) << CWString(c.name).toUtf8String();
}

// The length in the measure of the system's limit of 255: UTF-16 units on
// Windows, UTF-8 bytes elsewhere.
std::size_t nameLength(std::u16string_view name) {
    return platform::kWindowsPaths ? name.size() : platform::utf16ToUtf8String(name).size();
}

TEST(TemporaryFilesTest, ALongNameGivesUpTheEndOfItsStemAndStaysWithinTheLimit) {
    const std::u16string folder = platform::kWindowsPaths ? u"D:\\m\\" : u"/m/";
    const std::u16string wide = u"界面" + std::u16string(u"\U0001F600");
    const std::u16string names[] = {
        std::u16string(232, u'a'),           std::u16string(233, u'a'),
        std::u16string(250, u'b') + u".ext", std::u16string(255, u'c'),
        std::u16string(231, u'e') + u"界界", std::u16string(231, u'f') + u"\U0001F600",
        wide + std::u16string(240, u'd'),
    };
    for (const std::u16string& leaf : names) {
        const CWString name = temporaryNameFor(CWString(folder + leaf));
        const std::u16string_view own = name.view().substr(folder.size());
        EXPECT_TRUE(name.view().starts_with(folder));
        EXPECT_TRUE(isTemporaryName(own)) << name.toUtf8String();
        EXPECT_LE(nameLength(own), 255u) << name.toUtf8String();
        // A name that fits keeps all of itself; one that does not keeps as much as fits.
        const std::size_t stem = own.size() - 23;
        if (nameLength(leaf) + 23 <= 255)
            EXPECT_EQ(own.substr(0, stem), leaf);
        else
            EXPECT_GT(nameLength(own), 255u - 4) << name.toUtf8String();
        EXPECT_EQ(leaf.substr(0, stem), own.substr(0, stem));
        EXPECT_EQ(CWString(own.substr(0, stem)).toUtf8String().find("\xEF\xBF\xBD"), std::string::npos)
            << "a cut never splits a character";
    }
}

TEST(TemporaryFilesTest, TheSweepLeavesFoldersOutsideTheModuleFolderAlone) {
    mireth_test::TempFolder root("sweep");
    ASSERT_TRUE(root.ok());
    const char16_t separator = platform::kWindowsPaths ? u'\\' : u'/';
    const std::u16string module = std::u16string(root.text().view()) + separator + u"mod";
    const std::string leftover = "x.ext.~0123456789abcdef.part";
    const fs::path inside = root.path() / "mod" / "lib" / leftover;
    const fs::path outside = root.path() / "outside" / leftover;
    ASSERT_TRUE(mireth_test::writeFile(inside, "left behind"));
    ASSERT_TRUE(mireth_test::writeFile(outside, "someone else's"));

    rg_XiaZaiShuJu job;
    const struct {
        const char16_t* path;
        const char16_t* remoteFolder;
    } links[] = {{u"../outside/x.ext", u"../outside"}, {u"lib/x.ext", u"lib"}};
    for (const auto& entry : links) {
        rg_LianJieYuSuoYinLei link;
        std::u16string path = entry.path;
        std::replace(path.begin(), path.end(), u'/', separator);
        link.localFile = CWString(module + separator + path);
        link.remoteFolder = CWString(entry.remoteFolder);
        link.fileName = CWString(u"x.ext");
        job.appendLink(link);
    }
    EXPECT_EQ(removeLeftovers(job), 1u);
    EXPECT_FALSE(fs::exists(inside));
    EXPECT_TRUE(fs::exists(outside)) << "the hostile entry's folder is not the job's to tidy";
}

} // namespace
