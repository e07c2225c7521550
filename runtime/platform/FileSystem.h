#pragma once
// Files and folders as the runtime needs them. Paths are UTF-16 in the platform's
// own form (backslashes and drive letters on Windows, '/' elsewhere); they are
// handed to the system as they stand, without resolving or normalising (but see
// the long form below). A path that holds a U+0000 unit never reaches the system:
// every call treats it as a failure, so a name cut short at the zero can never
// stand for another file.
//
// On Windows a path of MAX_PATH - 12 characters or more (what the system's calls
// take as they stand) is handed over in its long form ("\\?\D:\..." or
// "\\?\UNC\server\share\..."), made from the full path as the system normalises
// it, so it names the file the short form would name. A name longer than the file
// system allows still fails, like any other call the system refuses; nothing is
// written under another name instead.
//
// All functions may be called from any thread; none keeps state between calls.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The form in which `path` reaches the system (see above); empty for a path it
// must not see.
std::u16string systemPathForm(std::u16string_view path);

// The system could read the path's attributes: a file or a folder of that name.
bool pathExists(std::u16string_view path);
bool isFolder(std::u16string_view path);

enum class CreateFolderResult {
    created,
    alreadyExists, // a folder or a file of that name is already there
    pathNotFound,  // a parent folder is missing
    failed,        // any other reason (no access, a parent is a file, bad name)
};

// Creates one folder; its parent must exist.
CreateFolderResult createFolder(std::u16string_view path);

// The full path of the running program's file; empty when it cannot be read.
std::u16string programFilePath();

// Last-write time of a file (or folder) in 100-nanosecond units since 1 January 1601
// UTC, the Windows file-time scale on both platforms. False when nothing of that
// name can be found; a name with the wildcards '*' or '?' is never looked up.
bool fileLastWriteTime(std::u16string_view path, std::int64_t& fileTime);

enum class ReadFileResult { ok, notFound, failed };

// The whole file into `bytes` (cleared first). notFound only when the file or a
// folder on its way does not exist; an unreadable file is `failed`.
ReadFileResult readWholeFile(std::u16string_view path, std::string& bytes);

// A file opened for writing in binary mode. One owner, one thread at a time; the
// destructor closes a file that is still open (and ignores a failure there).
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the file or truncates an existing one.
    bool create(std::u16string_view path);
    // Creates the file only when no file of that name exists yet. While it is open,
    // removeAbandonedFile leaves it alone.
    bool createNew(std::u16string_view path);
    bool isOpen() const;
    // Writes everything it can; returns how many bytes reached the file.
    std::size_t write(const void* data, std::size_t size);
    // Waits until the data is on the disk, so that a power loss after a rename
    // cannot leave the new name with nothing behind it. This also empties the
    // disk's own cache, which is what makes it slow.
    bool flush();
    // Writes the file's data (on Windows with its metadata) out to the disk and
    // waits for the writes, but does not ask the disk to empty its own cache: the
    // data is durable once a flush() of another file on the same volume has
    // returned after this. Where the system has no such call it is a flush().
    bool writeOut();
    // Starts writing `length` bytes from `offset` to the disk without waiting, so
    // that a flush of a large file later has little left to wait for. Does nothing
    // where the system has no such call.
    void startWriteback(std::int64_t offset, std::int64_t length);
    // Sets the last-write time (the scale of fileLastWriteTime). After the last
    // write: a later one would set it to "now" again.
    bool setLastWriteTime(std::int64_t fileTime);
    // False when the file was not open or the system reported an error on close.
    bool close();
    // The system's text for the last failure of this file's calls; empty when none failed.
    const std::u16string& errorText() const { return error_; }

private:
    bool open(std::u16string_view path, bool mustBeNew);
    void noteError();
    std::intptr_t handle_ = -1;
    std::u16string error_;
};

// Moves `source` to `target`, replacing a file that is already there; both must be
// on the same volume. The replacement is atomic where the system makes it so. On
// Windows a read-only target is never replaced.
bool renameOver(std::u16string_view source, std::u16string_view target);

enum class ReplaceResult {
    replaced,
    inUse,  // another program held the target (or the source) the whole time
    failed, // any other reason; lastErrorText() says which
};

// renameOver, patient with a target that another program has open for a moment:
// on Windows a virus scanner or an indexer opens a file that was just written, and
// the rename is refused with a sharing or access violation until it lets go. Such
// a refusal is tried again for up to `patienceMs`; a read-only target is refused at
// once. Other systems never refuse a rename for an open file.
ReplaceResult replaceWhenFree(std::u16string_view source, std::u16string_view target,
                              std::uint32_t patienceMs);

// Makes the names that renames and new files gave in `folder` survive a power loss
// (POSIX: an fsync of the folder). Nothing to do on Windows, where a rename with
// write-through is durable once it returns. False when the folder could not be
// flushed.
bool flushFolder(std::u16string_view folder);

// Removes a file (not a folder). False when it could not be removed.
bool removeFile(std::u16string_view path);

// Removes a file that nobody has open for writing through createNew: a file that
// a running program still writes is left alone (Windows refuses to delete it; on
// other systems createNew holds a lock on it). False when it was not removed.
bool removeAbandonedFile(std::u16string_view path);

// The names of the files (not folders) directly in `folder`; false when the folder
// cannot be read.
bool listFiles(std::u16string_view folder, std::vector<std::u16string>& names);

// The names of the folders directly in `folder` ("." and ".." left out); false when
// the folder cannot be read.
bool listFolders(std::u16string_view folder, std::vector<std::u16string>& names);

// Size in bytes and last-write time (the scale of fileLastWriteTime) of a file; false
// for a folder and when nothing of that name can be read.
bool fileSizeAndTime(std::u16string_view path, std::int64_t& size, std::int64_t& fileTime);

// Sets the last-write time of the file (the scale of fileLastWriteTime) by its name.
bool setFileLastWriteTime(std::u16string_view path, std::int64_t fileTime);

// Gives the file `existing` the further name `link` (a hard link): both names then
// stand for the same data, and replacing one name by a rename leaves the other with
// the old file. False when `link` exists already, when the two are on different
// volumes and where the file system has no hard links (FAT); nothing is made then.
bool createHardLink(std::u16string_view existing, std::u16string_view link);

// Copies the file `source` to the new file `target` (which must not exist yet) with
// the source's last-write time, and returns once the copy is on the disk, so that the
// source may be replaced right after. On failure no `target` is left behind.
bool copyFileDurably(std::u16string_view source, std::u16string_view target);

// Removes the folder and everything in it. Links inside (symbolic links, junctions)
// are removed themselves, never followed; read-only files go too. True when the
// folder is gone afterwards, also when it was never there.
bool removeFolderTree(std::u16string_view folder);

// Appends `size` bytes to the end of the file, creating it when missing. Writers of
// several processes each add whole pieces. True when every byte reached the file.
bool appendToFile(std::u16string_view path, const void* data, std::size_t size);

// The system's text for the calling thread's last failure of a file call.
std::u16string lastErrorText();

// Replaces the contents of `path` with `size` bytes: they go into a new file
// beside it (replacementName), which then takes the old file's place, so a crash
// or a full disk never leaves a half-written file. When `path` is a symbolic
// link, its target is replaced and the link stays. The replaced file keeps what
// it was: its owner, group and permission bits (POSIX), its security descriptor
// and attributes (Windows). A file with more than one name (hard links), and on
// POSIX one whose owner the new file could not be given, is written through in
// place once the new contents are whole on the disk in the new file, which then
// goes; so every name sees them. A new file is readable and writable by its owner
// alone (it may hold passwords). When no new file can be made beside it, nothing
// is written and the old file stays as it was. Temporary files that a crash of an
// earlier run left beside the file are removed first (removeStaleReplacements).
// False when the bytes did not all reach the file.
bool replaceFileContents(std::u16string_view path, const void* data, std::size_t size);

// The name of a temporary file that replaceFileContents makes for `path`: the
// path, ".~", the tag in hexadecimal digits and ".tmp".
std::u16string replacementName(std::u16string_view path, std::uint64_t tag);
// True when `name` (a name in a folder) is of that form for the file `fileName`.
bool isReplacementName(std::u16string_view name, std::u16string_view fileName);
// Removes the temporary files of the form above beside `path` that were last
// written before the running program started: a crash (or a kill) of an earlier
// run left them, and no running program writes them. Returns how many went.
std::size_t removeStaleReplacements(std::u16string_view path);

} // namespace platform
