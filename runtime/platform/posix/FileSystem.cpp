// Files and folders over POSIX calls. Paths travel as UTF-8, the form in which
// Linux programs and file managers name files.
#include "runtime/platform/FileSystem.h"

#include "runtime/platform/CodePage.h"
#include "runtime/platform/SystemInfo.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

// Seconds between 1 January 1601 and 1 January 1970.
constexpr std::int64_t kUnixEpochIn1601 = 11644473600LL;

// False for a path the system must not see: empty, or holding a zero unit.
bool toNative(std::u16string_view path, std::string& out) {
    if (path.empty() || path.find(u'\0') != std::u16string_view::npos)
        return false;
    // One pass: a UTF-16 unit never takes more than three UTF-8 bytes.
    out.resize(path.size() * 3);
    out.resize(utf16ToUtf8(path.data(), path.size(), out.data(), out.size()));
    return true;
}

std::u16string fromNative(std::string_view bytes) { return utf8ToUtf16String(bytes); }

bool statPath(std::u16string_view path, struct stat& info) {
    std::string native;
    return toNative(path, native) && ::stat(native.c_str(), &info) == 0;
}

bool writeAll(int fd, const void* data, std::size_t size, std::size_t& written) {
    const auto* bytes = static_cast<const char*>(data);
    written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, bytes + written, size - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Turns `path` into the file it stands for once symbolic links are followed, so
// that a replacement goes to the link's target and the link stays. A link to a
// missing file stands for that file. False for a chain that cannot be followed
// (a loop, an unreadable link).
bool followLinks(std::string& path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0)
            return errno == ENOENT;
        if (!S_ISLNK(info.st_mode))
            return true;
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
            return false;
        target.resize(static_cast<std::size_t>(n));
        if (target.front() != '/') {
            const std::size_t slash = path.rfind('/');
            target.insert(0, slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
        }
        path = std::move(target);
    }
    return false;
}

} // namespace

std::u16string systemPathForm(std::u16string_view path) {
    std::string native;
    return toNative(path, native) ? std::u16string(path) : std::u16string();
}

bool pathExists(std::u16string_view path) {
    struct stat info;
    return statPath(path, info);
}

bool isFolder(std::u16string_view path) {
    struct stat info;
    return statPath(path, info) && S_ISDIR(info.st_mode);
}

CreateFolderResult createFolder(std::u16string_view path) {
    std::string native;
    if (!toNative(path, native))
        return CreateFolderResult::failed;
    if (::mkdir(native.c_str(), 0777) == 0)
        return CreateFolderResult::created;
    switch (errno) {
    case EEXIST:
        return CreateFolderResult::alreadyExists;
    case ENOENT:
        return CreateFolderResult::pathNotFound;
    default:
        return CreateFolderResult::failed;
    }
}

std::u16string programFilePath() {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n <= 0)
            return {};
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            return fromNative(buffer);
        }
        // The name may have been cut: try again with room to spare.
        if (buffer.size() >= (1u << 20))
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

bool fileLastWriteTime(std::u16string_view path, std::int64_t& fileTime) {
    // Windows looks the name up as a pattern; the same name must mean the same on both.
    struct stat info;
    if (path.find_first_of(u"*?") != std::u16string_view::npos || !statPath(path, info))
        return false;
    fileTime = (static_cast<std::int64_t>(info.st_mtim.tv_sec) + kUnixEpochIn1601) * 10000000 +
               info.st_mtim.tv_nsec / 100;
    return true;
}

ReadFileResult readWholeFile(std::u16string_view path, std::string& bytes) {
    bytes.clear();
    std::string native;
    if (!toNative(path, native))
        return ReadFileResult::failed;
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadFileResult::notFound : ReadFileResult::failed;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return ReadFileResult::failed;
    }
    char chunk[16384];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            bytes.clear();
            return ReadFileResult::failed;
        }
        if (n == 0)
            break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadFileResult::ok;
}

OutputFile::~OutputFile() { close(); }

bool OutputFile::create(std::u16string_view path) { return open(path, false); }

bool OutputFile::createNew(std::u16string_view path) { return open(path, true); }

bool OutputFile::isOpen() const { return handle_ >= 0; }

bool OutputFile::open(std::u16string_view path, bool mustBeNew) {
    close();
    std::string native;
    if (!toNative(path, native))
        return false;
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mustBeNew ? O_EXCL : O_TRUNC);
    int fd;
    do
        fd = ::open(native.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        noteError();
        return false;
    }
    // Marks the file as in use for removeAbandonedFile in other processes; the lock
    // goes with the descriptor, also when the process is killed.
    if (mustBeNew)
        ::flock(fd, LOCK_EX | LOCK_NB);
    handle_ = fd;
    error_.clear();
    return true;
}

void OutputFile::noteError() { error_ = lastErrorText(); }

std::size_t OutputFile::write(const void* data, std::size_t size) {
    if (handle_ < 0)
        return 0;
    std::size_t written = 0;
    if (!writeAll(static_cast<int>(handle_), data, size, written))
        noteError();
    return written;
}

bool OutputFile::flush() {
    if (handle_ < 0)
        return false;
    int result;
    do
        result = ::fsync(static_cast<int>(handle_));
    while (result != 0 && errno == EINTR);
    if (result != 0)
        noteError();
    return result == 0;
}

bool OutputFile::writeOut() {
#if defined(__linux__)
    if (handle_ < 0)
        return false;
    // Waiting before and after: pages already under writeback (from
    // startWriteback) are waited for and written again when dirty since.
    const unsigned flags = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    int result;
    do
        result = ::sync_file_range(static_cast<int>(handle_), 0, 0, flags);
    while (result != 0 && errno == EINTR);
    if (result == 0)
        return true;
    // A file system without it (some network ones) gets the full flush.
    if (errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
        noteError();
        return false;
    }
#endif
    return flush();
}

void OutputFile::startWriteback(std::int64_t offset, std::int64_t length) {
#if defined(__linux__)
    if (handle_ >= 0)
        ::sync_file_range(static_cast<int>(handle_), offset, length, SYNC_FILE_RANGE_WRITE);
#else
    (void)offset;
    (void)length;
#endif
}

bool OutputFile::setLastWriteTime(std::int64_t fileTime) {
    if (handle_ < 0)
        return false;
    // Floor division, so that times before 1970 stay in their second.
    std::int64_t ticks = fileTime - kUnixEpochIn1601 * 10000000;
    std::int64_t seconds = ticks / 10000000;
    if (ticks % 10000000 < 0)
        --seconds;
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = static_cast<long>((ticks - seconds * 10000000) * 100);
    if (::futimens(static_cast<int>(handle_), times) != 0) {
        noteError();
        return false;
    }
    return true;
}

bool OutputFile::close() {
    if (handle_ < 0)
        return false;
    const int fd = static_cast<int>(handle_);
    handle_ = -1;
    if (::close(fd) != 0) {
        noteError();
        return false;
    }
    return true;
}

bool renameOver(std::u16string_view source, std::u16string_view target) {
    std::string from, to;
    return toNative(source, from) && toNative(target, to) && ::rename(from.c_str(), to.c_str()) == 0;
}

ReplaceResult replaceWhenFree(std::u16string_view source, std::u16string_view target, std::uint32_t) {
    return renameOver(source, target) ? ReplaceResult::replaced : ReplaceResult::failed;
}

bool flushFolder(std::u16string_view folder) {
    std::string native;
    if (!toNative(folder, native))
        return false;
    const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int result;
    do
        result = ::fsync(fd);
    while (result != 0 && errno == EINTR);
    // Some file systems cannot flush a folder at all; their names are as durable
    // as they get.
    const bool flushed = result == 0 || errno == EINVAL || errno == EROFS;
    ::close(fd);
    return flushed;
}

bool removeFile(std::u16string_view path) {
    std::string native;
    return toNative(path, native) && ::unlink(native.c_str()) == 0;
}

bool removeAbandonedFile(std::u16string_view path) {
    std::string native;
    if (!toNative(path, native))
        return false;
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info;
    bool removed = false;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
        removed = ::unlink(native.c_str()) == 0;
    ::close(fd);
    return removed;
}

namespace {

// The names in `folder` of its entries of one type (S_IFREG or S_IFDIR), links
// not followed.
bool listEntries(std::u16string_view folder, mode_t type, std::vector<std::u16string>& names) {
    names.clear();
    std::string native;
    if (!toNative(folder, native))
        return false;
    DIR* dir = ::opendir(native.c_str());
    if (!dir)
        return false;
    const int dirFd = ::dirfd(dir);
    const unsigned char wanted = type == S_IFDIR ? DT_DIR : DT_REG;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        bool match = entry->d_type == wanted;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info;
            match = ::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                    (info.st_mode & S_IFMT) == type;
        }
        if (match)
            names.push_back(fromNative(entry->d_name));
    }
    ::closedir(dir);
    return true;
}

} // namespace

bool listFiles(std::u16string_view folder, std::vector<std::u16string>& names) {
    return listEntries(folder, S_IFREG, names);
}

bool listFolders(std::u16string_view folder, std::vector<std::u16string>& names) {
    return listEntries(folder, S_IFDIR, names);
}

bool fileSizeAndTime(std::u16string_view path, std::int64_t& size, std::int64_t& fileTime) {
    struct stat info;
    if (!statPath(path, info) || S_ISDIR(info.st_mode))
        return false;
    size = static_cast<std::int64_t>(info.st_size);
    fileTime = (static_cast<std::int64_t>(info.st_mtim.tv_sec) + kUnixEpochIn1601) * 10000000 +
               info.st_mtim.tv_nsec / 100;
    return true;
}

namespace {

timespec unixTimeOf(std::int64_t fileTime) {
    // Floor division, so that times before 1970 stay in their second.
    const std::int64_t ticks = fileTime - kUnixEpochIn1601 * 10000000;
    std::int64_t seconds = ticks / 10000000;
    if (ticks % 10000000 < 0)
        --seconds;
    timespec time;
    time.tv_sec = static_cast<time_t>(seconds);
    time.tv_nsec = static_cast<long>((ticks - seconds * 10000000) * 100);
    return time;
}

// Removes `name` in the folder `dirFd` and, for a folder, all it holds first.
bool removeTreeAt(int dirFd, const char* name) {
    struct stat info;
    if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(dirFd, name, 0) == 0 || errno == ENOENT;
    const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    // The names first: removing while reading may skip entries.
    std::vector<std::string> children;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            children.emplace_back(entry->d_name);
    }
    bool ok = true;
    for (const std::string& child : children)
        ok = removeTreeAt(fd, child.c_str()) && ok;
    ::closedir(dir);
    return ok && (::unlinkat(dirFd, name, AT_REMOVEDIR) == 0 || errno == ENOENT);
}

} // namespace

bool setFileLastWriteTime(std::u16string_view path, std::int64_t fileTime) {
    std::string native;
    if (!toNative(path, native))
        return false;
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = unixTimeOf(fileTime);
    return ::utimensat(AT_FDCWD, native.c_str(), times, 0) == 0;
}

bool createHardLink(std::u16string_view existing, std::u16string_view link) {
    std::string from, to;
    return toNative(existing, from) && toNative(link, to) && ::link(from.c_str(), to.c_str()) == 0;
}

bool copyFileDurably(std::u16string_view source, std::u16string_view target) {
    std::string from, to;
    if (!toNative(source, from) || !toNative(target, to))
        return false;
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat info;
    if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISREG(info.st_mode) ? errno : EISDIR;
        ::close(in);
        errno = error;
        return false;
    }
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        errno = error;
        return false;
    }
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        std::size_t written = 0;
        if (!writeAll(out, buffer.data(), static_cast<std::size_t>(n), written)) {
            ok = false;
            break;
        }
    }
    if (ok) {
        timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1] = info.st_mtim;
        ok = ::futimens(out, times) == 0 && ::fsync(out) == 0;
    }
    const int error = errno;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (!ok) {
        ::unlink(to.c_str());
        errno = error;
    }
    return ok;
}

bool removeFolderTree(std::u16string_view folder) {
    std::string native;
    if (!toNative(folder, native))
        return false;
    return removeTreeAt(AT_FDCWD, native.c_str());
}

bool appendToFile(std::u16string_view path, const void* data, std::size_t size) {
    std::string native;
    if (!toNative(path, native))
        return false;
    const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    std::size_t written = 0;
    const bool ok = writeAll(fd, data, size, written);
    const int error = errno;
    const bool closed = ::close(fd) == 0;
    if (!ok)
        errno = error;
    return ok && closed;
}

std::u16string lastErrorText() {
    const int code = errno;
    char buffer[256] = {};
    // The GNU form returns the text, which may or may not be the buffer.
    const char* text = ::strerror_r(code, buffer, sizeof buffer);
    return fromNative(text ? text : "unknown error");
}

namespace {

// Copies `size` bytes over the file itself, so that every hard link to it (and
// the owner, the mode and anything else the name carries) sees them. Only once
// the same bytes are whole and on the disk in a temporary file: a crash in
// between leaves that copy behind.
bool writeThrough(const std::string& native, const void* data, std::size_t size) {
    const int fd = ::open(native.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::size_t written = 0;
    bool ok = writeAll(fd, data, size, written);
    ok = ok && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    ok = ::fsync(fd) == 0 && ok;
    return ::close(fd) == 0 && ok;
}

} // namespace

bool replaceFileContents(std::u16string_view path, const void* data, std::size_t size) {
    std::string native;
    if (!toNative(path, native) || !followLinks(native))
        return false;
    struct stat old;
    const bool hadFile = ::stat(native.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode))
        return false;
    // What a crash of an earlier run left beside the file (it may hold passwords).
    const std::u16string target = fromNative(native);
    removeStaleReplacements(target);

    static std::atomic<std::uint64_t> serial{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        const std::uint64_t tag =
            (static_cast<std::uint64_t>(::getpid()) << 32) ^ (tickCount() << 8) ^ serial++;
        toNative(replacementName(target, tag), temporary);
        // Private from the start: the file can hold passwords. An old file's own
        // mode is put back below; a new one stays private.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST && errno != EINTR)
            break;
    }
    // Without a new file beside it the old one is not touched: rewriting it in
    // place would leave it half-written after a crash or on a full disk.
    if (fd < 0)
        return false;
    // The new file takes the old one's owner and group first (a change of owner
    // clears the set-id bits), then its mode. Where the owner cannot be given to
    // it (a save by another user than the owner, who may write the file), the
    // contents go over the old file instead, which keeps all of it; so does a
    // file with other names (hard links), which would otherwise keep the old text.
    bool inPlace = hadFile && old.st_nlink > 1;
    if (hadFile && !inPlace && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        inPlace = true;
    std::size_t written = 0;
    bool ok = !hadFile || inPlace || ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = writeAll(fd, data, size, written) && ok;
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok && inPlace) {
        ok = writeThrough(native, data, size);
        ::unlink(temporary.c_str());
        return ok;
    }
    if (!ok || ::rename(temporary.c_str(), native.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace platform
