#include "runtime/platform/FileWriteProblem.h"

#include <windows.h>

namespace platform {

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is passed to Win32 as wchar_t");

namespace {

std::u16string systemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::u16string message;
    if (length > 0 && text)
        message.assign(reinterpret_cast<const char16_t*>(text), length);
    if (text)
        LocalFree(text);
    // The system ends its messages with a line break.
    while (!message.empty() && (message.back() == u'\r' || message.back() == u'\n' || message.back() == u' '))
        message.pop_back();
    if (message.empty()) {
        const std::string number = "error " + std::to_string(code);
        message.assign(number.begin(), number.end());
    }
    return message;
}

} // namespace

std::u16string fileWriteProblem(std::u16string_view path) {
    if (path.empty() || path.find(u'\0') != std::u16string_view::npos)
        return systemMessage(ERROR_INVALID_NAME);
    const std::wstring native(reinterpret_cast<const wchar_t*>(path.data()), path.size());
    const DWORD attributes = GetFileAttributesW(native.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // What opening a read-only file for writing meets on Windows; Wine run by the
    // superuser would let it open.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return systemMessage(ERROR_ACCESS_DENIED);
    // An existing file is opened as it is, shared with everyone and not truncated; a
    // missing one is made and goes again when the handle closes.
    HANDLE probe = exists ? CreateFileW(native.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                          : CreateFileW(native.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return systemMessage(GetLastError());
    CloseHandle(probe);
    return std::u16string();
}

} // namespace platform
