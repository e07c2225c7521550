#pragma once
// Path and folder helpers: the program's own folder, telling an absolute path,
// resolving a relative path against a folder, finding a help file, testing whether
// a path exists, and creating a folder together with its missing parents. They keep no state and may be
// called from any thread.
//
// The rules are written once for both kinds of path: Windows paths with '\' and
// drive letters ("D:\", "D:"), and POSIX paths with '/' and the root "/". The
// plain overloads use the running platform's kind; the others take the rules and
// the file-system calls explicitly, which is how the rules of either kind are
// checked on any machine.
#include "runtime/core/WString.h"
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/PathStyle.h"

#include <string_view>

struct PathRules {
    char16_t separator;
    bool driveLetters;

    static constexpr PathRules windows() { return {u'\\', true}; }
    static constexpr PathRules posix() { return {u'/', false}; }
    static constexpr PathRules native() { return platform::kWindowsPaths ? windows() : posix(); }
};

// The file-system calls that the helpers below make. The default object calls the
// platform; tests put their own in its place.
class PathSystem {
public:
    virtual ~PathSystem() = default;
    virtual bool exists(std::u16string_view path) const { return platform::pathExists(path); }
    virtual bool isFolder(std::u16string_view path) const { return platform::isFolder(path); }
    virtual platform::CreateFolderResult createFolder(std::u16string_view path) const {
        return platform::createFolder(path);
    }
    static const PathSystem& real();
};

// The folder of the running program's file, ending with the separator; empty when
// the program's path cannot be read.
CWString programFolder();
// `file` cut after its last separator; empty when it has none.
CWString folderOfFile(const CWString& file, PathRules rules = PathRules::native());

// Starts with the separator, or with a drive letter's ':' and the separator ("D:\").
// A drive without a separator ("D:x") is relative: to that drive's current folder,
// which is nothing the program controls.
bool isAbsolutePath(std::u16string_view path, PathRules rules = PathRules::native());

// `path` taken relative to the folder `base`, unless isAbsolutePath. "\.\" becomes "\";
// "\..\" goes away together with the folder before it; when there is no such folder
// the path is returned as it stands at that point. An empty base gives `path`
// unchanged, an empty path gives `base`.
CWString resolvePath(const CWString& base, const CWString& path, PathRules rules = PathRules::native());

// The help file a form names, as it is opened: `file` resolved against the
// program's folder (an absolute path stays as it is). Empty when `file` is empty,
// when it is relative and the program's folder cannot be read, and when no file
// stands there (a folder of that name does not count).
CWString helpFilePath(const CWString& file);
CWString helpFilePath(const CWString& file, const CWString& programFolder, PathRules rules,
                      const PathSystem& system);

// A file or folder of that name exists. One trailing separator does not count,
// unless it is all there is or follows a drive's ':'.
bool pathExists(const CWString& path);
bool pathExists(const CWString& path, PathRules rules, const PathSystem& system);

// Creates the folder and every missing parent. True when the folder was created or
// was already there (the system's "already exists" also counts when the name is a
// file's: the caller's next step finds out). A root ("\", "/", "D:", "D:\") counts as
// present without asking the system. False for an empty path, when the outermost
// missing folder cannot be made, and for any failure other than a missing parent.
bool createFolderTree(const CWString& path);
bool createFolderTree(const CWString& path, PathRules rules, const PathSystem& system);
