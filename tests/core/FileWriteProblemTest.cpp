#include "runtime/platform/FileWriteProblem.h"

#include "runtime/core/Paths.h"
#include "runtime/platform/FileSystem.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace mireth_test;

TEST(FileWriteProblemTest, NamesWhatKeepsAFileFromBeingWrittenAndTouchesNothing) {
    TempFolder temp;
    ASSERT_TRUE(temp.ok());
    const CWString file = temp / u"setup.ini";
    ASSERT_TRUE(writeFile(file, "[全局]\n域名=x\n"));
    const CWString missing = temp / u"new.ini";
    const CWString inMissingFolder =
        temp / u"absent" + std::u16string(1, PathRules::native().separator) + u"setup.ini";
    struct Case {
        const char* what;
        CWString path;
        bool writable;
    };
    const Case cases[] = {
        {"an existing file", file, true},
        {"a file that is not there yet", missing, true},
        {"a file in a missing folder", inMissingFolder, false},
        {"a folder", temp.text(), false},
        {"an empty name", CWString(), false},
        {"a name with a zero unit", file + std::u16string_view(u"\0x", 2), false},
    };
    for (const Case& c : cases) {
        const std::u16string problem = platform::fileWriteProblem(c.path.view());
        EXPECT_EQ(problem.empty(), c.writable) << c.what;
    }
    // The probe neither truncates the file nor leaves one behind, nor makes folders.
    EXPECT_EQ(readFile(file), "[全局]\n域名=x\n");
    EXPECT_FALSE(platform::pathExists(missing.view()));
    EXPECT_FALSE(platform::pathExists((temp / u"absent").view()));
}

} // namespace
