#include "runtime/core/Paths.h"

#include <vector>

namespace {

bool isDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// One trailing separator goes, unless it is the whole path or ends a drive ("D:\").
std::u16string_view withoutTrailingSeparator(std::u16string_view path, PathRules rules) {
    if (path.size() > 1 && path.back() == rules.separator &&
        !(rules.driveLetters && path[path.size() - 2] == u':'))
        path.remove_suffix(1);
    return path;
}

bool isRoot(std::u16string_view path, PathRules rules) {
    if (path.size() == 1 && path[0] == rules.separator)
        return true;
    if (!rules.driveLetters || path.size() < 2 || path.size() > 3 || !isDriveLetter(path[0]) ||
        path[1] != u':')
        return false;
    return path.size() == 2 || path[2] == rules.separator;
}

bool createdOrThere(platform::CreateFolderResult result) {
    return result == platform::CreateFolderResult::created ||
           result == platform::CreateFolderResult::alreadyExists;
}

} // namespace

bool isAbsolutePath(std::u16string_view path, PathRules rules) {
    if (!path.empty() && path[0] == rules.separator)
        return true;
    return rules.driveLetters && path.size() >= 3 && path[1] == u':' && path[2] == rules.separator;
}

const PathSystem& PathSystem::real() {
    static const PathSystem system;
    return system;
}

CWString programFolder() {
    const std::u16string file = platform::programFilePath();
    return folderOfFile(CWString(file), PathRules::native());
}

CWString folderOfFile(const CWString& file, PathRules rules) {
    const std::u16string_view view = file.view();
    const std::size_t last = view.rfind(rules.separator);
    if (last == std::u16string_view::npos)
        return CWString();
    return CWString(view.substr(0, last + 1));
}

CWString resolvePath(const CWString& base, const CWString& path, PathRules rules) {
    if (base.isEmpty())
        return path;
    if (path.isEmpty())
        return base;
    if (isAbsolutePath(path.view(), rules))
        return path;

    std::u16string result(base.view());
    if (result.back() != rules.separator)
        result += rules.separator;
    result += path.view();

    const char16_t sep = rules.separator;
    const std::u16string here{sep, u'.', sep};
    for (std::size_t at = result.find(here); at != std::u16string::npos; at = result.find(here, at))
        result.erase(at, 2);

    const std::u16string up{sep, u'.', u'.', sep};
    for (std::size_t at = result.find(up); at != std::u16string::npos; at = result.find(up)) {
        // The folder name before "\..\": from the separator before it, or the start.
        const std::size_t before = at == 0 ? std::u16string::npos : result.rfind(sep, at - 1);
        const std::size_t nameStart = before == std::u16string::npos ? 0 : before + 1;
        const std::u16string_view name = std::u16string_view(result).substr(nameStart, at - nameStart);
        if (name.empty() || name == u"." || name == u".." || (rules.driveLetters && name.back() == u':'))
            break;
        // "a\b\..\c" keeps "a\" and "c"; a leading "b\..\c" keeps "c".
        if (before == std::u16string::npos)
            result.erase(0, at + up.size());
        else
            result.erase(before, at + up.size() - 1 - before);
    }
    return CWString(result);
}

CWString helpFilePath(const CWString& file) {
    return helpFilePath(file, programFolder(), PathRules::native(), PathSystem::real());
}

CWString helpFilePath(const CWString& file, const CWString& programFolder, PathRules rules,
                      const PathSystem& system) {
    // resolvePath would take an empty folder as "no base" and hand back `file` as it
    // stands, to be looked up in whatever the current folder is.
    if (file.isEmpty() || (programFolder.isEmpty() && !isAbsolutePath(file.view(), rules)))
        return CWString();
    const CWString path = resolvePath(programFolder, file, rules);
    if (!system.exists(path.view()) || system.isFolder(path.view()))
        return CWString();
    return path;
}

bool pathExists(const CWString& path) { return pathExists(path, PathRules::native(), PathSystem::real()); }

bool pathExists(const CWString& path, PathRules rules, const PathSystem& system) {
    if (path.isEmpty())
        return false;
    return system.exists(withoutTrailingSeparator(path.view(), rules));
}

bool createFolderTree(const CWString& path) {
    return createFolderTree(path, PathRules::native(), PathSystem::real());
}

bool createFolderTree(const CWString& path, PathRules rules, const PathSystem& system) {
    if (path.isEmpty())
        return false;
    const std::u16string_view full = withoutTrailingSeparator(path.view(), rules);
    if (isRoot(full, rules))
        return true;

    // Walk outwards while a parent is missing, then create the missing ones inwards.
    // A loop rather than recursion: a path may hold thousands of levels.
    std::vector<std::u16string_view> missing;
    std::u16string_view current = full;
    for (;;) {
        const platform::CreateFolderResult result = system.createFolder(current);
        if (createdOrThere(result))
            break;
        if (result != platform::CreateFolderResult::pathNotFound)
            return false;
        const std::size_t cut = current.rfind(rules.separator);
        if (cut == std::u16string_view::npos)
            return false;
        missing.push_back(current);
        // Cutting at a leading separator leaves the root itself.
        current = withoutTrailingSeparator(current.substr(0, cut == 0 ? 1 : cut), rules);
        if (current.empty())
            return false;
        if (isRoot(current, rules))
            break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!createdOrThere(system.createFolder(*it)))
            return false;
    }
    return true;
}
