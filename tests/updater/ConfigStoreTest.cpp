#include "updater/ConfigStore.h"
#include "updater/GlobalSettingTexts.h"

#include "runtime/core/InitOrder.h"
#include "runtime/core/Paths.h"
#include "runtime/platform/CodePage.h"
#include "runtime/platform/FileWriteProblem.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using namespace mireth_test;

using namespace rg_quelt_app;

std::string utf8(std::u16string_view text) { return CWString(text).toUtf8String(); }

// The bytes of a file in the platform's Unicode form, with its line break.
std::string nativeFile(std::u16string_view lines) {
#ifdef _WIN32
    std::u16string text;
    for (const char16_t c : lines) {
        if (c == u'\n')
            text += u'\r';
        text += c;
    }
    std::string out = "\xFF\xFE";
    for (const char16_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
#else
    return utf8(lines);
#endif
}

rg_PeiZhiXinXiLei sample() {
    rg_PeiZhiXinXiLei record;
    record.domain = CWString(u"http://modules.example.test/");
    record.windowsQq = CWString(u"10001");
    record.windowsPassword = CWString(u"  pa=ss;\"word\"  ");
    record.windowsFolder = CWString(u"D:\\queltdev\\plugins\\queltprj_win\\classlib\\user");
    record.androidQq = CWString(u"10002");
    record.androidPassword = CWString(u"安卓密码");
    record.androidFolder = CWString(u"/home/用户/android");
    record.serverQq = CWString(u"10003");
    record.serverPassword = CWString(u"'quoted'");
    record.serverFolder = CWString(u"");
    return record;
}

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }
    TempFolder temp_;
    CWString file_ = temp_ / u"setup.ini";
};

TEST_F(ConfigFile, NoFileLoadsEmpty) {
    EXPECT_TRUE(LoadConfig(file_).equals(rg_PeiZhiXinXiLei()));
    EXPECT_FALSE(pathExists(file_));
}

TEST_F(ConfigFile, AFileWithOnlyTheDomain) {
    ASSERT_TRUE(writeFile(file_, utf8(u"[全局]\n域名=http://only.test/\n")));
    rg_PeiZhiXinXiLei expected;
    expected.domain = CWString(u"http://only.test/");
    EXPECT_TRUE(LoadConfig(file_).equals(expected));
}

TEST_F(ConfigFile, SavingEmptyValuesWritesAllTenKeysInOrder) {
    EXPECT_TRUE(SaveConfig(rg_PeiZhiXinXiLei(), file_));
    EXPECT_EQ(readFile(file_), nativeFile(u"[全局]\n域名=\n"
                                          u"[视窗模块]\nQQ号=\n密码=\n路径=\n"
                                          u"[安卓模块]\nQQ号=\n密码=\n路径=\n"
                                          u"[服务器模块]\nQQ号=\n密码=\n路径=\n"));
    EXPECT_TRUE(LoadConfig(file_).equals(rg_PeiZhiXinXiLei()));
}

TEST_F(ConfigFile, ARoundTripGivesAnEqualRecord) {
    const rg_PeiZhiXinXiLei saved = sample();
    ASSERT_TRUE(SaveConfig(saved, file_));
    const rg_PeiZhiXinXiLei loaded = LoadConfig(file_);
    EXPECT_TRUE(loaded.equals(saved));
    EXPECT_EQ(loaded.windowsPassword, u"  pa=ss;\"word\"  ");
    EXPECT_EQ(loaded.serverPassword, u"'quoted'");

    // Saving again over the file changes values in place.
    rg_PeiZhiXinXiLei changed = saved;
    changed.domain = CWString(u"http://other.test/");
    changed.androidFolder = CWString(u"");
    ASSERT_TRUE(SaveConfig(changed, file_));
    EXPECT_TRUE(LoadConfig(file_).equals(changed));
}

TEST_F(ConfigFile, LongValuesArriveCutTo10239) {
    const std::u16string exact(10239, u'x');
    const std::u16string longer = std::u16string(10239, u'y') + u"overflow";
    ASSERT_TRUE(writeFile(file_, utf8(u"[全局]\n域名=" + exact + u"\n[视窗模块]\n路径=" + longer +
                                      u"\n[安卓模块]\n路径=" + std::u16string(10240, u'z') + u"\n")));
    const rg_PeiZhiXinXiLei loaded = LoadConfig(file_);
    EXPECT_EQ(loaded.domain, exact);
    EXPECT_EQ(loaded.windowsFolder.length(), 10239u);
    EXPECT_EQ(loaded.windowsFolder, longer.substr(0, 10239));
    EXPECT_EQ(loaded.androidFolder.length(), 10239u);
}

TEST_F(ConfigFile, ForeignSectionsAndCommentsAreKeptByteForByte) {
    const std::u16string head = u"; 本文件由程序维护\n[其他程序]\nkey = keep  me \n\n";
    const std::u16string tail = u"\n; 结尾注释\n[Extra]\nA=1";
    const std::u16string before = head + u"[全局]\n域名=http://old.test/\n未知键=留着\n" + tail;
    ASSERT_TRUE(writeFile(file_, nativeFile(before)));

    rg_PeiZhiXinXiLei record;
    record.domain = CWString(u"http://new.test/");
    record.windowsQq = CWString(u"7");
    ASSERT_TRUE(SaveConfig(record, file_));
    EXPECT_EQ(readFile(file_),
              nativeFile(head + u"[全局]\n域名=http://new.test/\n未知键=留着\n" + tail +
                         u"\n[视窗模块]\nQQ号=7\n密码=\n路径=\n[安卓模块]\nQQ号=\n密码=\n路径=\n"
                         u"[服务器模块]\nQQ号=\n密码=\n路径=\n"));
}

TEST_F(ConfigFile, AnAnsiFileIsReadInTheSystemCodePage) {
    // Only meaningful where the system's ANSI code page holds Chinese and is not
    // UTF-8 (a Chinese Windows: GBK). Elsewhere the GBK case is covered with the
    // code page named explicitly, in the profile tests of the core.
    const std::string ansi = CWString(u"[全局]\r\n域名=http://gbk.test/\r\n").toAnsi();
    if (platform::ansiIsUtf8() || ansi.find('?') != std::string::npos)
        GTEST_SKIP() << "the system's ANSI code page has no Chinese";
    ASSERT_TRUE(writeFile(file_, ansi));
    EXPECT_EQ(LoadConfig(file_).domain, u"http://gbk.test/");
    ASSERT_TRUE(SaveConfig(LoadConfig(file_), file_));
    EXPECT_EQ(LoadConfig(file_).domain, u"http://gbk.test/");
    EXPECT_NE(readFile(file_).substr(0, ansi.size()), ansi) << "rewritten in the Unicode form";
}

TEST_F(ConfigFile, ReadIniTextRules) {
    ASSERT_TRUE(writeFile(file_, utf8(u"[全局]\n域名=\n密码=secret\n")));
    EXPECT_EQ(ReadIniText(file_, CWString(u"全局"), CWString(u"密码"), CWString(u"d")), u"secret");
    EXPECT_EQ(ReadIniText(file_, CWString(u"全局"), CWString(u"域名"), CWString(u"d")), u"")
        << "an empty value is not the default";
    EXPECT_EQ(ReadIniText(file_, CWString(u"全局"), CWString(u"缺"), CWString(u"d")), u"d");
    EXPECT_EQ(ReadIniText(file_, CWString(u"无"), CWString(u"密码"), CWString(u"d")), u"d");
    EXPECT_EQ(ReadIniText(temp_ / u"none.ini", CWString(u"全局"), CWString(u"密码"), CWString(u"d")), u"d");
    EXPECT_EQ(ReadIniText(CWString(), CWString(u"全局"), CWString(u"密码"), CWString(u"d")), u"");
    EXPECT_EQ(ReadIniText(file_, CWString(), CWString(u"密码"), CWString(u"d")), u"");
    EXPECT_EQ(ReadIniText(file_, CWString(u"全局"), CWString(), CWString(u"d")), u"");
}

TEST_F(ConfigFile, AnUnwritableFileIsReported) {
    const CWString inMissingFolder =
        temp_ / u"absent" + std::u16string{PathRules::native().separator} + u"setup.ini";
    EXPECT_FALSE(SaveConfig(sample(), inMissingFolder));
    EXPECT_FALSE(pathExists(temp_ / u"absent"));
    EXPECT_FALSE(SaveConfig(sample(), CWString()));

    // No temporary file fits beside a name this long: the old file stays whole.
    const CWString longName = temp_ / std::u16string(250, u'n');
    const std::string before = nativeFile(u"[全局]\n域名=http://old.test/\n");
    ASSERT_TRUE(writeFile(longName, before));
    EXPECT_FALSE(SaveConfig(sample(), longName));
    EXPECT_EQ(readFile(longName), before);
}

TEST(TransferSettingsTest, OnlyAWholeNumberInRangeCounts) {
    const struct {
        std::u16string_view text;
        std::optional<int> value; // within 1 to 16
    } cases[] = {
        {u"8", 8},    {u" 16\t", 16}, {u"1", 1},   {u"0", {}},           {u"17", {}}, {u"", {}},
        {u"   ", {}}, {u"-4", {}},    {u"+4", {}}, {u"4.0", {}},         {u"4x", {}}, {u"x4", {}},
        {u"0x8", {}}, {u"08", 8},     {u"１", {}}, {u"99999999999", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settingNumber(c.text, 1, 16), c.value) << utf8(c.text);
}

// Inside means inside as the file system sees it: named through "." or "..", with
// a trailing separator or (on Windows) another letter case or separator.
TEST(InsideFolderTest, ComparesTheFoldersTheNamesLeadTo) {
    const struct {
        std::u16string_view folder, moduleFolder;
        bool inside;
    } cases[] = {
#ifdef _WIN32
        {u"C:\\m\\备份", u"C:\\m", true},      {u"c:/M/x/", u"C:\\m\\", true},
        {u"C:\\m\\..\\备份", u"C:\\m", false}, {u"C:\\n\\..\\m\\.\\x", u"C:\\m", true},
        {u"C:\\mm", u"C:\\m", false},          {u"C:\\m", u"C:\\", true},
        {u"C:\\..\\..\\m", u"C:\\m", true},    {u"\\\\srv\\share\\m", u"\\\\srv\\share", true},
        {u"D:\\m", u"C:\\m", false},
#else
        {u"/m/备份", u"/m", true},     {u"/m/x/", u"/m/", true}, {u"/m/../备份", u"/m", false},
        {u"/n/../m/./x", u"/m", true}, {u"/mm", u"/m", false},   {u"/m", u"/", true},
        {u"/../../m", u"/m", true},    {u"/M/x", u"/m", false},  {u"/m/x", u"/m/x/..", true},
#endif
    };
    for (const auto& c : cases)
        EXPECT_EQ(isInsideFolder(CWString(c.folder), CWString(c.moduleFolder)), c.inside)
            << utf8(c.folder) << " in " << utf8(c.moduleFolder);
}

TEST_F(ConfigFile, TransferSettingsTakeTheirDefaultsUnlessSetWell) {
    TransferSettings defaults;
    defaults.systemProxy = platform::systemProxySettings(); // the user's, read with the file
    defaults.backupFolder = temp_ / u"备份";
    defaults.historyLog = temp_ / u"更新记录.log";
    EXPECT_TRUE(LoadTransferSettings(file_).equals(defaults));
    const struct {
        std::u16string_view parallel;
        std::u16string_view retries;
        int expectedParallel;
        int expectedRetries;
    } cases[] = {
        {u"8", u"0", 8, 0},   {u"16", u"10", 16, 10}, {u"1", u"3", 1, 3},    {u"0", u"11", 4, 2},
        {u"17", u"-1", 4, 2}, {u"", u"", 4, 2},       {u"many", u"x", 4, 2},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFile(file_, utf8(std::u16string(u"[全局]\n域名=http://x.test/\n同时下载数=") +
                                          std::u16string(c.parallel) + u"\n重试次数=" +
                                          std::u16string(c.retries) + u"\n")));
        const TransferSettings settings = LoadTransferSettings(file_);
        EXPECT_EQ(settings.parallelDownloads, c.expectedParallel) << utf8(c.parallel);
        EXPECT_EQ(settings.retries, c.expectedRetries) << utf8(c.retries);
    }
    // Saving the ten texts keeps the two keys as they were.
    ASSERT_TRUE(SaveConfig(sample(), file_));
    EXPECT_EQ(LoadTransferSettings(file_).parallelDownloads, 4);
    EXPECT_EQ(ReadGlobalSetting(file_, kParallelDownloadsKey), u"many");
    EXPECT_EQ(LoadConfig(file_).domain, sample().domain.view());
}

// "备份目录" is taken relative to setup.ini's folder, never inside a module folder;
// "保留备份数" is a whole number from 0 to 100. Where even the default lies inside a
// module folder, no backup can be made at all.
TEST_F(ConfigFile, TheBackupKeysTakeTheirDefaultsUnlessSetWell) {
    const CWString base = folderOfFile(file_);
    const CWString modules = temp_ / u"modules";
    const struct {
        CWString folder;
        std::u16string_view kept;
        CWString expectedFolder;
        int expectedKept;
        CWString moduleFolder = CWString(); // empty: `modules`
        bool inModules = false;
    } cases[] = {
        {CWString(), u"", temp_ / u"备份", 3},
        {CWString(u"旧版本"), u"0", temp_ / u"旧版本", 0},
        {CWString(u" elsewhere "), u"100", temp_ / u"elsewhere", 100},
        {modules, u"101", temp_ / u"备份", 3},
        {modules + u"/sub", u"-1", temp_ / u"备份", 3},
        {modules + u"x", u"2", modules + u"x", 2},
        {CWString(u"modules"), u"many", temp_ / u"备份", 3},
        // The program and its setup.ini inside the module folder.
        {CWString(), u"", temp_ / u"备份", 3, base, true},
        {CWString(u"旧版本"), u"", temp_ / u"备份", 3, base, true},
        {CWString(u"../elsewhere"), u"", resolvePath(base, CWString(u"../elsewhere")), 3, base},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(writeFile(
            file_,
            utf8(std::u16string(u"[全局]\n备份目录=") + std::u16string(c.folder.view()) + u"\n保留备份数=" +
                 std::u16string(c.kept) + u"\n[视窗模块]\n路径=" +
                 std::u16string((c.moduleFolder.isEmpty() ? modules : c.moduleFolder).view()) + u"\n")));
        const TransferSettings settings = LoadTransferSettings(file_);
        EXPECT_EQ(settings.backupFolder, resolvePath(base, c.expectedFolder).view()) << utf8(c.folder.view());
        EXPECT_EQ(settings.keptBackups, c.expectedKept) << utf8(c.kept);
        EXPECT_EQ(settings.backupFolderInModules, c.inModules) << utf8(c.folder.view());
        EXPECT_EQ(settings.backupNote().isEmpty(), !c.inModules || c.expectedKept == 0);
        EXPECT_EQ(settings.historyLog, (temp_ / u"更新记录.log").view());
    }
}

// The page shows what the engine goes by: a bad value as empty (its default), and
// what it saves reads back the same.
TEST_F(ConfigFile, TheGlobalSettingTextsAreWhatTheEngineTakes) {
    ASSERT_TRUE(writeFile(
        file_, utf8(u"[全局]\n同时下载数=many\n重试次数= 3 \n代理=ftp://p:21\n证书文件= ca.pem \n")));
    GlobalSettingTexts texts = LoadGlobalSettingTexts(file_);
    EXPECT_EQ(texts.parallelDownloads, u"");
    EXPECT_EQ(texts.retries, u"3");
    EXPECT_EQ(texts.proxy, u"");
    EXPECT_EQ(texts.caFile, u"ca.pem");
    EXPECT_TRUE(texts.verifyCertificates);
    EXPECT_EQ(texts.keptBackups, u"");
    EXPECT_EQ(texts.backupFolder, u"");
    texts = {CWString(u"12"), CWString(u""),         CWString(u"直连"), CWString(u"certs/ca.pem"),
             false,           CWString(u" 旧版本 "), CWString(u"0")};
    ASSERT_TRUE(SaveConfig(sample(), texts, file_));
    const GlobalSettingTexts back = LoadGlobalSettingTexts(file_);
    EXPECT_EQ(back.parallelDownloads, u"12");
    EXPECT_EQ(back.retries, u"");
    EXPECT_EQ(back.proxy, u"直连");
    EXPECT_EQ(back.caFile, u"certs/ca.pem");
    EXPECT_FALSE(back.verifyCertificates);
    EXPECT_EQ(back.backupFolder, u"旧版本");
    EXPECT_EQ(back.keptBackups, u"0");
    EXPECT_EQ(LoadConfig(file_).domain, sample().domain.view());

    // A backup folder inside a module folder about to be saved is refused while
    // backups are kept, whichever of the two was typed last.
    rg_PeiZhiXinXiLei record = sample();
    record.androidFolder = temp_ / u"模块";
    const struct {
        std::u16string_view folder, kept;
        bool refused;
    } cases[] = {
        {u"模块/备份", u"", true}, {u"模块", u"3", true}, {u"模块/备份", u"0", false},
        {u"模块2", u"", false},    {u"", u"", false},     {u"模块/备份", u"many", true},
    };
    for (const auto& c : cases) {
        texts = GlobalSettingTexts{};
        texts.backupFolder = CWString(c.folder);
        texts.keptBackups = CWString(c.kept);
        const CWString refusal = refusalOf(texts, record, file_);
        EXPECT_EQ(!refusal.isEmpty(), c.refused) << utf8(c.folder) << "|" << utf8(c.kept);
        if (c.refused) {
            EXPECT_EQ(refusal.view().rfind(c.kept == u"many" ? u"“保留备份数”" : u"“备份目录”", 0), 0u)
                << utf8(refusal.view());
        }
    }
    record.androidFolder = folderOfFile(file_);
    EXPECT_FALSE(refusalOf(GlobalSettingTexts{}, record, file_).isEmpty()) << "the default is inside too";
}

TEST_F(ConfigFile, TheProxyKeyChoosesTheRouteAndTheScriptIsToldOf) {
    const struct {
        std::u16string_view value;
        std::optional<std::string> taken; // nothing: libcurl reads the environment
    } cases[] = {
        {u" http://user:pw@p.corp:3128 ", "http://user:pw@p.corp:3128"},
        {u"socks5h://127.0.0.1:1080", "socks5h://127.0.0.1:1080"},
        {u"直连", ""},
        {u"", std::nullopt},
        {u"ftp://p.corp:21", std::nullopt}, // not understood: as if not set
        {u"http://", std::nullopt},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(
            writeFile(file_, utf8(std::u16string(u"[全局]\n代理=") + std::u16string(c.value) + u"\n")));
        EXPECT_EQ(LoadTransferSettings(file_).policy().proxy.proxyFor("http://m.example/"), c.taken)
            << utf8(c.value);
    }
    // A script is never run: the user hears what is taken instead, unless "代理" is set.
    TransferSettings settings;
    settings.systemProxy.autoConfigUrl = u"http://wpad/proxy.pac";
    const std::u16string direct(settings.proxyNote().view());
    EXPECT_NE(direct.find(u"（http://wpad/proxy.pac）不会被执行，将直接连接服务器"), std::u16string::npos)
        << utf8(direct);
    settings.systemProxy.proxy = u"p.corp:8080";
    EXPECT_NE(settings.proxyNote().view().find(u"改用其中的静态代理"), std::u16string_view::npos);
    settings.proxy = CWString(u"直连");
    EXPECT_TRUE(settings.proxyNote().isEmpty());
    EXPECT_TRUE(TransferSettings().proxyNote().isEmpty());
}

#ifndef _WIN32
TEST_F(ConfigFile, TheFileWithThePasswordsIsTheOwnersAlone) {
    ASSERT_TRUE(SaveConfig(sample(), file_));
    struct stat info;
    ASSERT_EQ(::stat(file_.toUtf8String().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}
#endif

TEST_F(ConfigFile, AReadOnlyFileIsLeftAsItWas) {
    ASSERT_TRUE(SaveConfig(sample(), file_));
    const std::filesystem::path path(std::u16string(file_.view()));
    const std::string before = readFile(file_);
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    struct Writable {
        const fs::path& path;
        ~Writable() {
            std::error_code ignored;
            fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, ignored);
        }
    } restore{path};
    if (platform::fileWriteProblem(file_.view()).empty())
        GTEST_SKIP() << "this process may write a read-only file (the superuser on POSIX)";
    rg_PeiZhiXinXiLei changed = sample();
    changed.domain = CWString(u"http://other.example/");
    EXPECT_FALSE(SaveConfig(changed, file_));
    EXPECT_EQ(readFile(file_), before);
}

TEST(ConfigLocation, SetupIniBesideTheProgram) {
    const CWString folder = programFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_EQ(configFilePath(), (folder + u"setup.ini").view());
}

TEST(GlobalConfig, BuiltAfterTheRuntimeState) {
    int runtime = -1, config = -1;
    for (int i = 0; i < staticInitCount(); ++i) {
        if (std::strcmp(staticInitName(i), "runtime") == 0)
            runtime = i;
        if (std::strcmp(staticInitName(i), "config") == 0)
            config = i;
    }
    ASSERT_GE(runtime, 0);
    ASSERT_GE(config, 0);
    EXPECT_LT(runtime, config);
    EXPECT_EQ(&globalConfig.classRecord(), &rg_PeiZhiXinXiLei::staticClassRecord());
}

} // namespace
