// The names of the files a download streams into, and which names count as ours.
#include "updater/TemporaryFiles.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace rg_quelt_app;

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

} // namespace
