#include "runtime/core/Paths.h"
#include "runtime/platform/FileSystem.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace mireth_test;

// A file system in memory that records every call. A folder can be created when
// its parent (by the separator rules given) is present.
class FakeSystem : public PathSystem {
public:
    explicit FakeSystem(PathRules rules) : rules_(rules) {}

    void add(std::u16string_view path) { present_.insert(std::u16string(path)); }
    void addFolder(std::u16string_view path) {
        add(path);
        folders_.insert(std::u16string(path));
    }
    void failWith(std::u16string_view path, platform::CreateFolderResult result) {
        failing_ = std::u16string(path);
        failure_ = result;
    }

    bool exists(std::u16string_view path) const override {
        calls_.push_back(u"exists " + std::u16string(path));
        return present_.count(std::u16string(path)) != 0;
    }
    bool isFolder(std::u16string_view path) const override {
        calls_.push_back(u"folder " + std::u16string(path));
        return folders_.count(std::u16string(path)) != 0;
    }
    platform::CreateFolderResult createFolder(std::u16string_view path) const override {
        calls_.push_back(u"create " + std::u16string(path));
        const std::u16string name(path);
        if (name == failing_)
            return failure_;
        if (present_.count(name))
            return platform::CreateFolderResult::alreadyExists;
        const std::size_t cut = name.rfind(rules_.separator);
        std::u16string parent = cut == std::u16string::npos ? u"" : name.substr(0, cut == 0 ? 1 : cut);
        if (rules_.driveLetters && parent.size() == 2 && parent[1] == u':')
            parent += rules_.separator;
        if (!parent.empty() && !present_.count(parent))
            return platform::CreateFolderResult::pathNotFound;
        present_.insert(name);
        folders_.insert(name);
        return platform::CreateFolderResult::created;
    }

    std::vector<std::u16string>& calls() const { return calls_; }

private:
    PathRules rules_;
    mutable std::set<std::u16string> present_;
    mutable std::set<std::u16string> folders_;
    mutable std::vector<std::u16string> calls_;
    std::u16string failing_;
    platform::CreateFolderResult failure_ = platform::CreateFolderResult::failed;
};

std::u16string resolved(std::u16string_view base, std::u16string_view path,
                        PathRules rules = PathRules::windows()) {
    return std::u16string(resolvePath(CWString(base), CWString(path), rules).view());
}

TEST(ResolvePath, WindowsRules) {
    EXPECT_EQ(resolved(u"D:\\app\\", u"..\\data\\x.hlp"), u"D:\\data\\x.hlp");
    EXPECT_EQ(resolved(u"D:\\app", u"help\\x.hlp"), u"D:\\app\\help\\x.hlp");
    EXPECT_EQ(resolved(u"D:\\a\\b\\", u"..\\..\\x"), u"D:\\x");
    EXPECT_EQ(resolved(u"D:\\a\\", u".\\.\\x"), u"D:\\a\\x");
    EXPECT_EQ(resolved(u"D:\\a\\b\\.\\c\\", u"..\\x"), u"D:\\a\\b\\x");
    // Absolute paths stand on their own.
    EXPECT_EQ(resolved(u"D:\\app\\", u"C:\\other\\x.hlp"), u"C:\\other\\x.hlp");
    EXPECT_EQ(resolved(u"D:\\app\\", u"\\other\\..\\x.hlp"), u"\\other\\..\\x.hlp");
    // A relative base works too; a name at the very start can be taken away.
    EXPECT_EQ(resolved(u"b", u"..\\c"), u"c");
    EXPECT_EQ(resolved(u"", u"..\\c"), u"..\\c");
    EXPECT_EQ(resolved(u"D:\\app\\", u""), u"D:\\app\\");
}

TEST(ResolvePath, ClimbingAboveTheRootStopsThere) {
    // No folder before the "..": the path is returned as it stands at that point.
    EXPECT_EQ(resolved(u"D:\\", u"..\\x"), u"D:\\..\\x");
    EXPECT_EQ(resolved(u"D:\\a\\", u"..\\..\\x"), u"D:\\..\\x");
    EXPECT_EQ(resolved(u"/a/", u"../../x", PathRules::posix()), u"/../x");
}

TEST(ResolvePath, PosixRules) {
    EXPECT_EQ(resolved(u"/srv/app/", u"../data/x.hlp", PathRules::posix()), u"/srv/data/x.hlp");
    EXPECT_EQ(resolved(u"/srv/app", u"./x", PathRules::posix()), u"/srv/app/x");
    EXPECT_EQ(resolved(u"/srv/app/", u"/etc/x", PathRules::posix()), u"/etc/x");
    // A drive letter means nothing here, and a backslash is part of a name.
    EXPECT_EQ(resolved(u"/srv/", u"C:/x", PathRules::posix()), u"/srv/C:/x");
    EXPECT_EQ(resolved(u"/srv/", u"..\\x", PathRules::posix()), u"/srv/..\\x");
}

TEST(IsAbsolutePath, RootOrDriveWithItsSeparator) {
    const struct {
        std::u16string_view path;
        bool windows;
        bool posix;
    } cases[] = {
        {u"\\x", true, false},   {u"D:\\x", true, false}, {u"D:\\", true, false},
        {u"D:x", false, false},  {u"D:", false, false},   {u"/x", false, true},
        {u"C:/x", false, false}, {u"x\\y", false, false}, {u"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isAbsolutePath(c.path, PathRules::windows()), c.windows) << CWString(c.path).toUtf8String();
        EXPECT_EQ(isAbsolutePath(c.path, PathRules::posix()), c.posix) << CWString(c.path).toUtf8String();
    }
}

TEST(HelpFilePath, BesideTheProgramUnlessAbsoluteAndOnlyAFile) {
    FakeSystem system(PathRules::windows());
    system.add(u"D:\\app\\x.hlp");
    system.add(u"D:\\doc\\x.hlp");
    system.add(u"C:\\h\\x.hlp");
    system.addFolder(u"D:\\app\\help");
    const struct {
        std::u16string_view file;
        std::u16string_view folder;
        std::u16string_view path; // empty: none
    } cases[] = {
        {u"x.hlp", u"D:\\app\\", u"D:\\app\\x.hlp"},
        {u"..\\doc\\x.hlp", u"D:\\app\\", u"D:\\doc\\x.hlp"},
        {u"C:\\h\\x.hlp", u"D:\\app\\", u"C:\\h\\x.hlp"},
        {u"C:\\h\\x.hlp", u"", u"C:\\h\\x.hlp"},
        {u"missing.hlp", u"D:\\app\\", u""},
        {u"help", u"D:\\app\\", u""},    // a folder
        {u"D:x.hlp", u"D:\\app\\", u""}, // relative to the program, so D:\app\D:x.hlp
        {u"", u"D:\\app\\", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(helpFilePath(CWString(c.file), CWString(c.folder), PathRules::windows(), system), c.path)
            << CWString(c.file).toUtf8String();
    }
    // Without the program's folder a relative name is never looked up (the current
    // folder would decide).
    system.calls().clear();
    EXPECT_TRUE(helpFilePath(CWString(u"x.hlp"), CWString(), PathRules::windows(), system).isEmpty());
    EXPECT_TRUE(system.calls().empty());

    FakeSystem posix(PathRules::posix());
    posix.add(u"/opt/app/doc/x.hlp");
    EXPECT_EQ(helpFilePath(CWString(u"doc/x.hlp"), CWString(u"/opt/app/"), PathRules::posix(), posix),
              u"/opt/app/doc/x.hlp");
}

TEST(PathExists, OneTrailingSeparatorDoesNotCount) {
    FakeSystem system(PathRules::windows());
    system.add(u"D:\\dir");
    EXPECT_TRUE(pathExists(CWString(u"D:\\dir\\"), PathRules::windows(), system));
    EXPECT_TRUE(pathExists(CWString(u"D:\\dir"), PathRules::windows(), system));
    EXPECT_FALSE(pathExists(CWString(u"D:\\dir\\\\"), PathRules::windows(), system));
    EXPECT_EQ(system.calls(),
              (std::vector<std::u16string>{u"exists D:\\dir", u"exists D:\\dir", u"exists D:\\dir\\"}));
}

TEST(PathExists, RootsKeepTheirSeparator) {
    FakeSystem system(PathRules::windows());
    pathExists(CWString(u"D:\\"), PathRules::windows(), system);
    pathExists(CWString(u"\\"), PathRules::windows(), system);
    FakeSystem posix(PathRules::posix());
    pathExists(CWString(u"/"), PathRules::posix(), posix);
    pathExists(CWString(u"/tmp/"), PathRules::posix(), posix);
    EXPECT_EQ(system.calls(), (std::vector<std::u16string>{u"exists D:\\", u"exists \\"}));
    EXPECT_EQ(posix.calls(), (std::vector<std::u16string>{u"exists /", u"exists /tmp"}));
    EXPECT_FALSE(pathExists(CWString(), PathRules::posix(), posix));
    EXPECT_EQ(posix.calls().size(), 2u) << "an empty path is not asked about";
}

TEST(CreateFolderTree, CreatesThreeMissingLevelsOutermostFirst) {
    FakeSystem system(PathRules::windows());
    system.add(u"D:\\");
    system.add(u"D:\\mods");
    EXPECT_TRUE(createFolderTree(CWString(u"D:\\mods\\a\\b\\c\\"), PathRules::windows(), system));
    EXPECT_EQ(system.calls(), (std::vector<std::u16string>{
                                  u"create D:\\mods\\a\\b\\c",
                                  u"create D:\\mods\\a\\b",
                                  u"create D:\\mods\\a",
                                  u"create D:\\mods\\a\\b",
                                  u"create D:\\mods\\a\\b\\c",
                              }));
    EXPECT_TRUE(system.exists(u"D:\\mods\\a\\b\\c"));
}

TEST(CreateFolderTree, RootsSucceedWithoutAskingTheSystem) {
    FakeSystem system(PathRules::windows());
    EXPECT_TRUE(createFolderTree(CWString(u"D:\\"), PathRules::windows(), system));
    EXPECT_TRUE(createFolderTree(CWString(u"d:"), PathRules::windows(), system));
    EXPECT_TRUE(createFolderTree(CWString(u"\\"), PathRules::windows(), system));
    FakeSystem posix(PathRules::posix());
    EXPECT_TRUE(createFolderTree(CWString(u"/"), PathRules::posix(), posix));
    EXPECT_TRUE(system.calls().empty());
    EXPECT_TRUE(posix.calls().empty());
}

TEST(CreateFolderTree, AMissingDriveIsTriedOnceMoreAfterTheRoot) {
    // The drive's root counts as present, so the retry alone decides.
    FakeSystem system(PathRules::windows());
    EXPECT_FALSE(createFolderTree(CWString(u"Q:\\x"), PathRules::windows(), system));
    EXPECT_EQ(system.calls(), (std::vector<std::u16string>{u"create Q:\\x", u"create Q:\\x"}));
}

TEST(CreateFolderTree, PosixChainUnderTheRoot) {
    FakeSystem system(PathRules::posix());
    system.add(u"/");
    EXPECT_TRUE(createFolderTree(CWString(u"/a/b/c"), PathRules::posix(), system));
    EXPECT_EQ(system.calls().back(), u"create /a/b/c");
    EXPECT_EQ(system.calls().size(), 5u);
    EXPECT_TRUE(system.exists(u"/a/b"));
}

TEST(CreateFolderTree, Failures) {
    FakeSystem system(PathRules::windows());
    EXPECT_FALSE(createFolderTree(CWString(), PathRules::windows(), system));
    EXPECT_TRUE(system.calls().empty());

    // A relative name without a separator has no parent to create.
    system.failWith(u"orphan", platform::CreateFolderResult::pathNotFound);
    EXPECT_FALSE(createFolderTree(CWString(u"orphan"), PathRules::windows(), system));
    EXPECT_EQ(system.calls().size(), 1u) << "only the name itself was tried";

    // Any error other than a missing parent ends at once.
    FakeSystem denied(PathRules::windows());
    denied.add(u"D:\\");
    denied.failWith(u"D:\\locked", platform::CreateFolderResult::failed);
    EXPECT_FALSE(createFolderTree(CWString(u"D:\\locked\\inner"), PathRules::windows(), denied));
    EXPECT_EQ(denied.calls(),
              (std::vector<std::u16string>{u"create D:\\locked\\inner", u"create D:\\locked"}));
    EXPECT_FALSE(denied.exists(u"D:\\locked\\inner"));
}

TEST(CreateFolderTree, AnExistingFolderSucceeds) {
    FakeSystem system(PathRules::windows());
    system.add(u"D:\\mods");
    EXPECT_TRUE(createFolderTree(CWString(u"D:\\mods"), PathRules::windows(), system));
    EXPECT_EQ(system.calls().size(), 1u);
}

TEST(ProgramFolder, FolderOfTheProgramFile) {
    EXPECT_EQ(folderOfFile(CWString(u"C:\\tools\\up.exe"), PathRules::windows()), u"C:\\tools\\");
    EXPECT_EQ(folderOfFile(CWString(u"/opt/mireth/mireth-sync"), PathRules::posix()), u"/opt/mireth/");
    EXPECT_TRUE(folderOfFile(CWString(u"up.exe"), PathRules::windows()).isEmpty());

    const CWString folder = programFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_EQ(folder[folder.length() - 1], PathRules::native().separator);
    const std::u16string file = platform::programFilePath();
    EXPECT_EQ(std::u16string_view(file).substr(0, folder.length()), folder.view());
    EXPECT_TRUE(platform::pathExists(file));
    EXPECT_TRUE(pathExists(folder)) << "checked without its trailing separator";
}

// The helpers and the platform calls on the real file system of this machine.
class RealFolders : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }
    TempFolder temp_;
    const char16_t sep_ = PathRules::native().separator;
};

TEST_F(RealFolders, CreateFolderTreeMakesTheWholeChain) {
    const CWString leaf = temp_.text() + std::u16string{sep_} + u"a" + std::u16string{sep_} + u"模块" +
                          std::u16string{sep_} + u"c" + std::u16string{sep_};
    EXPECT_FALSE(pathExists(leaf));
    EXPECT_TRUE(createFolderTree(leaf));
    EXPECT_TRUE(pathExists(leaf));
    EXPECT_TRUE(platform::isFolder(leaf.view().substr(0, leaf.length() - 1)));
    EXPECT_TRUE(createFolderTree(leaf)) << "a second time it is already there";

    // The root of the temporary folder's volume is never created.
    const CWString full = temp_.text();
    const CWString root(full.view().substr(0, PathRules::native().driveLetters ? 3 : 1));
    EXPECT_TRUE(createFolderTree(root));
}

TEST_F(RealFolders, CreateFolderTreeBelowAFileFails) {
    const CWString file = temp_ / u"plain";
    ASSERT_TRUE(writeFile(file, "x"));
    EXPECT_FALSE(createFolderTree(file + std::u16string{sep_} + u"sub"));
}

TEST_F(RealFolders, ReadsAndWritesFiles) {
    const CWString name = temp_ / u"数据.bin";
    std::string bytes;
    EXPECT_EQ(platform::readWholeFile(name.view(), bytes), platform::ReadFileResult::notFound);
    const CWString inMissingFolder = temp_ / u"missing" + std::u16string{sep_} + u"x";
    EXPECT_EQ(platform::readWholeFile(inMissingFolder.view(), bytes), platform::ReadFileResult::notFound);
    EXPECT_EQ(platform::readWholeFile(temp_.text().view(), bytes), platform::ReadFileResult::failed)
        << "a folder is not a file";

    std::string payload(100000, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>(i * 7 + 3);
    {
        platform::OutputFile out;
        ASSERT_TRUE(out.create(name.view()));
        EXPECT_EQ(out.write(payload.data(), payload.size()), payload.size());
        EXPECT_TRUE(out.close());
        EXPECT_FALSE(out.isOpen());
        EXPECT_FALSE(out.createNew(name.view())) << "the file is already there";
    }
    ASSERT_EQ(platform::readWholeFile(name.view(), bytes), platform::ReadFileResult::ok);
    EXPECT_EQ(bytes, payload);

    EXPECT_TRUE(platform::pathExists(name.view()));
    EXPECT_FALSE(platform::isFolder(name.view()));
    EXPECT_TRUE(platform::removeFile(name.view()));
    EXPECT_FALSE(platform::pathExists(name.view()));
    EXPECT_FALSE(platform::removeFile(name.view()));
}

TEST_F(RealFolders, RenameOverReplacesTheTarget) {
    const CWString from = temp_ / u"new.part";
    const CWString to = temp_ / u"module.dll";
    ASSERT_TRUE(writeFile(from, "new contents"));
    ASSERT_TRUE(writeFile(to, "old"));
    EXPECT_TRUE(platform::renameOver(from.view(), to.view()));
    EXPECT_EQ(readFile(to), "new contents");
    EXPECT_FALSE(platform::pathExists(from.view()));
    EXPECT_FALSE(platform::renameOver(from.view(), to.view())) << "the source is gone";
}

TEST_F(RealFolders, ReplaceFileContentsLeavesNoTemporaryFile) {
    const CWString target = temp_ / u"setup.ini";
    EXPECT_TRUE(platform::replaceFileContents(target.view(), "first", 5));
    EXPECT_TRUE(platform::replaceFileContents(target.view(), "second", 6));
    EXPECT_EQ(readFile(target), "second");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp_.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
    EXPECT_FALSE(platform::replaceFileContents(temp_.text().view(), "x", 1)) << "a folder is never replaced";
    const CWString inMissingFolder = temp_ / u"no" + std::u16string{sep_} + u"f";
    EXPECT_FALSE(platform::replaceFileContents(inMissingFolder.view(), "x", 1))
        << "the folder does not exist";
}

TEST_F(RealFolders, LastWriteTimeIsNow) {
    const CWString name = temp_ / u"fresh";
    ASSERT_TRUE(writeFile(name, "x"));
    std::int64_t fileTime = 0;
    ASSERT_TRUE(platform::fileLastWriteTime(name.view(), fileTime));
    const auto unixNow =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    const std::int64_t seconds1601 = fileTime / 10000000;
    EXPECT_NEAR(static_cast<double>(seconds1601 - 11644473600LL), static_cast<double>(unixNow), 120.0);
    EXPECT_FALSE(platform::fileLastWriteTime((temp_ / u"absent").view(), fileTime));
    EXPECT_FALSE(platform::fileLastWriteTime((temp_ / u"fr*").view(), fileTime)) << "no pattern lookups";
}

TEST_F(RealFolders, AZeroUnitNeverReachesTheSystem) {
    // Cut at the zero, the name would stand for the folder "cut" beside the real one.
    const CWString cut = temp_ / u"cut";
    std::u16string withZero(cut.view());
    withZero += u'\0';
    withZero += u"tail";
    EXPECT_EQ(platform::createFolder(withZero), platform::CreateFolderResult::failed);
    EXPECT_FALSE(createFolderTree(CWString(withZero.data(), withZero.size())));
    EXPECT_FALSE(platform::pathExists(cut.view()));
    platform::OutputFile out;
    EXPECT_FALSE(out.create(withZero));
    EXPECT_FALSE(platform::replaceFileContents(withZero, "x", 1));
    EXPECT_FALSE(platform::pathExists(cut.view()));
}

TEST_F(RealFolders, APathBeyondTheSystemsShortLimitWorks) {
    // Six folders of 50 characters: over MAX_PATH on Windows, where it goes to the
    // system in the long form.
    CWString folder = temp_.text();
    for (char16_t c = u'a'; c < u'g'; ++c)
        folder = folder + std::u16string{sep_} + std::u16string(50, c);
    const CWString file = folder + std::u16string{sep_} + u"模块.ext";
    const CWString part = file + u".~1.part";
    ASSERT_GT(file.length(), 300u);
    ASSERT_TRUE(createFolderTree(folder));
    EXPECT_TRUE(platform::isFolder(folder.view()));
    platform::OutputFile out;
    ASSERT_TRUE(out.createNew(part.view()));
    EXPECT_EQ(out.write("new", 3), 3u);
    EXPECT_TRUE(out.close());
    EXPECT_TRUE(platform::renameOver(part.view(), file.view()));
    std::string bytes;
    EXPECT_EQ(platform::readWholeFile(file.view(), bytes), platform::ReadFileResult::ok);
    EXPECT_EQ(bytes, "new");
    std::int64_t fileTime = 0;
    EXPECT_TRUE(platform::fileLastWriteTime(file.view(), fileTime));
    EXPECT_TRUE(platform::replaceFileContents(file.view(), "replaced", 8));
    EXPECT_EQ(platform::readWholeFile(file.view(), bytes), platform::ReadFileResult::ok);
    EXPECT_EQ(bytes, "replaced");
    EXPECT_TRUE(platform::removeFile(file.view()));
    EXPECT_FALSE(pathExists(file));
    EXPECT_FALSE(pathExists(part));
}

TEST_F(RealFolders, ANameLongerThanTheFileSystemAllowsFailsAndWritesNothing) {
    const CWString tooLong = temp_ / std::u16string(300, u'x');
    EXPECT_NE(platform::createFolder(tooLong.view()), platform::CreateFolderResult::created);
    platform::OutputFile out;
    EXPECT_FALSE(out.create(tooLong.view()));
    EXPECT_FALSE(platform::replaceFileContents(tooLong.view(), "x", 1));
    EXPECT_TRUE(std::filesystem::is_empty(temp_.path())) << "nothing under another name either";
}

TEST(SystemPathForm, LongPathsTakeTheLongFormOfTheSameFile) {
    const std::u16string zero(u"a\0b", 3);
    EXPECT_EQ(platform::systemPathForm(zero), u"");
    EXPECT_EQ(platform::systemPathForm(u""), u"");
#if defined(_WIN32)
    const std::u16string name(120, u'n');
    EXPECT_EQ(platform::systemPathForm(u"C:\\short\\a.ext"), u"C:\\short\\a.ext");
    struct Case {
        std::u16string path;
        std::u16string form;
    };
    const Case cases[] = {
        {u"C:\\" + name + u"\\" + name + u"\\a.ext", u"\\\\?\\C:\\" + name + u"\\" + name + u"\\a.ext"},
        // Normalised first, as the system would normalise the short form.
        {u"C:/" + name + u"\\.\\x\\..\\" + name + u"\\\\a.ext",
         u"\\\\?\\C:\\" + name + u"\\" + name + u"\\a.ext"},
        {u"\\\\server\\share\\" + name + u"\\" + name, u"\\\\?\\UNC\\server\\share\\" + name + u"\\" + name},
        {u"\\\\?\\C:\\" + name + u"\\..\\" + name, u"\\\\?\\C:\\" + name + u"\\..\\" + name},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::systemPathForm(c.path), c.form) << CWString(c.path).toUtf8String();
    // Where the system takes such a name for the device, the path is refused
    // rather than handed over as "\\.\CON".
    const std::u16string device = platform::systemPathForm(u"C:\\" + name + u"\\" + name + u"\\CON");
    EXPECT_TRUE(device.empty() || device.starts_with(u"\\\\?\\C:\\")) << CWString(device).toUtf8String();
#else
    const std::u16string path = u"/tmp/" + std::u16string(300, u'n') + u"/./a";
    EXPECT_EQ(platform::systemPathForm(path), path);
#endif
}

} // namespace
