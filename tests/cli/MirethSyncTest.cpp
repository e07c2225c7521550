// The built mireth-sync run as a program: every command and exit status, against
// the loopback module server where a server is needed.
#include "tests/cli/CliTestSupport.h"
#include "tests/cli/SyncProcess.h"
#include "tests/support/ModuleServer.h"
#include "tests/support/RunsUnderWine.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

namespace {

using namespace cli_test;

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t'))
        fields.push_back(field);
    if (!line.empty() && line.back() == '\t')
        fields.emplace_back();
    return fields;
}

#if defined(_WIN32)
const std::string kSeparator = "\\";
#else
const std::string kSeparator = "/";
#endif

const std::string kTitleLine = "序号\t方式\t文件名称\t路径\t更新时间\t大小";

// The table lines of one row with that file name, or empty.
std::vector<std::string> rowNamed(const SyncResult& result, const std::string& name) {
    for (const std::string& line : result.outputLines()) {
        const auto fields = fieldsOf(line);
        if (fields.size() == 6 && fields[2] == name)
            return fields;
    }
    return {};
}

class MirethSyncTest : public ::testing::Test {
protected:
    void SetUp() override { configFile = work.path() / "setup.ini"; }

    SyncResult sync(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--config", utf8Of(configFile)});
        return runProgram(syncProgram(), arguments);
    }

    // A configuration with the server's domain (marked for this test) and the
    // three module folders.
    void configure(const std::string& domainPrefix = {}) {
        domain = server.httpBase() + "_tag/" + tag() + "/" + domainPrefix;
        std::ostringstream ini;
        ini << "[全局]\n域名=" << domain << "\n";
        ini << "[视窗模块]\n路径=" << utf8Of(work.path() / "w") << "\n";
        ini << "[安卓模块]\n路径=" << utf8Of(work.path() / "a") << "\n";
        ini << "[服务器模块]\n路径=" << utf8Of(work.path() / "s") << "\n";
        writeFile(configFile, ini.str());
    }

    static std::string tag() {
        return std::string("cli-") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }

    mireth_test::ModuleServer server;
    TempFolder work{"sync"};
    fs::path configFile;
    std::string domain;
};

TEST_F(MirethSyncTest, HelpAndVersionNameEveryCommandAndOption) {
    const SyncResult help = runProgram(syncProgram(), {"--help"});
    EXPECT_EQ(help.status, 0) << help.error;
    for (const char* word : {"check KIND",
                             "update KIND",
                             "--force",
                             "--jobs N",
                             "--retries N",
                             "同时下载数",
                             "重试次数",
                             "config show",
                             "config get KEY",
                             "config set KEY VALUE",
                             "--config FILE",
                             "--json",
                             "--quiet",
                             "--version",
                             "Exit status",
                             "Example",
                             "rollback KIND [--job TIME]",
                             "history KIND",
                             "备份目录",
                             "保留备份数",
                             "更新记录.log"}) {
        EXPECT_NE(help.output.find(word), std::string::npos) << word;
    }
    EXPECT_TRUE(help.error.empty());

    const SyncResult version = runProgram(syncProgram(), {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output.rfind("mireth-sync ", 0), 0u) << version.output;
}

TEST_F(MirethSyncTest, UsageErrorsExitTwoWithAOneLineMessage) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"frobnicate"},
        {"check"},
        {"check", "x"},
        {"check", "w", "--force"},
        {"update", "w", "--frob"},
        {"config"},
        {"config", "get"},
        {"config", "get", "windows.colour"},
        {"config", "set", "domain"},
        {"config", "set", "domain", "a", "b"},
        {"--json", "config", "show"},
        {"--config"},
        {"--config", "a.ini", "--config=b.ini", "config", "show"},
        {"rollback"},
        {"rollback", "all"},
        {"rollback", "w", "a"},
        {"rollback", "w", "--job", "yesterday"},
        {"history", "w", "--job", "20260101-000000"},
        {"update", "w", "--job=20260101-000000"},
        {"history", "w", "--quiet"},
    };
    for (const auto& arguments : wrong) {
        const SyncResult result = runProgram(syncProgram(), arguments);
        std::string shown;
        for (const auto& a : arguments)
            shown += a + " ";
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_TRUE(result.output.empty()) << shown;
        EXPECT_EQ(result.error.rfind("mireth-sync: ", 0), 0u) << shown << result.error;
        EXPECT_EQ(std::count(result.error.begin(), result.error.end(), '\n'), 1) << shown << result.error;
    }
}

TEST_F(MirethSyncTest, ConfigSetThenGetKeepsTheFilesOtherSections) {
    writeFile(configFile, "; kept as written\n[其他程序]\n颜色=蓝\n[全局]\n域名=old\n额外=1\n");
    const std::string folder = utf8Of(work.path() / pathOf("模块 文件夹"));
    for (const auto& [key, value] :
         std::vector<std::pair<std::string, std::string>>{{"domain", "http://modules.example/"},
                                                          {"windows.folder", folder},
                                                          {"server.password", "p&w=d 密"},
                                                          {"android.qq", ""}}) {
        const SyncResult set = sync({"config", "set", key, value});
        ASSERT_EQ(set.status, 0) << key << set.error;
        EXPECT_TRUE(set.output.empty());
        const SyncResult get = sync({"config", "get", key});
        EXPECT_EQ(get.status, 0) << key;
        EXPECT_EQ(get.output, value + "\n") << key;
    }
    const std::string file = readFile(configFile);
    EXPECT_NE(file.find("; kept as written"), std::string::npos) << file;
    EXPECT_NE(file.find("[其他程序]"), std::string::npos) << file;
    EXPECT_NE(file.find("颜色=蓝"), std::string::npos) << file;
    EXPECT_NE(file.find("额外=1"), std::string::npos) << file;
}

TEST_F(MirethSyncTest, ConfigShowListsEveryKeyWithPasswordsMasked) {
    ASSERT_EQ(sync({"config", "set", "windows.password", "hunter2"}).status, 0);
    ASSERT_EQ(sync({"config", "set", "android.qq", "12345"}).status, 0);
    ASSERT_EQ(sync({"config", "set", "jobs", "8"}).status, 0);
    const SyncResult show = sync({"config", "show"});
    ASSERT_EQ(show.status, 0) << show.error;
    const std::vector<std::string> expected = {"domain=",
                                               "windows.qq=",
                                               "windows.password=********",
                                               "windows.folder=",
                                               "android.qq=12345",
                                               "android.password=",
                                               "android.folder=",
                                               "server.qq=",
                                               "server.password=",
                                               "server.folder=",
                                               "jobs=8",
                                               "retries=",
                                               "ca-file=",
                                               "verify-certificates=",
                                               "proxy=",
                                               "backup-folder=",
                                               "kept-backups="};
    EXPECT_EQ(show.outputLines(), expected);
    EXPECT_EQ(show.output.find("hunter2"), std::string::npos);
    EXPECT_EQ(sync({"config", "get", "windows.password"}).output, "hunter2\n");
    // A setting keeps the ten texts, and a value its key does not understand is refused.
    const SyncResult refused = sync({"config", "set", "jobs", "99"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.error.find("jobs takes a whole number from 1 to 16"), std::string::npos)
        << refused.error;
    EXPECT_EQ(sync({"config", "get", "jobs"}).output, "8\n");
    EXPECT_EQ(sync({"config", "get", "android.qq"}).output, "12345\n");

    // While backups are kept, the backup folder never comes to lie inside a module
    // folder, whichever key is set last.
    const std::string modules = utf8Of(work.path() / "mods");
    const struct {
        const char* key;
        std::string value;
        bool taken;
    } steps[] = {
        {"windows.folder", modules, true},
        {"backup-folder", modules + "/old", false},
        {"kept-backups", "0", true},
        {"backup-folder", modules + "/old", true},
        {"kept-backups", "2", false},
        {"backup-folder", "", true},
        {"kept-backups", "2", true},
        {"server.folder", utf8Of(work.path()), false},
        {"server.folder", modules + "2", true},
    };
    for (const auto& step : steps) {
        const SyncResult set = sync({"config", "set", step.key, step.value});
        EXPECT_EQ(set.status, step.taken ? 0 : 2) << step.key << "=" << step.value;
        if (!step.taken) {
            EXPECT_NE(set.error.find("inside the module folder"), std::string::npos) << set.error;
        }
    }
    EXPECT_EQ(sync({"config", "get", "kept-backups"}).output, "2\n");
    EXPECT_EQ(sync({"config", "get", "server.folder"}).output, modules + "2\n");
}

TEST_F(MirethSyncTest, WithoutConfigTheFileBesideTheProgramIsUsed) {
    // A copy of the program in a folder of its own, with its own setup.ini.
    const fs::path program = work.path() / "bin" / pathOf(syncProgram()).filename();
    fs::create_directories(program.parent_path());
    fs::copy_file(pathOf(syncProgram()), program);
    fs::permissions(program, fs::perms::owner_all, fs::perm_options::add);
    writeFile(program.parent_path() / "setup.ini", "[全局]\n域名=http://beside.example/\n");
    const SyncResult get = runProgram(utf8Of(program), {"config", "get", "domain"});
    EXPECT_EQ(get.status, 0) << get.error;
    EXPECT_EQ(get.output, "http://beside.example/\n");
}

TEST_F(MirethSyncTest, AKindWithoutDomainOrFolderIsRefusedBeforeTheServerIsAsked) {
    configure();
    std::string ini = readFile(configFile);
    ini.replace(ini.find("[安卓模块]\n路径="), std::string("[安卓模块]\n路径=").size(), "[安卓模块]\nx=");
    writeFile(configFile, ini);
    server.clearRequests(tag());
    const SyncResult result = sync({"check", "w", "a"});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.output.empty());
    EXPECT_NE(result.error.find("a: 请先在配置界面进行各参数的配置"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("android.folder"), std::string::npos) << result.error;
    EXPECT_EQ(result.error.find("w: "), std::string::npos) << result.error;
    EXPECT_TRUE(server.recordedRequests(tag()).empty());

    writeFile(configFile, "");
    const SyncResult bare = sync({"update", "s"});
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.error.find("domain and server.folder are empty"), std::string::npos) << bare.error;
    const SyncResult none = sync({"check", "all"});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.errorLines().size(), 3u) << none.error;
}

// "_pad/1/" turns the one empty answer, empty.ext's, into one byte: a file that fails.
constexpr const char* kEmptyFails = "_pad/1/";

TEST_F(MirethSyncTest, AllWorksOnEveryConfiguredKindAndNamesTheOthers) {
    configure(kEmptyFails);
    std::string ini = readFile(configFile);
    ini.replace(ini.find("[安卓模块]\n路径="), std::string("[安卓模块]\n路径=").size(), "[安卓模块]\nx=");
    writeFile(configFile, ini);
    const SyncResult result = sync({"--quiet", "update", "all"});
    EXPECT_EQ(result.status, 1) << result.error; // empty.ext of the Windows kind
    EXPECT_NE(result.error.find("a: 请先在配置界面进行各参数的配置 (android.folder is empty in "),
              std::string::npos)
        << result.error;
    EXPECT_NE(result.error.find("; skipped"), std::string::npos) << result.error;
    std::vector<std::string> captions;
    for (const std::string& line : result.outputLines()) {
        if (line.starts_with("Mireth"))
            captions.push_back(line);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Mireth视窗模块", "Mireth服务器模块"}));
    EXPECT_EQ(readFile(work.path() / "s" / "server" / "svc.ext"), "server module\n");
    EXPECT_FALSE(fs::exists(work.path() / "a"));
}

TEST_F(MirethSyncTest, CheckAllPrintsATablePerKindAndDownloadsNothing) {
    configure();
    const SyncResult result = sync({"check", "all"});
    ASSERT_EQ(result.status, 0) << result.error;
    EXPECT_TRUE(result.error.empty()) << result.error;
    const auto lines = result.outputLines();
    std::vector<std::string> captions;
    std::size_t titles = 0, rows = 0;
    for (const std::string& line : lines) {
        if (line.starts_with("Mireth"))
            captions.push_back(line);
        else if (line == kTitleLine)
            ++titles;
        else if (fieldsOf(line).size() == 6)
            ++rows;
        else
            EXPECT_TRUE(line.empty()) << line;
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Mireth视窗模块", "Mireth安卓模块", "Mireth服务器模块"}));
    EXPECT_EQ(titles, 3u);
    EXPECT_EQ(rows, 9u + 2u + 1u);
    EXPECT_EQ(rowNamed(result, "界面库.ext"),
              (std::vector<std::string>{"9", "下载", "界面库.ext", "核心" + kSeparator + "界面库.ext",
                                        "2024-05-20 13:14:15", "16"}))
        << result.output;
    EXPECT_FALSE(fs::exists(work.path() / "w"));
    for (const auto& request : server.recordedRequests(tag()))
        EXPECT_EQ(request.path.find("download"), std::string::npos) << request.path;
}

TEST_F(MirethSyncTest, OneKindPrintsTheBareTable) {
    configure();
    const SyncResult result = sync({"check", "server"});
    ASSERT_EQ(result.status, 0) << result.error;
    const auto lines = result.outputLines();
    ASSERT_EQ(lines.size(), 2u) << result.output;
    EXPECT_EQ(lines[0], kTitleLine);
    EXPECT_EQ(fieldsOf(lines[1]),
              (std::vector<std::string>{"1", "下载", "svc.ext", "server" + kSeparator + "svc.ext",
                                        "2024-01-04 03:04:05", "14"}));
}

TEST_F(MirethSyncTest, JsonOutputParsesBackWithEveryRow) {
    configure();
    const SyncResult result = sync({"--json", "check", "s", "w", "a"});
    ASSERT_EQ(result.status, 0) << result.error;
    Json::Value root;
    std::string errors;
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    ASSERT_TRUE(
        reader->parse(result.output.data(), result.output.data() + result.output.size(), &root, &errors))
        << errors << result.output;
    ASSERT_TRUE(root.isArray());
    ASSERT_EQ(root.size(), 3u);
    EXPECT_EQ(root[0]["kind"].asString(), "s");
    EXPECT_EQ(root[1]["kind"].asString(), "w");
    EXPECT_EQ(root[2]["kind"].asString(), "a");
    ASSERT_EQ(root[1]["rows"].size(), 9u);
    bool found = false;
    for (const Json::Value& row : root[1]["rows"]) {
        EXPECT_TRUE(row["ordinal"].isInt());
        EXPECT_TRUE(row["size"].isInt());
        EXPECT_EQ(row["mode"].asString(), "下载");
        if (row["name"].asString() == "big.bin") {
            found = true;
            EXPECT_EQ(row["ordinal"].asInt(), 1);
            EXPECT_EQ(row["size"].asInt(), 300000);
            EXPECT_EQ(row["path"].asString(), "big.bin");
            EXPECT_EQ(row["updateTime"].asString(), "2024-07-01 10:00:00");
        }
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(root[2]["rows"][1]["name"].asString(), "安卓界面.ext");
    for (const Json::Value& kind : root)
        for (const Json::Value& row : kind["rows"])
            EXPECT_FALSE(row.isMember("reason")) << "a check fails no file";
}

TEST_F(MirethSyncTest, JsonGivesEveryFailedFileItsReason) {
    configure(kEmptyFails);
    const SyncResult result = sync({"--json", "--quiet", "update", "w", "--retries", "0"});
    EXPECT_EQ(result.status, 1) << result.error;
    Json::Value root;
    std::istringstream in(result.output);
    in >> root;
    ASSERT_EQ(root[0]["rows"].size(), 9u) << result.output;
    for (const Json::Value& row : root[0]["rows"]) {
        if (row["name"].asString() == "empty.ext") {
            EXPECT_EQ(row["mode"].asString(), "下载失败");
            EXPECT_EQ(row["reason"].asString(), "文件长度超过列表所给的 0 字节");
            EXPECT_EQ(row["reason_code"].asString(), "answer_too_long");
        } else {
            EXPECT_EQ(row["mode"].asString(), "成功");
            EXPECT_FALSE(row.isMember("reason")) << row["name"].asString();
            EXPECT_FALSE(row.isMember("reason_code")) << row["name"].asString();
        }
    }
}

TEST_F(MirethSyncTest, AnUpdateWithOneFailingFileExitsOne) {
    configure(kEmptyFails);
    const SyncResult result = sync({"update", "w"});
    EXPECT_EQ(result.status, 1) << result.error;
    // Not a terminal: no progress line; the failure with its reason, then the summary.
    const auto lines = result.errorLines();
    ASSERT_EQ(lines.size(), 2u) << result.error;
    EXPECT_EQ(lines[0], "mireth-sync: w: 下载失败 empty.ext: 文件长度超过列表所给的 0 字节");
    EXPECT_EQ(lines[1].rfind("mireth-sync: w: 8 成功, 1 下载失败, 0 保存失败; 294.3 KiB in ", 0), 0u)
        << lines[1];
    EXPECT_EQ(lines[1].substr(lines[1].size() - 2), " s");
    EXPECT_EQ(rowNamed(result, "empty.ext").at(1), "下载失败");
    for (const char* name : {"big.bin", "binary.bin", "z.ext", "a.ext", "界面库.ext", "root.ext"})
        EXPECT_EQ(rowNamed(result, name).at(1), "成功") << name;
    EXPECT_EQ(readFile(work.path() / "w" / pathOf("核心/界面库.ext")), "界面库模块\n");
    EXPECT_EQ(fs::file_size(work.path() / "w" / "big.bin"), 300000u);
    EXPECT_FALSE(fs::exists(work.path() / "w" / "empty.ext"));
}

#if !defined(_WIN32)
TEST_F(MirethSyncTest, ATerminalShowsTheProgressLineUnlessQuiet) {
    // big.bin (300000 bytes) trickles for about two seconds.
    // One file at a time, so that big.bin, the first, is the file shown.
    configure(std::string(kEmptyFails) + "_slow/150000/");
    const SyncResult shown =
        runOnTerminal(syncProgram(), {"--config", utf8Of(configFile), "update", "w", "--jobs", "1"});
    EXPECT_EQ(shown.status, 1) << shown.error;
    EXPECT_NE(shown.error.find("\rbig.bin  "), std::string::npos) << shown.error;
    EXPECT_NE(shown.error.find(" of 293.0 KiB  "), std::string::npos) << shown.error;
    EXPECT_NE(shown.error.find("/s  0/9 files"), std::string::npos) << shown.error;
    EXPECT_NE(shown.error.find("w: 8 成功, 1 下载失败, 0 保存失败; "), std::string::npos) << shown.error;
    EXPECT_EQ(rowNamed(shown, "big.bin").at(1), "成功");

    // Several at once: the one on its way longest, and how many more.
    fs::remove_all(work.path() / "w");
    const SyncResult parallel =
        runOnTerminal(syncProgram(), {"--config", utf8Of(configFile), "update", "w", "--jobs=3"});
    EXPECT_EQ(parallel.status, 1) << parallel.error;
    EXPECT_NE(parallel.error.find("\rbig.bin +"), std::string::npos) << parallel.error;

    fs::remove_all(work.path() / "w");
    const SyncResult quiet =
        runOnTerminal(syncProgram(), {"--config", utf8Of(configFile), "--quiet", "update", "w"});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.error.find("/9 files"), std::string::npos) << quiet.error;
    EXPECT_EQ(quiet.error.find("big.bin"), std::string::npos) << quiet.error;
    EXPECT_EQ(quiet.error.find("成功"), std::string::npos) << quiet.error;
    EXPECT_NE(quiet.error.find("w: 下载失败 empty.ext: "), std::string::npos) << quiet.error;
}
#endif

TEST_F(MirethSyncTest, AnUpdateThatFetchesEverythingExitsZeroAndASecondHasNothingToDo) {
    configure();
    const SyncResult first = sync({"--quiet", "update", "a"});
    ASSERT_EQ(first.status, 0) << first.error;
    EXPECT_TRUE(first.error.empty()) << first.error;
    EXPECT_EQ(rowNamed(first, "安卓界面.ext").at(1), "成功");
    EXPECT_EQ(readFile(work.path() / "a" / pathOf("安卓界面.ext")), "安卓\n");

    const SyncResult second = sync({"update", "a"});
    EXPECT_EQ(second.status, 0) << second.error;
    EXPECT_EQ(rowNamed(second, "lib1.ext").at(1), "");
    EXPECT_EQ(rowNamed(second, "安卓界面.ext").at(1), "");

    writeFile(work.path() / "a" / pathOf("安卓界面.ext"), "changed locally");
    const SyncResult forced = sync({"update", "a", "--force"});
    EXPECT_EQ(forced.status, 0) << forced.error;
    EXPECT_EQ(rowNamed(forced, "lib1.ext").at(1), "成功");
    EXPECT_EQ(readFile(work.path() / "a" / pathOf("安卓界面.ext")), "安卓\n");
}

TEST_F(MirethSyncTest, AListThatCannotBeFetchedOrUnderstoodExitsThree) {
    configure("_nonjson/");
    const SyncResult html = sync({"check", "w"});
    EXPECT_EQ(html.status, 3);
    EXPECT_NE(html.error.find("w: 应答不是模块列表（"), std::string::npos) << html.error;
    EXPECT_EQ(html.outputLines(), std::vector<std::string>{kTitleLine});

    // Nothing listens on port 1 of the loopback address.
    std::string ini = readFile(configFile);
    ini.replace(ini.find(domain), domain.size(), "http://127.0.0.1:1/");
    writeFile(configFile, ini);
    const SyncResult refused = sync({"update", "s"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_NE(refused.error.find("s: 获取模块列表失败（http://127.0.0.1:1/api/s/list）：无法连接服务器（"),
              std::string::npos)
        << refused.error;
}

TEST_F(MirethSyncTest, ControlCharactersInCellsNeitherBreakRowsNorReachTheTerminal) {
    // The list answer is given by the domain itself.
    const std::string answer =
        R"({"code":200,"data":[{"name":"a\tb\nc\u001b[2J.ext","path":"x/a\tb\r\nc.ext","size":5,"updateTime":"2024-01-01 00:00:00"},{"name":"d.ext","path":"d.ext","size":-1,"updateTime":"T"}]})";
    configure("_body/" + mireth_test::ModuleServer::percentEncoded(answer) + "/");
    const SyncResult result = sync({"check", "w"});
    ASSERT_EQ(result.status, 0) << result.error;
    const auto lines = result.outputLines();
    ASSERT_EQ(lines.size(), 3u) << result.output;
    EXPECT_EQ(fieldsOf(lines[1]).size(), 6u);
    EXPECT_EQ(fieldsOf(lines[1])[2], "a b c [2J.ext");
    EXPECT_EQ(fieldsOf(lines[1])[3], "x" + kSeparator + "a b  c.ext");
    EXPECT_EQ(fieldsOf(lines[2]), (std::vector<std::string>{"2", "下载", "d.ext", "d.ext", "T", "-1"}));

    const SyncResult json = sync({"--json", "check", "w"});
    ASSERT_EQ(json.status, 0);
    Json::Value root;
    std::istringstream in(json.output);
    in >> root;
    EXPECT_EQ(root[0]["rows"][0]["name"].asString(), "a\tb\nc\x1b[2J.ext");
    EXPECT_EQ(root[0]["rows"][1]["size"].asInt(), -1);
}

// ---- faults from outside: a killed run, a full disk, a server of its own certificate

#if !defined(_WIN32)
// The temporary files under `folder` (the module folders' leftovers).
std::vector<fs::path> temporaryFiles(const fs::path& folder) {
    std::vector<fs::path> found;
    if (!fs::exists(folder))
        return found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 5 && name.substr(name.size() - 5) == ".part")
            found.push_back(entry.path());
    }
    return found;
}

TEST_F(MirethSyncTest, ARunKilledHalfWayLeavesTheOldFileAndTheNextRunCompletes) {
    // big.bin trickles for six seconds; the run is killed while it is on its way.
    configure("_slow/50000/");
    writeFile(work.path() / "w" / "big.bin", "the old module");
    const int pid = startProgram(
        syncProgram(), {"--config", utf8Of(configFile), "--quiet", "update", "w", "--jobs", "1", "--force"});
    ASSERT_GT(pid, 0);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    std::vector<fs::path> partial;
    while (std::chrono::steady_clock::now() < limit) {
        partial = temporaryFiles(work.path() / "w");
        if (!partial.empty() && fs::file_size(partial.front()) > 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    killProgram(pid);
    ASSERT_EQ(partial.size(), 1u) << "the download was never seen on its way";
    EXPECT_EQ(readFile(work.path() / "w" / "big.bin"), "the old module");

    configure();
    const SyncResult again = sync({"--quiet", "update", "w", "--force"});
    EXPECT_EQ(again.status, 0) << again.error; // every file, empty.ext included
    EXPECT_EQ(rowNamed(again, "big.bin").at(1), "成功");
    EXPECT_EQ(fs::file_size(work.path() / "w" / "big.bin"), 300000u);
    EXPECT_TRUE(temporaryFiles(work.path() / "w").empty());
}

TEST_F(MirethSyncTest, AJobKilledAtAnyMomentLeavesEveryModuleOldOrWholeNew) {
    configure();
    const fs::path folder = work.path() / "w";
    // The new modules, as a run that is not killed leaves them, and its length.
    const auto started = std::chrono::steady_clock::now();
    const SyncResult whole = sync({"--quiet", "update", "w", "--force", "--jobs", "2"});
    const auto length = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(whole.status, 0) << whole.error; // every file, empty.ext included
    std::map<fs::path, std::string> fresh;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            fresh[entry.path()] = readFile(entry.path());
    ASSERT_GE(fresh.size(), 8u);

    std::random_device seed;
    std::mt19937 random(seed());
    const auto spread = std::chrono::duration_cast<std::chrono::microseconds>(length * 1.2).count();
    int mixed = 0;
    for (int run = 0; run < 20; ++run) {
        for (const auto& [path, content] : fresh)
            writeFile(path, "old " + utf8Of(path));
        // Moments over the whole job, one twentieth of it apart, each somewhere in its twentieth.
        const auto delay = std::chrono::microseconds(
            spread * run / 20 + std::uniform_int_distribution<long long>(0, spread / 20)(random));
        SCOPED_TRACE("killed after " + std::to_string(delay.count()) + " µs");
        const int pid = startProgram(syncProgram(), {"--config", utf8Of(configFile), "--quiet", "update", "w",
                                                     "--force", "--jobs", "2"});
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(delay);
        killProgram(pid);
        int replaced = 0;
        for (const auto& [path, content] : fresh) {
            const std::string now = readFile(path);
            EXPECT_TRUE(now == content || now == "old " + utf8Of(path)) << utf8Of(path) << ": " << now.size();
            replaced += now == content;
        }
        mixed += replaced > 0 && replaced < static_cast<int>(fresh.size());
    }
    // Not a condition (the machine's speed decides), but a run that never caught a
    // job half done has tested little.
    if (mixed == 0)
        std::printf("no run was killed while some modules were new and others old\n");
}

TEST_F(MirethSyncTest, ADiskThatFillsIsASaveFailureAndKeepsTheOldFile) {
    configure();
    writeFile(work.path() / "w" / "big.bin", "the old module");
    // A file-size limit of 100 KiB stands for the full disk: writes past it fail.
    const SyncResult full =
        runProgram("/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 200; exec \"$0\" \"$@\"", syncProgram(),
                               "--config", utf8Of(configFile), "--quiet", "update", "w", "--force"});
    EXPECT_EQ(full.status, 1) << full.error;
    EXPECT_EQ(rowNamed(full, "big.bin").at(1), "保存失败");
    EXPECT_NE(full.error.find("w: 保存失败 big.bin: 无法写入 "), std::string::npos) << full.error;
    EXPECT_EQ(rowNamed(full, "a.ext").at(1), "成功");
    EXPECT_EQ(readFile(work.path() / "w" / "big.bin"), "the old module");
    EXPECT_TRUE(temporaryFiles(work.path() / "w").empty());
}
#endif

TEST_F(MirethSyncTest, AServerOfItsOwnCertificateIsTrustedOnlyWhenToldTo) {
    const std::string https = server.httpsBase();
    ASSERT_FALSE(https.empty());
    configure();
    // By name: Schannel matches a certificate's DNS names only, not its addresses.
    std::string ini = readFile(configFile);
    ini.replace(ini.find(domain), domain.size(),
                "https://localhost:" + https.substr(https.rfind(':') + 1) + "_tag/" + tag() + "/");
    const std::string missing = utf8Of(work.path() / "no-such.pem");
    const std::string garbage = utf8Of(work.path() / "garbage.pem");
    writeFile(work.path() / "garbage.pem", "no certificate in here\n");
    const std::string refused = "服务器的证书未被接受";
    const std::string unchecked = "不校验服务器的证书";
    const struct {
        std::string extra; // lines of "全局"
        int status;
        std::string says; // on standard error
    } cases[] = {
        {"", 3, refused},
        {"证书文件=" + mireth_test::ModuleServer::nativePath("/etc/ssl/certs/ca-certificates.crt") + "\n", 3,
         refused},
        {"证书文件=" + server.certificateFile() + "\n", 0, ""},
        {"校验证书=0\n", 0, unchecked},
        {"校验证书=1\n", 3, refused},
        // A file that is not there or holds no certificate is no refused server.
        {"证书文件=" + missing + "\n", 3, "证书文件 " + missing + " 不存在"},
        {"证书文件=" + garbage + "\n", 3, "无法读取证书文件 " + garbage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extra);
        if (c.status != 0 && c.extra.rfind("证书文件", 0) != 0 && mireth_test::runsUnderWine())
            continue; // Wine's Schannel checks no certificate against the system's store
        std::string lines = ini;
        lines.insert(lines.find("[视窗模块]"), c.extra);
        writeFile(configFile, lines);
        const SyncResult result = sync({"check", "all"});
        EXPECT_EQ(result.status, c.status) << result.error;
        // The warning once for the whole run, not once a kind.
        std::size_t warnings = 0;
        for (const std::string& line : result.errorLines())
            warnings += line.find(unchecked) != std::string::npos ? 1 : 0;
        EXPECT_EQ(warnings, c.says == unchecked ? 1u : 0u) << result.error;
        if (!c.says.empty()) {
            EXPECT_NE(result.error.find(c.says), std::string::npos) << result.error;
        }
        if (c.status == 0) {
            ASSERT_EQ(rowNamed(result, "svc.ext").size(), 6u) << result.output;
            EXPECT_EQ(rowNamed(result, "svc.ext").at(1), "下载");
        } else {
            EXPECT_NE(result.error.find("s: 获取模块列表失败（"), std::string::npos) << result.error;
            const bool mendable = c.says == refused;
            EXPECT_EQ(result.error.find("\"校验证书\"=0") != std::string::npos, mendable) << result.error;
        }
    }
}

} // namespace

namespace {

// An update keeps the files it replaced; history lists the job, rollback undoes it
// (exit 0) and then finds nothing more to undo (exit 4).
TEST_F(MirethSyncTest, RollbackUndoesTheLastUpdateThatHistoryLists) {
    configure();
    const fs::path old = work.path() / "a" / pathOf("安卓界面.ext");
    writeFile(old, "old");
    const auto oldTime = fs::last_write_time(old) - std::chrono::hours(24 * 365 * 30);
    fs::last_write_time(old, oldTime);
    const SyncResult updated = sync({"--quiet", "update", "a"});
    ASSERT_EQ(updated.status, 0) << updated.error;
    ASSERT_EQ(readFile(old), "安卓\n");

    const SyncResult history = sync({"history", "a"});
    EXPECT_EQ(history.status, 0) << history.error;
    ASSERT_EQ(history.outputLines().size(), 2u) << history.output;
    EXPECT_EQ(history.outputLines()[0], "时间\t替换\t新增");
    const auto job = fieldsOf(history.outputLines()[1]);
    ASSERT_EQ(job.size(), 3u);
    EXPECT_EQ(job[1], "1");
    EXPECT_NE(job[2], "0");
    EXPECT_NE(history.error.find(utf8Of(work.path() / pathOf("更新记录.log"))), std::string::npos)
        << history.error;

    const SyncResult json = sync({"--json", "history", "a"});
    Json::Value parsed;
    ASSERT_TRUE(Json::Reader().parse(json.output, parsed)) << json.output;
    EXPECT_EQ(parsed["jobs"][0]["time"].asString(), job[0]);
    EXPECT_EQ(parsed["jobs"][0]["added"].asString(), job[2]);

    const SyncResult undone = sync({"rollback", "a", "--job", job[0]});
    EXPECT_EQ(undone.status, 0) << undone.error;
    EXPECT_NE(undone.output.find(job[0]), std::string::npos) << undone.output;
    EXPECT_EQ(readFile(old), "old");
    EXPECT_EQ(fs::last_write_time(old), oldTime);
    EXPECT_FALSE(fs::exists(work.path() / "a" / "android" / "lib1.ext"));
    EXPECT_EQ(rowNamed(sync({"check", "a"}), "安卓界面.ext").at(1), "下载");

    const SyncResult none = sync({"--json", "rollback", "a"});
    EXPECT_EQ(none.status, 4) << none.error;
    ASSERT_TRUE(Json::Reader().parse(none.output, parsed)) << none.output;
    EXPECT_EQ(parsed["status"].asString(), "no_job");
    const auto log = readFile(work.path() / pathOf("更新记录.log"));
    EXPECT_NE(log.find("\t回滚\t" + job[0] + "\t"), std::string::npos) << log;

    // With setup.ini inside the module folder, so its default backup folder too, the
    // run says so before it starts, and no existing module is replaced.
    std::string ini = readFile(configFile);
    ini.replace(ini.find(utf8Of(work.path() / "a")), utf8Of(work.path() / "a").size(), utf8Of(work.path()));
    writeFile(configFile, ini);
    const fs::path inside = work.path() / pathOf("安卓界面.ext");
    writeFile(inside, "old");
    fs::last_write_time(inside, oldTime);
    const SyncResult refused = sync({"--quiet", "update", "a"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.error.rfind(
                  "mireth-sync: 备份目录 " + utf8Of(work.path() / pathOf("备份")) + " 在三方模块目录之内", 0),
              0u)
        << refused.error;
    EXPECT_EQ(readFile(inside), "old");
    EXPECT_EQ(rowNamed(sync({"check", "a"}), "安卓界面.ext").at(1), "下载");
}

} // namespace
