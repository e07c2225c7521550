#pragma once
// Private-profile (INI) files: "[section]" lines, "key=value" lines, and lines that
// start with ';' as comments. Both platforms share one implementation, so a file
// reads and writes the same everywhere.
//
// Reading works like the Win32 profile functions: section and key names match
// without regard to case, blanks around names and values do not count, a value
// enclosed in a pair of single or double quotation marks loses them, and the first
// matching section, and in it the first matching key, wins.
//
// Writing changes only the line of the key (or adds the key, or the section with
// the key); every other line of the file stays as it was, character for character.
// A value that reading would change (blanks at either end, enclosing quotation
// marks) is written in double quotation marks, so it reads back as written, also
// through the Win32 functions. A line break in a value becomes a blank: a value
// can never add lines of its own to the file.
//
// Encoding: a file with a byte-order mark is UTF-16 or UTF-8 as the mark says;
// without one it is UTF-8 when its bytes are valid UTF-8, and otherwise text in
// the ANSI code page (the system's, unless a caller names another). A Unicode file
// keeps its encoding when it is rewritten. A new file, a file of plain ASCII and an
// ANSI file are written in the platform's Unicode form: UTF-16LE with a byte-order
// mark on Windows (which the system's own profile functions read as well), UTF-8
// elsewhere. Characters that the ANSI code page cannot decode become U+FFFD.
//
// Nothing here keeps a file open or caches it; each call reads the file afresh.
// Calls from several threads on one file are not serialised.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The code page that stands for the system's ANSI code page.
constexpr unsigned kSystemAnsiCodePage = 0;

enum class ProfileEncoding {
    utf16le, // with byte-order mark
    utf16be, // with byte-order mark
    utf8Bom,
    utf8,    // without mark, holding at least one non-ASCII character
    ascii,   // no byte above 0x7F and no mark: both UTF-8 and ANSI
    ansi,
};

// The text of one profile file in memory.
class ProfileDocument {
public:
    ProfileDocument() = default;
    static ProfileDocument fromBytes(std::string_view bytes, unsigned ansiCodePage = kSystemAnsiCodePage);

    ProfileEncoding encoding() const { return encoding_; }
    const std::u16string& text() const { return text_; }

    // False when the section or the key is not there.
    bool lookup(std::u16string_view section, std::u16string_view key, std::u16string& value) const;
    // False, and no change, for names that could not be read back: empty, with a
    // line break, blanks at either end, a section name with ']', a key with '=' or
    // one starting with '[' or ';'.
    bool set(std::u16string_view section, std::u16string_view key, std::u16string_view value);

    // The file's bytes in the encoding described above.
    std::string toBytes() const;

private:
    struct Line {
        std::size_t start; // first unit
        std::size_t end;   // after the last unit, before "\r\n" or "\n"
        std::size_t next;  // first unit of the following line
    };
    std::vector<Line> lines() const;
    std::u16string_view newline() const;

    std::u16string text_;
    ProfileEncoding encoding_ = ProfileEncoding::ascii;
};

// The value of `key` in `section` of `fileName`, cut to `bufferSize` − 1 units,
// like the Win32 function with a buffer of that size. `defaultValue`, cut the same
// way, when the file (or the section, or the key) is missing or cannot be read.
std::u16string getPrivateProfileString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue, std::size_t bufferSize,
                                       std::u16string_view fileName,
                                       unsigned ansiCodePage = kSystemAnsiCodePage);

// Sets `key` in `section` to `value`, creating the file, the section or the key as
// needed. The new contents replace the file as a whole (see replaceFileContents),
// so a failed write leaves the old file as it was. False when the names are
// unusable, an existing file cannot be read, or the file cannot be written.
bool writePrivateProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                               std::u16string_view fileName, unsigned ansiCodePage = kSystemAnsiCodePage);

// Several writes in one go: the same file as writing the entries one after another,
// but read and replaced once, so it costs one write instead of one per key and a
// failure leaves either all of them or none in the file. An entry with unusable
// names is left out and the others still go ahead. True when every entry was
// written.
struct ProfileEntry {
    std::u16string_view section;
    std::u16string_view key;
    std::u16string_view value;
};
bool writePrivateProfileStrings(const ProfileEntry* entries, std::size_t count, std::u16string_view fileName,
                                unsigned ansiCodePage = kSystemAnsiCodePage);

// Provided by each platform's own part.
// The Unicode form in which the platform writes new profile files, and the line
// break it uses in them.
ProfileEncoding nativeProfileEncoding();
std::u16string_view nativeProfileNewline();
// Decodes text in the given code page (kSystemAnsiCodePage: the system's);
// undecodable bytes become U+FFFD. An unknown code page decodes as the system's.
std::u16string decodeCodePage(std::string_view bytes, unsigned codePage);

} // namespace platform
