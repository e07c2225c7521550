#include "runtime/platform/FileSystem.h"

#include "runtime/platform/SystemInfo.h"

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>
#include <windows.h>

namespace platform {

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is passed to Win32 as wchar_t");

namespace {

// From this length on a path goes to the system in its long form: CreateDirectoryW
// takes at most MAX_PATH - 12 characters as they stand, the other calls MAX_PATH - 1.
constexpr std::size_t kLongPathFrom = MAX_PATH - 12;

// The long form names the same file only when it is made from the normalised full
// path: the system does not normalise it (no '/', ".." or trailing dots there).
bool toLongForm(std::wstring& path) {
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return true;
    const DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (need == 0)
        return false;
    std::wstring full(need, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
    if (length == 0 || length >= need)
        return false;
    full.resize(length);
    // Only a file on a drive or a share: a name that the system turned into a
    // device ("\\.\CON") is refused rather than opened.
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\"))
        return false;
    if (full.starts_with(L"\\\\"))
        path = L"\\\\?\\UNC\\" + full.substr(2);
    else if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        path = L"\\\\?\\" + full;
    else
        return false;
    return true;
}

// False for a path the system must not see: empty, or holding a zero unit.
bool toNative(std::u16string_view path, std::wstring& out) {
    if (path.empty() || path.find(u'\0') != std::u16string_view::npos)
        return false;
    out.assign(reinterpret_cast<const wchar_t*>(path.data()), path.size());
    return out.size() < kLongPathFrom || toLongForm(out);
}

// Turns `path` into the file a symbolic link (or another name-surrogate reparse
// point) stands for, so that a replacement goes to the target and the link stays.
bool followLinks(std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::wstring target(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, target.data(), static_cast<DWORD>(target.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length >= target.size()) {
        target.resize(length);
        length = GetFinalPathNameByHandleW(file, target.data(), static_cast<DWORD>(target.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    CloseHandle(file);
    if (length == 0 || length >= target.size())
        return false;
    target.resize(length);
    path = std::move(target);
    return true;
}

DWORD attributesOf(std::u16string_view path) {
    std::wstring native;
    return toNative(path, native) ? GetFileAttributesW(native.c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool writeAll(HANDLE file, const void* data, std::size_t size, std::size_t& written) {
    const auto* bytes = static_cast<const char*>(data);
    written = 0;
    while (written < size) {
        const std::size_t rest = size - written;
        const DWORD chunk = rest > 0x40000000u ? 0x40000000u : static_cast<DWORD>(rest);
        DWORD n = 0;
        if (!WriteFile(file, bytes + written, chunk, &n, nullptr) || n == 0)
            return false;
        written += n;
    }
    return true;
}

// NtFlushBuffersFileEx, from ntdll at run time: older systems lack it (and its
// declaration is in the driver kit's headers only).
struct IoStatus {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};
using FlushBuffersFileEx = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, IoStatus*);
constexpr ULONG kFlushNoSync = 0x00000002; // FLUSH_FLAGS_NO_SYNC: data and metadata, no disk cache flush

FlushBuffersFileEx flushBuffersFileEx() {
    static const FlushBuffersFileEx found = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll ? reinterpret_cast<FlushBuffersFileEx>(
                           reinterpret_cast<void*>(GetProcAddress(ntdll, "NtFlushBuffersFileEx")))
                     : nullptr;
    }();
    return found;
}

// What a running program that holds a file open makes a rename fail with.
bool isHeldOpen(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

// After the access violations of a whole wait: is the target still held by
// someone? An open that asks for no more than deletion is refused with a sharing
// violation exactly when another handle shares no deletion.
bool targetHeld(const std::wstring& target) {
    const HANDLE probe =
        CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

} // namespace

std::u16string systemPathForm(std::u16string_view path) {
    std::wstring native;
    if (!toNative(path, native))
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(native.data()), native.size());
}

bool pathExists(std::u16string_view path) { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }

bool isFolder(std::u16string_view path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

CreateFolderResult createFolder(std::u16string_view path) {
    std::wstring native;
    if (!toNative(path, native))
        return CreateFolderResult::failed;
    if (CreateDirectoryW(native.c_str(), nullptr))
        return CreateFolderResult::created;
    switch (GetLastError()) {
    case ERROR_ALREADY_EXISTS:
        return CreateFolderResult::alreadyExists;
    case ERROR_PATH_NOT_FOUND:
        return CreateFolderResult::pathNotFound;
    default:
        return CreateFolderResult::failed;
    }
}

std::u16string programFilePath() {
    // MAX_PATH is the usual size; a longer name arrives cut to the buffer size, so
    // grow until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), buffer.size());
        }
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

bool fileLastWriteTime(std::u16string_view path, std::int64_t& fileTime) {
    std::wstring native;
    if (path.find_first_of(u"*?") != std::u16string_view::npos || !toNative(path, native))
        return false;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(native.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    fileTime = static_cast<std::int64_t>(
        (static_cast<unsigned long long>(found.ftLastWriteTime.dwHighDateTime) << 32) |
        found.ftLastWriteTime.dwLowDateTime);
    return true;
}

ReadFileResult readWholeFile(std::u16string_view path, std::string& bytes) {
    bytes.clear();
    std::wstring native;
    if (!toNative(path, native))
        return ReadFileResult::failed;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE file = CreateFileW(native.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadFileResult::notFound
                                                                              : ReadFileResult::failed;
    }
    char chunk[16384];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &n, nullptr)) {
            CloseHandle(file);
            bytes.clear();
            return ReadFileResult::failed;
        }
        if (n == 0)
            break;
        bytes.append(chunk, n);
    }
    CloseHandle(file);
    return ReadFileResult::ok;
}

OutputFile::~OutputFile() { close(); }

bool OutputFile::create(std::u16string_view path) { return open(path, false); }

bool OutputFile::createNew(std::u16string_view path) { return open(path, true); }

bool OutputFile::isOpen() const { return handle_ != -1; }

bool OutputFile::open(std::u16string_view path, bool mustBeNew) {
    close();
    std::wstring native;
    if (!toNative(path, native))
        return false;
    const HANDLE file = CreateFileW(native.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    mustBeNew ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        noteError();
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    error_.clear();
    return true;
}

void OutputFile::noteError() { error_ = lastErrorText(); }

std::size_t OutputFile::write(const void* data, std::size_t size) {
    if (handle_ == -1)
        return 0;
    std::size_t written = 0;
    if (!writeAll(reinterpret_cast<HANDLE>(handle_), data, size, written))
        noteError();
    return written;
}

bool OutputFile::flush() {
    if (handle_ == -1)
        return false;
    if (!FlushFileBuffers(reinterpret_cast<HANDLE>(handle_))) {
        noteError();
        return false;
    }
    return true;
}

bool OutputFile::writeOut() {
    if (handle_ == -1)
        return false;
    const FlushBuffersFileEx flushEx = flushBuffersFileEx();
    if (!flushEx)
        return flush();
    IoStatus status{};
    const LONG result = flushEx(reinterpret_cast<HANDLE>(handle_), kFlushNoSync, nullptr, 0, &status);
    if (result >= 0)
        return true;
    // A file system that knows no such flag (FAT before exFAT's time, network
    // shares) gets the full flush.
    return flush();
}

// Windows writes the cache back by itself; the flush waits for what is left.
void OutputFile::startWriteback(std::int64_t, std::int64_t) {}

bool OutputFile::setLastWriteTime(std::int64_t fileTime) {
    if (handle_ == -1)
        return false;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(static_cast<unsigned long long>(fileTime) & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(static_cast<unsigned long long>(fileTime) >> 32);
    if (!SetFileTime(reinterpret_cast<HANDLE>(handle_), nullptr, nullptr, &time)) {
        noteError();
        return false;
    }
    return true;
}

bool OutputFile::close() {
    if (handle_ == -1)
        return false;
    const HANDLE file = reinterpret_cast<HANDLE>(handle_);
    handle_ = -1;
    if (!CloseHandle(file)) {
        noteError();
        return false;
    }
    return true;
}

bool renameOver(std::u16string_view source, std::u16string_view target) {
    std::wstring from, to;
    if (!toNative(source, from) || !toNative(target, to))
        return false;
    // Windows refuses to replace a read-only file; Wine does not, so the rule is
    // kept here, where the user's protection of the file is meant to hold.
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

ReplaceResult replaceWhenFree(std::u16string_view source, std::u16string_view target,
                              std::uint32_t patienceMs) {
    std::wstring to;
    if (!toNative(target, to))
        return ReplaceResult::failed;
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return ReplaceResult::failed;
    }
    // A scanner lets go within milliseconds: short waits first, then longer ones.
    const std::uint64_t until = tickCount() + patienceMs;
    DWORD pause = 5;
    for (;;) {
        if (renameOver(source, target))
            return ReplaceResult::replaced;
        const DWORD error = GetLastError();
        if (!isHeldOpen(error))
            return ReplaceResult::failed;
        const std::uint64_t now = tickCount();
        if (now >= until) {
            // An access violation that outlasts the wait may be a lasting one (a
            // folder in the way, no right to the folder): only a target that is
            // still held counts as in use.
            if (error == ERROR_ACCESS_DENIED && !targetHeld(to)) {
                SetLastError(error);
                return ReplaceResult::failed;
            }
            SetLastError(error);
            return ReplaceResult::inUse;
        }
        Sleep(static_cast<DWORD>(std::min<std::uint64_t>(pause, until - now)));
        pause = std::min<DWORD>(pause * 2, 200);
    }
}

// MOVEFILE_WRITE_THROUGH has made each rename durable already.
bool flushFolder(std::u16string_view folder) { return isFolder(folder); }

bool removeFile(std::u16string_view path) {
    std::wstring native;
    return toNative(path, native) && DeleteFileW(native.c_str()) != 0;
}

// A file opened by createNew shares no deletion, so the system refuses to remove it
// while the program that writes it runs.
bool removeAbandonedFile(std::u16string_view path) {
    std::wstring native;
    if (!toNative(path, native))
        return false;
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return false;
    return DeleteFileW(native.c_str()) != 0;
}

namespace {

// The names in `folder` of its folders (`folders`) or of its other entries.
bool listEntries(std::u16string_view folder, bool folders, std::vector<std::u16string>& names) {
    names.clear();
    std::wstring pattern;
    if (!toNative(folder, pattern))
        return false;
    if (pattern.back() != L'\\' && pattern.back() != L'/')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    const HANDLE search =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::wstring_view name(found.cFileName);
        const bool isFolderEntry = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolderEntry == folders && name != L"." && name != L"..")
            names.emplace_back(reinterpret_cast<const char16_t*>(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

} // namespace

bool listFiles(std::u16string_view folder, std::vector<std::u16string>& names) {
    return listEntries(folder, false, names);
}

bool listFolders(std::u16string_view folder, std::vector<std::u16string>& names) {
    return listEntries(folder, true, names);
}

bool fileSizeAndTime(std::u16string_view path, std::int64_t& size, std::int64_t& fileTime) {
    std::wstring native;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!toNative(path, native) || !GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    size = static_cast<std::int64_t>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                                     data.nFileSizeLow);
    fileTime = static_cast<std::int64_t>(
        (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    return true;
}

namespace {

FILETIME fileTimeOf(std::int64_t fileTime) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(static_cast<unsigned long long>(fileTime) & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(static_cast<unsigned long long>(fileTime) >> 32);
    return time;
}

// Keeps the thread's last error across the clean-up calls of a failure.
class KeepLastError {
public:
    KeepLastError() : error_(GetLastError()) {}
    ~KeepLastError() { SetLastError(error_); }
    KeepLastError(const KeepLastError&) = delete;
    KeepLastError& operator=(const KeepLastError&) = delete;

private:
    DWORD error_;
};

bool removeTree(const std::u16string& folder) {
    std::wstring native;
    if (!toNative(folder, native))
        return false;
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    // A junction or a symbolic link to a folder goes as a name; what it points to stays.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        std::wstring pattern = native;
        if (pattern.back() != L'\\')
            pattern += L'\\';
        pattern += L'*';
        std::vector<std::u16string> children;
        WIN32_FIND_DATAW found;
        const HANDLE search =
            FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring_view name(found.cFileName);
                if (name != L"." && name != L"..")
                    children.emplace_back(reinterpret_cast<const char16_t*>(found.cFileName));
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        const std::u16string prefix =
            folder.back() == u'\\' || folder.back() == u'/' ? folder : folder + u'\\';
        bool ok = true;
        for (const std::u16string& child : children)
            ok = removeTree(prefix + child) && ok;
        if (attributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesW(native.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        return RemoveDirectoryW(native.c_str()) != 0 && ok;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(native.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RemoveDirectoryW(native.c_str()) != 0;
    return DeleteFileW(native.c_str()) != 0;
}

} // namespace

bool setFileLastWriteTime(std::u16string_view path, std::int64_t fileTime) {
    std::wstring native;
    if (!toNative(path, native))
        return false;
    const HANDLE file = CreateFileW(native.c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const FILETIME time = fileTimeOf(fileTime);
    const bool ok = SetFileTime(file, nullptr, nullptr, &time) != 0;
    KeepLastError keep;
    CloseHandle(file);
    return ok;
}

bool createHardLink(std::u16string_view existing, std::u16string_view link) {
    std::wstring from, to;
    return toNative(existing, from) && toNative(link, to) &&
           CreateHardLinkW(to.c_str(), from.c_str(), nullptr);
}

bool copyFileDurably(std::u16string_view source, std::u16string_view target) {
    std::wstring from, to;
    if (!toNative(source, from) || !toNative(target, to))
        return false;
    const HANDLE in =
        CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return false;
    FILETIME created, accessed, written;
    if (!GetFileTime(in, &created, &accessed, &written)) {
        KeepLastError keep;
        CloseHandle(in);
        return false;
    }
    const HANDLE out =
        CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        KeepLastError keep;
        CloseHandle(in);
        return false;
    }
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        std::size_t done = 0;
        if (!writeAll(out, buffer.data(), n, done)) {
            ok = false;
            break;
        }
    }
    ok = ok && SetFileTime(out, nullptr, nullptr, &written) && FlushFileBuffers(out);
    KeepLastError keep;
    ok = CloseHandle(out) && ok;
    CloseHandle(in);
    if (!ok)
        DeleteFileW(to.c_str());
    return ok;
}

bool removeFolderTree(std::u16string_view folder) {
    if (folder.empty())
        return false;
    return removeTree(std::u16string(folder));
}

bool appendToFile(std::u16string_view path, const void* data, std::size_t size) {
    std::wstring native;
    if (!toNative(path, native))
        return false;
    const HANDLE file = CreateFileW(native.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::size_t written = 0;
    const bool ok = writeAll(file, data, size, written);
    KeepLastError keep;
    return CloseHandle(file) && ok;
}

std::u16string lastErrorText() {
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string result;
    if (length && text)
        result.assign(reinterpret_cast<const char16_t*>(text), length);
    if (text)
        LocalFree(text);
    while (!result.empty() && (result.back() == u'\n' || result.back() == u'\r' || result.back() == u' '))
        result.pop_back();
    if (result.empty()) {
        const std::wstring number = std::to_wstring(code);
        result = u"system error " + std::u16string(number.begin(), number.end());
    }
    return result;
}

namespace {

std::u16string_view asText(const std::wstring& text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

// How many names the existing file has; 0 when it cannot be opened.
DWORD linkCount(const std::wstring& native) {
    const HANDLE file = CreateFileW(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool read = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    return read ? information.nNumberOfLinks : 0;
}

// Copies the bytes over the file itself, so that every name of it sees them.
bool writeThrough(const std::wstring& native, const void* data, std::size_t size) {
    const HANDLE file =
        CreateFileW(native.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::size_t written = 0;
    bool ok = writeAll(file, data, size, written);
    ok = ok && SetEndOfFile(file) != 0;
    ok = FlushFileBuffers(file) != 0 && ok;
    return CloseHandle(file) != 0 && ok;
}

// Gives `to` the owner, group and access rules of `from`, for a replacement by
// rename, which would otherwise leave the new file with those of its folder.
void copySecurity(const std::wstring& from, const std::wstring& to) {
    const SECURITY_INFORMATION parts =
        DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION;
    DWORD need = 0;
    GetFileSecurityW(from.c_str(), parts, nullptr, 0, &need);
    if (need == 0)
        return;
    std::vector<unsigned char> descriptor(need);
    if (!GetFileSecurityW(from.c_str(), parts, descriptor.data(), need, &need))
        return;
    // The owner may not be ours to give; the access rules still go over.
    if (!SetFileSecurityW(to.c_str(), parts, descriptor.data()))
        SetFileSecurityW(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
}

} // namespace

bool replaceFileContents(std::u16string_view path, const void* data, std::size_t size) {
    std::wstring native;
    if (!toNative(path, native) || !followLinks(native))
        return false;
    // The name the temporary file is made from: a link's target, which comes in
    // the long form already, or the path as given.
    const std::wstring target =
        native.starts_with(L"\\\\?\\")
            ? native
            : std::wstring(reinterpret_cast<const wchar_t*>(path.data()), path.size());
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const bool hadFile = attributes != INVALID_FILE_ATTRIBUTES;
    // What a crash of an earlier run left beside the file (it may hold passwords).
    removeStaleReplacements(asText(target));

    static std::atomic<unsigned long long> serial{0};
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && file == INVALID_HANDLE_VALUE; ++attempt) {
        const unsigned long long tag =
            (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^ (tickCount() << 8) ^ serial++;
        // Made from the target's name before its conversion, so a name that only
        // the suffix makes long still gets the long form.
        if (!toNative(replacementName(asText(target), tag), temporary))
            break;
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    // Without a new file beside it the old one is not touched: rewriting it in
    // place would leave it half-written after a crash or on a full disk.
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::size_t written = 0;
    bool ok = writeAll(file, data, size, written);
    ok = FlushFileBuffers(file) != 0 && ok;
    ok = CloseHandle(file) != 0 && ok;
    if (ok && hadFile && linkCount(native) > 1) {
        ok = writeThrough(native, data, size);
        DeleteFileW(temporary.c_str());
        return ok;
    }
    // ReplaceFileW keeps the replaced file's security descriptor, attributes and
    // streams; where it cannot (another file system, a file it may not replace)
    // the descriptor is copied and the file renamed over.
    const bool replaced =
        ok && hadFile &&
        ReplaceFileW(native.c_str(), temporary.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr, nullptr);
    if (ok && !replaced && hadFile)
        copySecurity(native, temporary);
    if (!ok || (!replaced && !MoveFileExW(temporary.c_str(), native.c_str(),
                                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    // The new file would otherwise show what a hidden old one hid.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (hadFile && !replaced && (attributes & kept))
        SetFileAttributesW(native.c_str(), (attributes & kept) | FILE_ATTRIBUTE_ARCHIVE);
    return true;
}

} // namespace platform
