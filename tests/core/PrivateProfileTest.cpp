#include "runtime/platform/PrivateProfile.h"

#include "runtime/core/WString.h"
#include "runtime/platform/CodePage.h"
#include "runtime/platform/FileSystem.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using namespace mireth_test;

using platform::ProfileDocument;
using platform::ProfileEncoding;

constexpr unsigned kGbk = 936;

std::string utf8(std::u16string_view text) { return CWString(text).toUtf8String(); }

std::string utf16le(std::u16string_view text, bool withMark = true) {
    std::string out = withMark ? "\xFF\xFE" : "";
    for (const char16_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

// The bytes of a new or ANSI file in the platform's Unicode form.
std::string nativeForm(std::u16string_view text) {
#ifdef _WIN32
    return utf16le(text);
#else
    return utf8(text);
#endif
}

std::u16string valueOf(const ProfileDocument& document, std::u16string_view section,
                       std::u16string_view key) {
    std::u16string value = u"<missing>";
    document.lookup(section, key, value);
    return value;
}

ProfileDocument documentOf(std::u16string_view text) { return ProfileDocument::fromBytes(utf8(text)); }

TEST(ProfileLookup, NamesMatchWithoutRegardToCaseOrBlanks) {
    const ProfileDocument document = documentOf(u"[Global]\n  Domain \t=  http://example.test/  \n"
                                                u"[ 视窗模块 ]\nQQ号=10001\n[ÄÖ]\nΣΚ=greek\nＡＢ=wide\n");
    EXPECT_EQ(valueOf(document, u"global", u"DOMAIN"), u"http://example.test/");
    EXPECT_EQ(valueOf(document, u"视窗模块", u"qq号"), u"10001");
    EXPECT_EQ(valueOf(document, u"äö", u"σκ"), u"greek");
    EXPECT_EQ(valueOf(document, u"ÄÖ", u"ａｂ"), u"wide");
    EXPECT_EQ(valueOf(document, u"视窗模块", u"QQ"), u"<missing>");
    EXPECT_EQ(valueOf(document, u"安卓模块", u"QQ号"), u"<missing>");
}

TEST(ProfileLookup, TheFirstMatchWins) {
    const ProfileDocument document =
        documentOf(u"k=before any section\n[a]\nk=1\nk=2\n[A]\nk=3\nonly=in second\n");
    EXPECT_EQ(valueOf(document, u"a", u"k"), u"1");
    // Only the first section of a name is read.
    EXPECT_EQ(valueOf(document, u"a", u"only"), u"<missing>");
}

TEST(ProfileLookup, QuotesCommentsAndOddLines) {
    const ProfileDocument document =
        documentOf(u"[s]\r\n; k=commented\r\nq=\"  padded \"\r\nsingle='x'\r\nhalf=\"x\r\nempty=\r\nbare\r\n"
                   u"eq=a=b\r\n[t");
    EXPECT_EQ(valueOf(document, u"s", u"k"), u"<missing>");
    EXPECT_EQ(valueOf(document, u"s", u"; k"), u"<missing>");
    EXPECT_EQ(valueOf(document, u"s", u"q"), u"  padded ");
    EXPECT_EQ(valueOf(document, u"s", u"single"), u"x");
    EXPECT_EQ(valueOf(document, u"s", u"half"), u"\"x");
    EXPECT_EQ(valueOf(document, u"s", u"empty"), u"");
    EXPECT_EQ(valueOf(document, u"s", u"bare"), u"");
    EXPECT_EQ(valueOf(document, u"s", u"eq"), u"a=b");
    // A section header without its bracket still opens the section.
    ProfileDocument changed = document;
    ASSERT_TRUE(changed.set(u"t", u"k", u"v"));
    EXPECT_EQ(valueOf(changed, u"t", u"k"), u"v");
    EXPECT_EQ(changed.text().substr(changed.text().size() - 9), u"[t\r\nk=v\r\n");
}

TEST(ProfileWrite, ReplacesOnlyTheValue) {
    ProfileDocument document = documentOf(u"; head\n[s]\nName = old value ; not a comment\nother=1\n");
    ASSERT_TRUE(document.set(u"S", u"name", u"new"));
    EXPECT_EQ(document.text(), u"; head\n[s]\nName = new\nother=1\n");
    // A key line without '=' gets one.
    document = documentOf(u"[s]\nflag\n");
    ASSERT_TRUE(document.set(u"s", u"FLAG", u"on"));
    EXPECT_EQ(document.text(), u"[s]\nflag=on\n");
}

TEST(ProfileWrite, AddsKeysAfterTheSectionsLastKey) {
    ProfileDocument document = documentOf(u"[a]\r\nx=1\r\n\r\n; about b\r\n[b]\r\ny=2");
    ASSERT_TRUE(document.set(u"a", u"z", u"3"));
    ASSERT_TRUE(document.set(u"b", u"w", u"4"));
    ASSERT_TRUE(document.set(u"c", u"v", u"5"));
    EXPECT_EQ(document.text(), u"[a]\r\nx=1\r\nz=3\r\n\r\n; about b\r\n[b]\r\ny=2\r\nw=4\r\n[c]\r\nv=5\r\n");
    // An empty section gets its first key right below the header.
    document = documentOf(u"[a]\n\n[b]\n");
    ASSERT_TRUE(document.set(u"a", u"k", u""));
    EXPECT_EQ(document.text(), u"[a]\nk=\n\n[b]\n");
}

TEST(ProfileWrite, ValuesReadBackAsWritten) {
    const std::u16string values[] = {u"  padded  ", u"\"quoted\"",  u"'single'", u"\"",
                                     u"tab\t",      u"a \"mid\" b", u"=;[]",     u""};
    ProfileDocument document;
    for (const std::u16string& value : values) {
        ASSERT_TRUE(document.set(u"s", u"k", value));
        EXPECT_EQ(valueOf(document, u"s", u"k"), value);
        EXPECT_EQ(valueOf(ProfileDocument::fromBytes(document.toBytes()), u"s", u"k"), value);
    }
}

TEST(ProfileWrite, AValueCannotAddLines) {
    ProfileDocument document = documentOf(u"[全局]\n域名=http://a/\n");
    ASSERT_TRUE(document.set(u"视窗模块", u"密码", u"x\r\n[全局]\n域名=http://evil/"));
    EXPECT_EQ(valueOf(document, u"全局", u"域名"), u"http://a/");
    EXPECT_EQ(valueOf(document, u"视窗模块", u"密码"), u"x  [全局] 域名=http://evil/");
}

TEST(ProfileWrite, RefusesNamesThatCouldNotBeReadBack) {
    ProfileDocument document = documentOf(u"[s]\nk=1\n");
    const std::u16string before = document.text();
    EXPECT_FALSE(document.set(u"", u"k", u"v"));
    EXPECT_FALSE(document.set(u"s", u"", u"v"));
    EXPECT_FALSE(document.set(u"a]b", u"k", u"v"));
    EXPECT_FALSE(document.set(u"s\n", u"k", u"v"));
    EXPECT_FALSE(document.set(u" s", u"k", u"v"));
    EXPECT_FALSE(document.set(u"s", u"k=", u"v"));
    EXPECT_FALSE(document.set(u"s", u";k", u"v"));
    EXPECT_FALSE(document.set(u"s", u"[k", u"v"));
    EXPECT_FALSE(document.set(u"s", u"k ", u"v"));
    EXPECT_EQ(document.text(), before);
}

TEST(ProfileEncodings, EachFormIsRecognised) {
    const std::u16string text = u"[全局]\r\n域名=http://a/\r\n";
    struct Case {
        std::string bytes;
        ProfileEncoding encoding;
    };
    std::string bigEndian = "\xFE\xFF";
    for (const char16_t c : text) {
        bigEndian += static_cast<char>(c >> 8);
        bigEndian += static_cast<char>(c & 0xFF);
    }
    const Case cases[] = {
        {utf16le(text), ProfileEncoding::utf16le},
        {bigEndian, ProfileEncoding::utf16be},
        {"\xEF\xBB\xBF" + utf8(text), ProfileEncoding::utf8Bom},
        {utf8(text), ProfileEncoding::utf8},
        {"[\xC8\xAB\xBE\xD6]\r\n\xD3\xF2\xC3\xFB=http://a/\r\n", ProfileEncoding::ansi},
    };
    for (const Case& c : cases) {
        const ProfileDocument document = ProfileDocument::fromBytes(c.bytes, kGbk);
        EXPECT_EQ(document.encoding(), c.encoding);
        EXPECT_EQ(document.text(), text);
        EXPECT_EQ(valueOf(document, u"全局", u"域名"), u"http://a/");
        // A Unicode file is written back in its own form, byte for byte.
        if (c.encoding != ProfileEncoding::ansi) {
            EXPECT_EQ(document.toBytes(), c.bytes);
        }
    }
    EXPECT_EQ(ProfileDocument::fromBytes("[a]\nk=v\n").encoding(), ProfileEncoding::ascii);
}

TEST(ProfileEncodings, AnsiAndAsciiFilesAreWrittenInTheUnicodeForm) {
    ProfileDocument gbk = ProfileDocument::fromBytes("[\xC8\xAB\xBE\xD6]\r\n\xD3\xF2\xC3\xFB=x\r\n", kGbk);
    ASSERT_TRUE(gbk.set(u"视窗模块", u"路径", u"D:\\模块"));
    EXPECT_EQ(gbk.toBytes(), nativeForm(u"[全局]\r\n域名=x\r\n[视窗模块]\r\n路径=D:\\模块\r\n"));

    ProfileDocument ascii = ProfileDocument::fromBytes("[a]\nk=v\n");
    ASSERT_TRUE(ascii.set(u"全局", u"域名", u"y"));
    EXPECT_EQ(ascii.toBytes(), nativeForm(u"[a]\nk=v\n[全局]\n域名=y\n"));
    EXPECT_EQ(ProfileDocument().toBytes(), nativeForm(u""));
}

TEST(ProfileEncodings, TheSystemAnsiFallback) {
    // Bytes that are not UTF-8 are read in the system's ANSI code page. Where that
    // is UTF-8 itself (a Linux UTF-8 or C locale) they cannot be decoded.
    // "全局" in GBK; its first two bytes alone would pass for UTF-8.
    const std::string bytes = "[s]\nk=\xC8\xAB\xBE\xD6\n";
    const ProfileDocument document = ProfileDocument::fromBytes(bytes);
    EXPECT_EQ(document.encoding(), ProfileEncoding::ansi);
    EXPECT_EQ(valueOf(document, u"s", u"k"), CWString::fromAnsi("\xC8\xAB\xBE\xD6").view());
    if (platform::ansiIsUtf8()) {
        EXPECT_EQ(valueOf(document, u"s", u"k"), u"\u022B\uFFFD\uFFFD");
    }
}

class ProfileFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }
    std::u16string get(std::u16string_view section, std::u16string_view key, std::size_t size = 100,
                       std::u16string_view fallback = u"<default>") {
        return platform::getPrivateProfileString(section, key, fallback, size, file_.view());
    }
    TempFolder temp_;
    CWString file_ = temp_ / u"setup.ini";
};

TEST_F(ProfileFiles, AMissingFileGivesTheDefault) {
    EXPECT_EQ(get(u"s", u"k"), u"<default>");
    EXPECT_EQ(get(u"s", u"k", 4), u"<de");
    EXPECT_EQ(get(u"s", u"k", 0), u"");
    EXPECT_FALSE(platform::pathExists(file_.view())) << "reading never creates the file";
}

TEST_F(ProfileFiles, ValuesAreCutToTheBufferLessOne) {
    ASSERT_TRUE(platform::writePrivateProfileString(u"s", u"k", u"0123456789", file_.view()));
    EXPECT_EQ(get(u"s", u"k", 11), u"0123456789");
    EXPECT_EQ(get(u"s", u"k", 10), u"012345678");
    EXPECT_EQ(get(u"s", u"k", 1), u"");
    EXPECT_EQ(get(u"s", u"missing"), u"<default>");
    EXPECT_EQ(get(u"", u"k"), u"<default>");
}

TEST_F(ProfileFiles, TheFirstWriteCreatesTheFileInTheUnicodeForm) {
    ASSERT_TRUE(platform::writePrivateProfileString(u"全局", u"域名", u"http://a/", file_.view()));
    ASSERT_TRUE(platform::writePrivateProfileString(u"全局", u"域名", u"http://b/", file_.view()));
#ifdef _WIN32
    EXPECT_EQ(readFile(file_), nativeForm(u"[全局]\r\n域名=http://b/\r\n"));
#else
    EXPECT_EQ(readFile(file_), nativeForm(u"[全局]\n域名=http://b/\n"));
#endif
    EXPECT_EQ(get(u"全局", u"域名"), u"http://b/");
}

TEST_F(ProfileFiles, ForeignLinesAreKeptByteForByte) {
    // A UTF-16 file and a UTF-8 file with a mark, each with comments, a foreign
    // section, odd spacing and a key before any section.
    const std::u16string before =
        u"top=level\r\n; 说明：不要改\r\n[Other]\r\n  Weird =  spaced  \r\n\r\n"
        u"[视窗模块]\r\nQQ号=1\r\n密码=old\r\n; trailing comment\r\n\r\n[尾]\r\nx=y";
    const std::u16string after = u"top=level\r\n; 说明：不要改\r\n[Other]\r\n  Weird =  spaced  \r\n\r\n"
                                 u"[视窗模块]\r\nQQ号=1\r\n密码=new\r\n; trailing comment\r\n\r\n[尾]\r\nx=y";
    const std::string forms[][2] = {{utf16le(before), utf16le(after)},
                                    {"\xEF\xBB\xBF" + utf8(before), "\xEF\xBB\xBF" + utf8(after)},
                                    {utf8(before), utf8(after)}};
    for (const auto& form : forms) {
        ASSERT_TRUE(writeFile(file_, form[0]));
        ASSERT_TRUE(platform::writePrivateProfileString(u"视窗模块", u"密码", u"new", file_.view()));
        EXPECT_EQ(readFile(file_), form[1]);
    }
}

TEST_F(ProfileFiles, AGbkFileIsReadAndRewrittenInUnicode) {
    ASSERT_TRUE(writeFile(file_, "[\xC8\xAB\xBE\xD6]\r\n\xD3\xF2\xC3\xFB=http://gbk/\r\n"
                                 "[\xCA\xD3\xB4\xB0\xC4\xA3\xBF\xE9]\r\nQQ\xBA\xC5=42\r\n"));
    EXPECT_EQ(platform::getPrivateProfileString(u"全局", u"域名", u"", 100, file_.view(), kGbk),
              u"http://gbk/");
    EXPECT_EQ(platform::getPrivateProfileString(u"视窗模块", u"QQ号", u"", 100, file_.view(), kGbk), u"42");
    ASSERT_TRUE(platform::writePrivateProfileString(u"视窗模块", u"QQ号", u"43", file_.view(), kGbk));
    EXPECT_EQ(readFile(file_), nativeForm(u"[全局]\r\n域名=http://gbk/\r\n[视窗模块]\r\nQQ号=43\r\n"));
    // Now Unicode, it reads the same whatever the ANSI code page.
    EXPECT_EQ(get(u"全局", u"域名"), u"http://gbk/");
}

TEST_F(ProfileFiles, FailedWritesChangeNothing) {
    const std::u16string separator{static_cast<char16_t>(std::filesystem::path::preferred_separator)};
    const CWString inMissingFolder = temp_ / u"absent" + separator + u"x.ini";
    EXPECT_FALSE(platform::writePrivateProfileString(u"s", u"k", u"v", inMissingFolder.view()));
    EXPECT_FALSE(platform::pathExists((temp_ / u"absent").view()));

    // A name that is a folder cannot be read, and is never replaced.
    EXPECT_FALSE(platform::writePrivateProfileString(u"s", u"k", u"v", temp_.text().view()));
    EXPECT_TRUE(platform::isFolder(temp_.text().view()));

    ASSERT_TRUE(writeFile(file_, "[s]\nk=1\n"));
    EXPECT_FALSE(platform::writePrivateProfileString(u"s", u"bad=key", u"v", file_.view()));
    EXPECT_EQ(readFile(file_), "[s]\nk=1\n");
}

TEST_F(ProfileFiles, OneRewriteForSeveralKeys) {
    const platform::ProfileEntry entries[] = {
        {u"a", u"x", u"1"}, {u"a", u"bad=key", u"2"}, {u"b", u"y", u"3"}, {u"a", u"x", u"4"}};
    EXPECT_FALSE(platform::writePrivateProfileStrings(entries, 4, file_.view())) << "one entry was left out";
#ifdef _WIN32
    EXPECT_EQ(readFile(file_), nativeForm(u"[a]\r\nx=4\r\n[b]\r\ny=3\r\n"));
#else
    EXPECT_EQ(readFile(file_), nativeForm(u"[a]\nx=4\n[b]\ny=3\n"));
#endif
    EXPECT_TRUE(platform::writePrivateProfileStrings(entries, 1, file_.view()));
    EXPECT_EQ(get(u"a", u"x"), u"1");
}

TEST_F(ProfileFiles, NoTemporaryFileBesideItMeansNoWrite) {
    // The name leaves no room for the temporary file's suffix within the file
    // system's limit of 255 units: the save must fail rather than rewrite in place.
    const CWString longName = temp_ / std::u16string(250, u'n');
    ASSERT_TRUE(writeFile(longName, "[s]\nk=1\n"));
    EXPECT_FALSE(platform::writePrivateProfileString(u"s", u"k", u"2", longName.view()));
    EXPECT_EQ(readFile(longName), "[s]\nk=1\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp_.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

#ifndef _WIN32
mode_t modeOf(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST_F(ProfileFiles, ANewFileIsPrivateAndAnOldOneKeepsItsMode) {
    const std::string native = file_.toUtf8String();
    const mode_t umaskBefore = ::umask(022);
    ASSERT_TRUE(platform::writePrivateProfileString(u"s", u"k", u"1", file_.view()));
    EXPECT_EQ(modeOf(native), 0600u) << "the file holds passwords";
    for (const mode_t mode : {0600, 0640, 0644, 0664, 0400}) {
        ASSERT_EQ(::chmod(native.c_str(), mode), 0);
        ASSERT_TRUE(platform::writePrivateProfileString(u"s", u"k", u"2", file_.view()));
        EXPECT_EQ(modeOf(native), mode);
    }
    ::umask(umaskBefore);
}
#endif

TEST_F(ProfileFiles, ASymbolicLinkIsWrittenThroughToItsTarget) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(fs::create_directory(temp_.path() / "real"));
    const CWString target((temp_.path() / "real" / "setup.ini").u16string());
    ASSERT_TRUE(writeFile(target, "[s]\nk=1\n"));
    // setup.ini -> middle.ini -> real/setup.ini, both relative.
    std::error_code error;
    fs::create_symlink(fs::path("real") / "setup.ini", temp_.path() / "middle.ini", error);
    if (error)
        GTEST_SKIP() << "the system makes no symbolic links here: " << error.message();
    fs::create_symlink("middle.ini", temp_.path() / "setup.ini");
#ifndef _WIN32
    ASSERT_EQ(::chmod(target.toUtf8String().c_str(), 0640), 0);
#endif
    ASSERT_TRUE(platform::writePrivateProfileString(u"s", u"k", u"2", file_.view()));
    EXPECT_TRUE(fs::is_symlink(temp_.path() / "setup.ini"));
    EXPECT_TRUE(fs::is_symlink(temp_.path() / "middle.ini"));
    EXPECT_EQ(readFile(target), "[s]\nk=2\n");
#ifndef _WIN32
    EXPECT_EQ(modeOf(target.toUtf8String()), 0640u);

    // A link to a file not yet there creates that file; a loop writes nothing.
    const CWString dangling = temp_ / u"dangling.ini";
    fs::create_symlink(temp_.path() / "real" / "new.ini", temp_.path() / "dangling.ini");
    ASSERT_TRUE(platform::writePrivateProfileString(u"s", u"k", u"3", dangling.view()));
    EXPECT_TRUE(fs::is_symlink(temp_.path() / "dangling.ini"));
    EXPECT_EQ(readFile(CWString((temp_.path() / "real" / "new.ini").u16string())), "[s]\nk=3\n");
    fs::create_symlink("loop.ini", temp_.path() / "loop.ini");
    EXPECT_FALSE(platform::writePrivateProfileString(u"s", u"k", u"4", (temp_ / u"loop.ini").view()));
    EXPECT_TRUE(fs::is_symlink(temp_.path() / "loop.ini"));
#endif
}

// The names in the test's folder, sorted.
std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(ProfileFiles, AHardLinkedFileIsWrittenThroughSoBothNamesSeeTheNewValues) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(writeFile(file_, "[s]\nk=1\n"));
    std::error_code error;
    fs::create_hard_link(temp_.path() / "setup.ini", temp_.path() / "other.ini", error);
    if (error)
        GTEST_SKIP() << "the file system makes no hard links here: " << error.message();
    for (const char16_t* value : {u"2", u"a longer value than before", u"3"}) {
        ASSERT_TRUE(platform::writePrivateProfileString(u"s", u"k", value, file_.view()));
        const std::string expected = nativeForm(u"[s]\nk=" + std::u16string(value) + u"\n");
        EXPECT_EQ(readFile(file_), expected);
        EXPECT_EQ(readFile(temp_ / u"other.ini"), expected) << "the other name of the file";
    }
#ifndef _WIN32
    // (The cross-built library's count says 1 for any file.)
    EXPECT_EQ(fs::hard_link_count(temp_.path() / "setup.ini"), 2u);
#endif
    EXPECT_EQ(namesIn(temp_.path()), (std::vector<std::string>{"other.ini", "setup.ini"}))
        << "the temporary file goes";
}

TEST_F(ProfileFiles, TemporaryFilesOfAnEarlierRunGoAtTheNextSave) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(writeFile(file_, "[s]\nk=1\n"));
    const struct {
        const char* name;
        bool old;
        bool stays;
    } cases[] = {
        {"setup.ini.~1f2e3d.tmp", true, false},
        {"setup.ini.~0123456789abcdef.tmp", true, false},
        {"setup.ini.~4d2.tmp", false, true},   // written since this program started
        {"other.ini.~1f2e3d.tmp", true, true}, // another file's
        {"setup.ini.~ABC.tmp", true, true},    // not of the form made here
        {"setup.ini.~0123456789abcdef0.tmp", true, true},
        {"setup.ini.~.tmp", true, true},
        {"setup.ini.~1f2e3d.part", true, true},
    };
    for (const auto& c : cases) {
        const fs::path path = temp_.path() / c.name;
        ASSERT_TRUE(writeFile(path, "[s]\npassword=old\n"));
        if (c.old)
            fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    ASSERT_TRUE(platform::writePrivateProfileString(u"s", u"k", u"2", file_.view()));
    for (const auto& c : cases)
        EXPECT_EQ(fs::exists(temp_.path() / c.name), c.stays) << c.name;
    EXPECT_EQ(readFile(file_), nativeForm(u"[s]\nk=2\n"));
}

#ifndef _WIN32
TEST_F(ProfileFiles, ASaveByTheSuperuserKeepsTheOwnerGroupAndModeOfTheFile) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can make a file of another owner to save over";
    const std::string native = file_.toUtf8String();
    ASSERT_TRUE(writeFile(file_, "[s]\nk=1\n"));
    const struct {
        uid_t owner;
        gid_t group;
        mode_t mode;
    } cases[] = {{1234, 1234, 0644}, {65534, 100, 0640}, {1234, 0, 0600}, {4321, 4321, 02664}};
    for (const auto& c : cases) {
        ASSERT_EQ(::chown(native.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(native.c_str(), c.mode), 0);
        ASSERT_TRUE(platform::writePrivateProfileString(u"s", u"k", u"2", file_.view()));
        struct stat info;
        ASSERT_EQ(::stat(native.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, c.owner);
        EXPECT_EQ(info.st_gid, c.group);
        EXPECT_EQ(info.st_mode & 07777, c.mode);
        EXPECT_EQ(info.st_nlink, 1u);
    }
    EXPECT_EQ(readFile(file_), "[s]\nk=2\n");
}
#endif

} // namespace
