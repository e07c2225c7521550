#pragma once
// Path and folder helpers: the program's own folder, resolving a relative path
// against a folder, testing whether a path exists, and creating a folder together
// with its missing parents. They keep no state and may be called from any thread.
//
// The rules are written once for both kinds of path: Windows paths with '\' and
// drive letters ("D:\", "D:"), and POSIX paths with '/' and the root "/". The
// plain overloads use the running platform's kind; the others take the rules and
// the file-system calls explicitly, which is how the rules of either kind are
// checked on any machine.
#include "runtime/core/WString.h"
#include "runtime/platform/FileSystem.h"

#include <string_view>

struct PathRules {
    char16_t separator;
    bool driveLetters;

    static constexpr PathRules windows() { return {u'\\', true}; }
    static constexpr PathRules posix() { return {u'/', false}; }
    static constexpr PathRules native() {
#ifdef _WIN32
        return windows();
#else
        return posix();
#endif
    }
};

// The file-system calls that pathExists and createFolderTree make. The default
// object calls the platform; tests put their own in its place.
class PathSystem {
public:
    virtual ~PathSystem() = default;
    virtual bool exists(std::u16string_view path) const { return platform::pathExists(path); }
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

// `path` taken relative to the folder `base`, unless it is absolute (starts with the
// separator, or with a drive letter, ':' and the separator). "\.\" becomes "\";
// "\..\" goes away together with the folder before it; when there is no such folder
// the path is returned as it stands at that point. An empty base gives `path`
// unchanged, an empty path gives `base`.
CWString resolvePath(const CWString& base, const CWString& path, PathRules rules = PathRules::native());

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
