// The multipart form builder on any file names, part names and part types: the
// body libcurl sends for the form it builds carries one part per file, in order,
// with the name and type the builder's rules choose (the given one when its list
// is long enough, none when it is too short, "file", "file-1", ... and
// "application/x-www-form-urlencoded" when there is no list), the file's bytes,
// and a file name that decodes back to the file's own name.
//
// The request goes to a loopback listener of the target's own, which reads what
// libcurl sends and answers it, rather than to a server.
//
// Input: a control byte (bits 0-1: how many files less one; bit 2: a name list,
// bit 3: one name short; bit 4: a type list, bit 5: one type short), then the file
// names, the part names and the part types as 0xFF-ended fields.
#include "runtime/net/CurlText.h"
#include "runtime/net/rg_DuoYongTuKuoZhanGeShiLei.h"
#include "runtime/net/rg_WangLaoChuanShuLei.h"

#include "tests/fuzz/FuzzInput.h"

#include <arpa/inet.h>
#include <cstdint>
#include <cstdlib>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace rg_quelt_windows_WangLao;

const std::string& scratchFolder() {
    static const std::string folder = [] {
        char name[] = "/tmp/mireth-fuzz-XXXXXX";
        const char* made = ::mkdtemp(name);
        FUZZ_CHECK(made != nullptr);
        return std::string(made);
    }();
    return folder;
}

// A name the folder can hold as a file of its own: at most 60 units (240 bytes of
// UTF-8, within the file system's 255), cut between characters, no '/' or zero.
std::string fileNameFrom(const CWString& text) {
    std::u16string name(text.view().substr(0, 60));
    if (!name.empty() && name.back() >= 0xD800 && name.back() <= 0xDBFF)
        name.pop_back();
    for (char16_t& c : name) {
        if (c == u'/' || c == u'\0')
            c = u'_';
    }
    if (name.empty() || name == u"." || name == u"..")
        name = u"f" + name;
    return CWString(name).toUtf8String();
}

// libcurl writes a form's names with '"' and line breaks escaped.
std::string escapedForForm(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '"')
            out += "%22";
        else if (c == '\r')
            out += "%0D";
        else if (c == '\n')
            out += "%0A";
        else
            out += c;
    }
    return out;
}

struct Part {
    std::string headers;
    std::string content;
};

std::string headerValue(const std::string& headers, std::string_view name) {
    std::size_t start = 0;
    while (start < headers.size()) {
        std::size_t end = headers.find("\r\n", start);
        if (end == std::string::npos)
            end = headers.size();
        const std::string_view line = std::string_view(headers).substr(start, end - start);
        if (line.size() > name.size() + 1 && line.substr(0, name.size()) == name && line[name.size()] == ':')
            return std::string(line.substr(name.size() + 2));
        start = end + 2;
    }
    return {};
}

// The parts of a multipart/form-data request as it went on the wire.
std::vector<Part> partsOf(const std::string& request) {
    const std::size_t bodyStart = request.find("\r\n\r\n");
    FUZZ_CHECK(bodyStart != std::string::npos);
    const std::string head = request.substr(0, bodyStart + 2);
    const std::string type = headerValue(head, "Content-Type");
    const std::size_t boundaryAt = type.find("boundary=");
    FUZZ_CHECK(type.starts_with("multipart/form-data") && boundaryAt != std::string::npos);
    const std::string delimiter = "--" + type.substr(boundaryAt + 9);
    const std::string body = request.substr(bodyStart + 4);
    std::vector<Part> parts;
    std::size_t at = body.find(delimiter);
    FUZZ_CHECK(at == 0);
    for (;;) {
        at += delimiter.size();
        if (body.compare(at, 2, "--") == 0)
            break;
        FUZZ_CHECK(body.compare(at, 2, "\r\n") == 0);
        const std::size_t headersEnd = body.find("\r\n\r\n", at + 2);
        FUZZ_CHECK(headersEnd != std::string::npos);
        const std::size_t next = body.find("\r\n" + delimiter, headersEnd + 4);
        FUZZ_CHECK(next != std::string::npos);
        parts.push_back({body.substr(at + 2, headersEnd + 2 - (at + 2)),
                         body.substr(headersEnd + 4, next - (headersEnd + 4))});
        at = next + 2;
    }
    return parts;
}

// The loopback listener that stands in for the server.
int listener() {
    static const int fd = [] {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        FUZZ_CHECK(s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                   ::listen(s, 4) == 0);
        return s;
    }();
    return fd;
}

std::uint16_t listenerPort() {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    FUZZ_CHECK(::getsockname(listener(), reinterpret_cast<sockaddr*>(&address), &length) == 0);
    return ntohs(address.sin_port);
}

// The request has arrived whole: its header block and as many body bytes as it
// announced.
bool complete(const std::string& request) {
    const std::size_t end = request.find("\r\n\r\n");
    if (end == std::string::npos)
        return false;
    const std::string length = headerValue(request.substr(0, end + 2), "Content-Length");
    return !length.empty() && request.size() >= end + 4 + std::stoul(length);
}

std::size_t ignoreBody(char*, std::size_t size, std::size_t count, void*) { return size * count; }

// What libcurl sends for the form. The transfer runs through the multi interface
// so that the target can play the server in between: it answers only once the
// whole request is in, as libcurl stops sending a body that a server has
// answered already.
std::string sentRequest(rg_WangLaoChuanShuLei& transfer, curl_mime* mime) {
    CURL* easy = transfer.easy();
    curl_slist* headers = curl_slist_append(nullptr, "Expect:");
    const std::string url = "http://127.0.0.1:" + std::to_string(listenerPort()) + "/";
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_MIMEPOST, mime);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, ignoreBody);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, 10000L);
    CURLM* multi = curl_multi_init();
    FUZZ_CHECK(multi != nullptr && curl_multi_add_handle(multi, easy) == CURLM_OK);
    int server = -1;
    bool answered = false;
    std::string request;
    int running = 1;
    while (running) {
        FUZZ_CHECK(curl_multi_perform(multi, &running) == CURLM_OK);
        if (server < 0)
            server = ::accept4(listener(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        char chunk[16384];
        ssize_t n;
        while (server >= 0 && (n = ::recv(server, chunk, sizeof chunk, 0)) > 0)
            request.append(chunk, static_cast<std::size_t>(n));
        if (server >= 0 && !answered && complete(request)) {
            static const char kAnswer[] = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            FUZZ_CHECK(::send(server, kAnswer, sizeof kAnswer - 1, 0) ==
                       static_cast<ssize_t>(sizeof kAnswer - 1));
            answered = true;
        }
        if (running)
            curl_multi_poll(multi, nullptr, 0, 1, nullptr);
    }
    CURLcode result = CURLE_FAILED_INIT;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    }
    curl_multi_remove_handle(multi, easy);
    curl_multi_cleanup(multi);
    curl_easy_setopt(easy, CURLOPT_MIMEPOST, nullptr);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);
    if (server >= 0)
        ::close(server);
    FUZZ_CHECK(result == CURLE_OK && answered);
    return request;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static rg_WangLaoChuanShuLei transfer;
    FuzzFields input(data, size);
    const std::uint8_t control = input.byte();
    const std::size_t count = (control & 3) + 1;
    const bool withNames = control & 4, withTypes = control & 16;
    const std::size_t nameCount = withNames ? count - ((control & 8) ? 1 : 0) : 0;
    const std::size_t typeCount = withTypes ? count - ((control & 32) ? 1 : 0) : 0;

    rg_quelt_base::rg_WenBenShuZuLei files, names, types;
    std::vector<std::string> fileNames;
    for (std::size_t i = 0; i < count; ++i) {
        fileNames.push_back(fileNameFrom(input.text()));
        const std::string path = scratchFolder() + "/" + fileNames.back();
        FILE* file = std::fopen(path.c_str(), "wb");
        FUZZ_CHECK(file != nullptr);
        std::fputs("content", file);
        std::fclose(file);
        files.Append(CWString::fromUtf8(path).view());
    }
    // A zero would end the text where libcurl takes it, so none is given.
    for (std::size_t i = 0; i < nameCount; ++i) {
        std::string name(input.field());
        for (char& c : name) {
            if (c == '\0')
                c = ' ';
        }
        names.Append(CWString::fromUtf8(name).view());
    }
    // A type goes into the part's header as it stands: line breaks are the
    // caller's to keep out, so none is given.
    for (std::size_t i = 0; i < typeCount; ++i) {
        std::string type(input.field());
        for (char& c : type) {
            if (c == '\r' || c == '\n' || c == '\0')
                c = ' ';
        }
        types.Append(CWString::fromUtf8(type).view());
    }

    std::vector<Part> parts;
    {
        rg_DuoYongTuKuoZhanGeShiLei form;
        form.Build(transfer, files, withNames ? &names : nullptr, withTypes ? &types : nullptr);
        parts = partsOf(sentRequest(transfer, form.mime()));
    }
    for (const std::string& name : fileNames)
        ::unlink((scratchFolder() + "/" + name).c_str());

    FUZZ_CHECK(parts.size() == count);
    for (std::size_t i = 0; i < count; ++i) {
        const Part& part = parts[i];
        FUZZ_CHECK(part.content == "content");
        const std::string disposition = headerValue(part.headers, "Content-Disposition");
        std::string expected = "form-data";
        if (!withNames)
            expected += i == 0 ? "; name=\"file\"" : "; name=\"file-" + std::to_string(i) + "\"";
        else if (nameCount == count)
            expected += "; name=\"" + escapedForForm(CurlText(names.At(i)).str()) + "\"";
        // The name is quoted, so it may hold anything, "; filename=" too: the file
        // name follows right after it. It is escaped into plain URL characters,
        // which decode back to the file's name.
        const std::size_t at = expected.size();
        FUZZ_CHECK(disposition.compare(0, at, expected) == 0);
        FUZZ_CHECK(disposition.compare(at, 12, "; filename=\"") == 0);
        FUZZ_CHECK(disposition.size() >= at + 13 && disposition.back() == '"');
        const std::string sentName = disposition.substr(at + 12, disposition.size() - at - 13);
        FUZZ_CHECK(sentName.find_first_not_of(
                       "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~%") ==
                   std::string::npos);
        int length = 0;
        char* decoded =
            curl_easy_unescape(transfer.easy(), sentName.c_str(), static_cast<int>(sentName.size()), &length);
        FUZZ_CHECK(decoded != nullptr);
        FUZZ_CHECK(std::string(decoded, static_cast<std::size_t>(length)) ==
                   CWString::fromUtf8(fileNames[i]).toUtf8String());
        curl_free(decoded);
        const std::string type = headerValue(part.headers, "Content-Type");
        if (!withTypes)
            FUZZ_CHECK(type == "application/x-www-form-urlencoded");
        else if (typeCount == count && !types.At(i).isEmpty())
            FUZZ_CHECK(type == CurlText(types.At(i)).str());
    }
    return 0;
}
