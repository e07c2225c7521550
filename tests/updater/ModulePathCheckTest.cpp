#include "updater/ModulePathCheck.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace rg_quelt_app;

constexpr PathRules kPosix = PathRules::posix();
constexpr PathRules kWindows = PathRules::windows();

rg_LianJieYuSuoYinLei link(const char16_t* remoteFolder, const char16_t* leaf, const char16_t* name,
                           PathRules rules) {
    rg_LianJieYuSuoYinLei l;
    l.remoteFolder = remoteFolder;
    l.localFile = rules.separator == u'\\' ? CWString(u"C:\\mods\\") : CWString(u"/mods/");
    l.localFile += leaf;
    l.fileName = name;
    return l;
}

TEST(ModulePathCheck, NamesThatLeaveTheFolderAreRefusedByBothRules) {
    struct Case {
        const char16_t* remoteFolder;
        const char16_t* leaf;
        const char16_t* name;
        bool safe;
    };
    const Case cases[] = {
        {u"", u"a.ext", u"a.ext", true},
        {u"lib/sub", u"a.ext", u"界面库.ext", true},
        {u"lib", u"..a", u"a..b", true},
        {u"..", u"a.ext", u"a.ext", false},
        {u"lib/../..", u"a.ext", u"a.ext", false},
        {u"/etc", u"a.ext", u"a.ext", false},
        {u"C:", u"a.ext", u"a.ext", false},
        {u"lib//x", u"a.ext", u"a.ext", false},
        {u"lib/", u"a.ext", u"a.ext", false},
        {u"lib", u"", u"a.ext", false},
        {u"lib", u"..", u"a.ext", false},
        {u"lib", u".", u"a.ext", false},
        {u"lib", u"a.ext", u"", false},
        {u"lib", u"a.ext", u"../a.ext", false},
        {u"lib", u"a.ext", u"..\\a.ext", false},
        {u"lib", u"a:b", u"a.ext", false},
        {u"lib", u"a.ext", u"a.ext:stream", false},
    };
    for (const PathRules rules : {kPosix, kWindows}) {
        for (const Case& c : cases) {
            EXPECT_EQ(isSafeLink(link(c.remoteFolder, c.leaf, c.name, rules), rules), c.safe)
                << CWString(c.remoteFolder).toUtf8String() << " | " << CWString(c.leaf).toUtf8String()
                << " | " << CWString(c.name).toUtf8String()
                << (rules.separator == u'\\' ? " (Windows)" : " (POSIX)");
        }
        const char16_t withZero[] = {u'a', 0, u'b'};
        rg_LianJieYuSuoYinLei zero = link(u"lib", u"x", u"x", rules);
        zero.fileName = CWString(withZero, 3);
        EXPECT_FALSE(isSafeLink(zero, rules));
        // A local path without the rules' separator has no file part to check.
        EXPECT_FALSE(isSafeLink(link(u"", u"a", u"a", rules.separator == u'\\' ? kPosix : kWindows), rules));
    }
}

TEST(ModulePathCheck, WindowsNamesThatAreDevicesOrChangeOnTheWay) {
    struct Case {
        std::u16string name;
        bool device; // also refused by the Windows rules
    };
    const Case cases[] = {
        {u"CON", true},
        {u"nul.txt", true},
        {u"com1", true},
        {u"Lpt9.dll", true},
        {u"COM0", true},
        {u"lpt0.ext", true},
        {u"CON .txt", true},
        {u"nul..txt", true},
        {u"aux .dll", true},
        {u"prn   .x.y", true},
        {u"COM\u00B9", true},
        {u"com\u00B2.dll", true},
        {u"LPT\u00B3 .ext", true},
        {u"CONIN$", true},
        {u"conout$.txt", true},
        {u"console.txt", false},
        {u"COM10", false},
        {u"COM", false},
        {u"LPT\u2074", false}, // only the Latin-1 superscripts stand for digits
        {u" CON", false},
        {u"xNUL", false},
        {u"NUL_", false},
        {u"CONIN", false},
        {u"界面.ext", false},
    };
    for (const Case& c : cases) {
        const std::string shown = CWString(c.name).toUtf8String();
        EXPECT_EQ(isWindowsDeviceName(c.name), c.device) << shown;
        EXPECT_EQ(isSafeName(c.name, kWindows), !c.device) << shown;
        EXPECT_TRUE(isSafeName(c.name, kPosix)) << shown << ": a plain file name on Linux";
        // In any segment of the path, not only in the file name.
        EXPECT_EQ(
            isSafeLink(link((u"lib/" + c.name + u"/sub").c_str(), u"a.ext", u"a.ext", kWindows), kWindows),
            !c.device)
            << shown;
        EXPECT_EQ(isSafeLink(link(u"lib", c.name.c_str(), u"a.ext", kWindows), kWindows), !c.device) << shown;
    }
}

TEST(ModulePathCheck, WindowsRefusesTrailingDotsSpacesAndReservedCharacters) {
    for (const char16_t* name : {u"trailing.", u"trailing ", u"a. ", u"...", u"a<b", u"a>b", u"a\"b", u"a|b",
                                 u"a?b", u"a*b", u"tab\there", u"\u001Fx"}) {
        EXPECT_FALSE(isSafeName(name, kWindows)) << CWString(name).toUtf8String();
        EXPECT_TRUE(isSafeName(name, kPosix)) << CWString(name).toUtf8String();
    }
    for (const char16_t* name : {u".hidden", u"a b.ext", u"a.b.c", u"~tmp", u"ｃｏｎ"})
        EXPECT_TRUE(isSafeName(name, kWindows)) << CWString(name).toUtf8String();
}

TEST(ModulePathCheck, ThePlainOverloadsUseThePlatformsRules) {
#if defined(_WIN32)
    EXPECT_FALSE(isSafeName(u"CON .txt"));
    EXPECT_FALSE(isSafeLink(link(u"", u"a.ext", u"a.ext", kPosix)));
    EXPECT_TRUE(isSafeLink(link(u"", u"a.ext", u"a.ext", kWindows)));
#else
    EXPECT_TRUE(isSafeName(u"CON .txt"));
    EXPECT_TRUE(isSafeLink(link(u"", u"a.ext", u"a.ext", kPosix)));
    EXPECT_FALSE(isSafeLink(link(u"", u"a.ext", u"a.ext", kWindows)));
#endif
}

} // namespace
