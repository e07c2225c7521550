// Reading the command line: kinds, options in any place, and what is refused.
#include "cli/CommandLine.h"
#include "cli/ConfigKeys.h"

#include <gtest/gtest.h>

namespace {

using namespace rg_quelt_app;
using namespace rg_quelt_app::cli;

ParsedCommandLine parse(std::initializer_list<const char16_t*> words) {
    std::vector<CWString> arguments;
    for (const char16_t* word : words)
        arguments.emplace_back(word);
    return parseCommandLine(arguments);
}

TEST(CommandLineTest, KindsExpandAllAndKeepTheFirstPlaceOfEach) {
    const auto parsed = parse({u"check", u"s", u"all", u"windows", u"a"});
    ASSERT_TRUE(parsed.ok) << parsed.error.toUtf8String();
    EXPECT_EQ(parsed.line.command, Command::Check);
    EXPECT_EQ(parsed.line.kinds,
              (std::vector<ModuleKind>{ModuleKind::Server, ModuleKind::Windows, ModuleKind::Android}));
    const auto all = parse({u"update", u"all"});
    ASSERT_TRUE(all.ok);
    EXPECT_EQ(all.line.kinds,
              (std::vector<ModuleKind>{ModuleKind::Windows, ModuleKind::Android, ModuleKind::Server}));
}

TEST(CommandLineTest, OptionsStandBeforeOrAfterTheCommandWords) {
    const auto parsed = parse({u"--json", u"update", u"w", u"--force", u"--config", u"我的.ini", u"-q"});
    ASSERT_TRUE(parsed.ok) << parsed.error.toUtf8String();
    EXPECT_EQ(parsed.line.command, Command::Update);
    EXPECT_TRUE(parsed.line.json);
    EXPECT_TRUE(parsed.line.quiet);
    EXPECT_TRUE(parsed.line.force);
    EXPECT_EQ(parsed.line.configFile.view(), u"我的.ini");
    const auto joined = parse({u"--config=x=y.ini", u"config", u"show"});
    ASSERT_TRUE(joined.ok);
    EXPECT_EQ(joined.line.configFile.view(), u"x=y.ini");
    EXPECT_EQ(joined.line.command, Command::ConfigShow);
}

TEST(CommandLineTest, JobsAndRetriesTakeAWholeNumberInTheirRange) {
    const auto separate = parse({u"update", u"w", u"--jobs", u"8", u"--retries", u"0"});
    ASSERT_TRUE(separate.ok) << separate.error.toUtf8String();
    EXPECT_EQ(separate.line.jobs, 8);
    EXPECT_EQ(separate.line.retries, 0);
    const auto joined = parse({u"--jobs=16", u"--retries=10", u"update", u"all"});
    ASSERT_TRUE(joined.ok) << joined.error.toUtf8String();
    EXPECT_EQ(joined.line.jobs, 16);
    EXPECT_EQ(joined.line.retries, 10);
    EXPECT_TRUE(joined.line.allKinds);
    // Unset: setup.ini decides.
    const auto plain = parse({u"update", u"a"});
    EXPECT_EQ(plain.line.jobs, 0);
    EXPECT_EQ(plain.line.retries, -1);
    EXPECT_FALSE(plain.line.allKinds);
}

TEST(CommandLineTest, ConfigSetTakesAnEmptyOrDashedValue) {
    const auto empty = parse({u"config", u"set", u"server.qq", u""});
    ASSERT_TRUE(empty.ok) << empty.error.toUtf8String();
    EXPECT_EQ(empty.line.command, Command::ConfigSet);
    EXPECT_EQ(empty.line.key.view(), u"server.qq");
    EXPECT_TRUE(empty.line.value.isEmpty());
    // A lone "-" is a value, not an option.
    const auto dash = parse({u"config", u"set", u"domain", u"-"});
    ASSERT_TRUE(dash.ok);
    EXPECT_EQ(dash.line.value.view(), u"-");
}

TEST(CommandLineTest, HelpAndVersionWinWherever) {
    EXPECT_EQ(parse({u"check", u"nonsense", u"--help"}).line.command, Command::Help);
    EXPECT_TRUE(parse({u"-h"}).ok);
    EXPECT_EQ(parse({u"--version", u"update"}).line.command, Command::Version);
}

TEST(CommandLineTest, MistakesAreRefusedWithTheirReason) {
    const struct {
        std::initializer_list<const char16_t*> words;
        std::u16string_view reason;
    } cases[] = {
        {{}, u"no command"},
        {{u"sync"}, u"unknown command 'sync'"},
        {{u"check"}, u"at least one module kind"},
        {{u"check", u"W"}, u"unknown module kind 'W'"},
        {{u"check", u"w", u"--force"}, u"--force belongs to update"},
        {{u"check", u"w", u"--jsonx"}, u"unknown option '--jsonx'"},
        {{u"config", u"get", u"domain", u"--quiet"}, u"belong to check and update"},
        {{u"config", u"list"}, u"unknown config action 'list'"},
        {{u"config", u"get", u"Domain"}, u"unknown key 'Domain'"},
        {{u"config", u"set", u"windows.qq"}, u"needs a KEY and a VALUE"},
        {{u"config", u"show", u"extra"}, u"unexpected argument 'extra'"},
        {{u"--config"}, u"needs a file name"},
        {{u"--config=", u"config", u"show"}, u"needs a file name"},
        {{u"update", u"w", u"--jobs"}, u"--jobs needs a whole number from 1 to 16"},
        {{u"update", u"w", u"--jobs", u"0"}, u"--jobs needs a whole number from 1 to 16"},
        {{u"update", u"w", u"--jobs=17"}, u"--jobs needs a whole number from 1 to 16"},
        {{u"update", u"w", u"--jobs", u"four"}, u"--jobs needs a whole number from 1 to 16"},
        {{u"update", u"w", u"--retries", u"-1"}, u"--retries needs a whole number from 0 to 10"},
        {{u"update", u"w", u"--retries=11"}, u"--retries needs a whole number from 0 to 10"},
        {{u"check", u"w", u"--jobs", u"2"}, u"--jobs and --retries belong to update"},
        {{u"config", u"show", u"--retries", u"1"}, u"belong to check and update"},
    };
    for (const auto& c : cases) {
        std::vector<CWString> arguments;
        for (const char16_t* word : c.words)
            arguments.emplace_back(word);
        const auto parsed = parseCommandLine(arguments);
        EXPECT_FALSE(parsed.ok) << CWString(c.reason).toUtf8String();
        EXPECT_NE(parsed.error.view().find(c.reason), std::u16string_view::npos)
            << parsed.error.toUtf8String() << " / " << CWString(c.reason).toUtf8String();
    }
}

TEST(ConfigKeysTest, EveryKeyNamesItsOwnFieldAndOnlyPasswordsAreMasked) {
    std::size_t count = 0;
    const ConfigKey* keys = configKeys(count);
    ASSERT_EQ(count, 17u);
    rg_PeiZhiXinXiLei config;
    std::size_t fields = 0;
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_EQ(findConfigKey(keys[i].name), &keys[i]);
        EXPECT_NE(keys[i].field == nullptr, keys[i].globalKey == nullptr) << i;
        if (keys[i].field)
            config.*keys[i].field = CWString::fromInteger(static_cast<std::int64_t>(fields++));
    }
    EXPECT_EQ(fields, 10u);
    for (std::size_t i = 0; i < fields; ++i) {
        const bool password = std::u16string_view(keys[i].name).ends_with(u".password");
        EXPECT_EQ(shownValue(keys[i], config.*keys[i].field).view(),
                  password ? u"********" : CWString::fromInteger(static_cast<std::int64_t>(i)).view());
    }
    EXPECT_EQ(config.windowsFolder.view(), u"3");
    EXPECT_EQ(config.serverPassword.view(), u"8");
    EXPECT_TRUE(shownValue(*findConfigKey(u"android.password"), CWString()).isEmpty());
}

TEST(ConfigKeysTest, SettingsTakeTheValuesTheirKeysUnderstand) {
    const struct {
        const char16_t* key;
        const char16_t* value;
        bool taken;
    } cases[] = {
        {u"jobs", u"8", true},
        {u"jobs", u"0", false},
        {u"jobs", u"17", false},
        {u"jobs", u"", true},
        {u"retries", u"0", true},
        {u"retries", u"x", false},
        {u"verify-certificates", u"0", true},
        {u"verify-certificates", u"2", false},
        {u"ca-file", u"私有 CA.pem", true},
        {u"kept-backups", u"0", true},
        {u"kept-backups", u"101", false},
        {u"backup-folder", u"D:\\旧版本", true},
        {u"domain", u"anything", true},
        {u"proxy", u"直连", true},
        {u"proxy", u"HTTP://u:p@proxy.corp:3128", true},
        {u"proxy", u"socks5h://127.0.0.1:1080", true},
        {u"proxy", u"proxy.corp:8080", true},
        {u"proxy", u"", true},
        {u"proxy", u"ftp://proxy.corp:21", false},
        {u"proxy", u"http://", false},
        {u"proxy", u"http://u:p@", false},
        {u"proxy", u"proxy corp:8080", false},
        {u"proxy", u"代理服务器:8080", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(refusalOf(*findConfigKey(c.key), CWString(c.value)).isEmpty(), c.taken)
            << CWString(c.key).toUtf8String() << "=" << CWString(c.value).toUtf8String();
    // "config show" gives a proxy's password away no more than a module password.
    const ConfigKey& proxy = *findConfigKey(u"proxy");
    for (const auto& [value, shown] : {std::pair{u"http://me:pa:ss@p:1", u"http://me:********@p:1"},
                                       std::pair{u"me:pass@p:1", u"me:********@p:1"},
                                       std::pair{u"http://me@p:1/a:b@c", u"http://me@p:1/a:b@c"},
                                       std::pair{u"socks5h://p:1", u"socks5h://p:1"}})
        EXPECT_EQ(shownValue(proxy, CWString(value)).view(), shown);
}

} // namespace
