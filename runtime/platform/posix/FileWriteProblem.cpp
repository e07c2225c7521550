#include "runtime/platform/FileWriteProblem.h"

#include "runtime/platform/CodePage.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

std::u16string systemMessage(int error) {
    char buffer[256] = {};
    // The GNU form may return a static text instead of filling the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return utf8ToUtf16String(text);
}

} // namespace

std::u16string fileWriteProblem(std::u16string_view path) {
    if (path.empty() || path.find(u'\0') != std::u16string_view::npos)
        return systemMessage(EINVAL);
    const std::string native = utf16ToUtf8String(path);
    // An existing file is opened as it is, not truncated; a missing one is made and
    // removed again.
    int fd = ::open(native.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    bool made = false;
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        made = fd >= 0;
    }
    if (fd < 0)
        return systemMessage(errno);
    ::close(fd);
    if (made)
        ::unlink(native.c_str());
    return std::u16string();
}

} // namespace platform
