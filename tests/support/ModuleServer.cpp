#include "tests/support/ModuleServer.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace mireth_test {

namespace {

constexpr const char* kVariable = "MIRETH_TEST_SERVER";

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

size_t appendToString(char* data, size_t size, size_t count, void* sink) {
    try {
        static_cast<std::string*>(sink)->append(data, size * count);
        return size * count;
    } catch (...) {
        return 0; // aborts the transfer
    }
}

// One plain libcurl transfer to the loopback server; the HTTP status, or 0 with
// *error set when the transfer failed.
long transfer(const std::string& url, bool post, std::string* body, std::string* error) {
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        *error = "curl_easy_init failed";
        return 0;
    }
    char message[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    // Loopback never goes through a proxy, whatever the environment says.
    curl_easy_setopt(curl.get(), CURLOPT_PROXY, "");
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, appendToString);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, body);
    if (post) {
        curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE, 0L);
        curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, "");
    }
    const CURLcode result = curl_easy_perform(curl.get());
    if (result != CURLE_OK) {
        *error = url + ": " + (message[0] ? message : curl_easy_strerror(result));
        return 0;
    }
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    return status;
}

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool base64Decode(std::string_view text, std::string* out) {
    out->clear();
    unsigned buffer = 0;
    int bits = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] != '='; ++i) {
        const int value = base64Value(text[i]);
        if (value < 0)
            return false;
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out->push_back(static_cast<char>((buffer >> bits) & 0xFF));
        }
    }
    for (; i < text.size(); ++i)
        if (text[i] != '=')
            return false;
    return text.size() % 4 == 0;
}

std::string queryFor(std::string_view tag) {
    return tag.empty() ? std::string() : "?tag=" + ModuleServer::percentEncoded(tag);
}

} // namespace

std::string RecordedRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers)
        if (sameNameIgnoringCase(key, name))
            return value;
    return {};
}

std::size_t RecordedRequest::headerCount(std::string_view name) const {
    std::size_t count = 0;
    for (const auto& entry : headers)
        if (sameNameIgnoringCase(entry.first, name))
            ++count;
    return count;
}

std::string RecordedRequest::formField(std::string_view name) const {
    const auto hexValue = [](char c) {
        return c >= '0' && c <= '9'
                   ? c - '0'
                   : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : (c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1));
    };
    std::string found;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string::npos)
            end = body.size();
        const std::string_view pair = std::string_view(body).substr(start, end - start);
        const std::size_t equals = pair.find('=');
        if (pair.substr(0, equals) == name) {
            found.clear();
            const std::string_view value =
                equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1);
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (value[i] == '+') {
                    found.push_back(' ');
                } else if (value[i] == '%' && i + 2 < value.size() && hexValue(value[i + 1]) >= 0 &&
                           hexValue(value[i + 2]) >= 0) {
                    found.push_back(static_cast<char>(hexValue(value[i + 1]) * 16 + hexValue(value[i + 2])));
                    i += 2;
                } else {
                    found.push_back(value[i]);
                }
            }
        }
        start = end + 1;
    }
    return found;
}

std::size_t mostAtOnce(const std::vector<RecordedRequest>& requests) {
    // +1 at each arrival, −1 at each end; ends sort before arrivals at the same time.
    std::vector<std::pair<double, int>> events;
    for (const RecordedRequest& request : requests) {
        events.emplace_back(request.arrived, 1);
        if (request.answered > 0.0)
            events.emplace_back(request.answered, -1);
    }
    std::sort(events.begin(), events.end());
    std::size_t most = 0;
    long open = 0;
    for (const auto& event : events) {
        open += event.second;
        most = std::max(most, static_cast<std::size_t>(open > 0 ? open : 0));
    }
    return most;
}

ModuleServer::ModuleServer() {
    const char* variable = std::getenv(kVariable);
    if (!variable || !*variable) {
        problem_ = std::string(kVariable) +
                   " is not set: run this test through ctest, which starts the module server "
                   "(fixture module_server; see cmake/ModuleServer.cmake)";
        return;
    }
    const std::string path = nativePath(variable);
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    if (file)
        text << file.rdbuf();
    if (!file) {
        problem_ = std::string(kVariable) + " names " + path +
                   ", which cannot be read: the fixture module_server_start did not run or failed";
        return;
    }
    ports_ = parsePortFile(text.str());
    if (ports_.http == 0)
        problem_ = "the port file " + path + " names no http port";
}

std::string ModuleServer::httpBase() const {
    if (!isAvailable()) {
        ADD_FAILURE() << "no module server: " << problem_;
        return {};
    }
    return "http://127.0.0.1:" + std::to_string(ports_.http) + "/";
}

std::string ModuleServer::httpsBase() const {
    if (ports_.https == 0) {
        ADD_FAILURE() << "no module server over TLS: "
                      << (problem_.empty() ? "it was started without --https" : problem_);
        return {};
    }
    return "https://127.0.0.1:" + std::to_string(ports_.https) + "/";
}

std::string ModuleServer::proxyAddress(bool withPassword) const {
    const int port = withPassword ? ports_.proxyAuth : ports_.proxy;
    if (port == 0) {
        ADD_FAILURE() << "the module server names no test proxy";
        return {};
    }
    return "http://127.0.0.1:" + std::to_string(port);
}

std::string ModuleServer::certificateFile() const {
    if (ports_.certificate.empty()) {
        ADD_FAILURE() << "the module server names no certificate: it was started without --https";
        return {};
    }
    return nativePath(ports_.certificate);
}

std::vector<RecordedRequest> ModuleServer::recordedRequests(std::string_view tag) const {
    const std::string base = httpBase();
    if (base.empty())
        return {};
    std::string body, error;
    const long status = transfer(base + "_requests" + queryFor(tag), false, &body, &error);
    if (status != 200) {
        ADD_FAILURE() << "fetching the recorded requests failed: "
                      << (error.empty() ? "HTTP " + std::to_string(status) : error);
        return {};
    }
    auto records = parseRecords(body, &error);
    if (!error.empty())
        ADD_FAILURE() << "the recorded requests cannot be read: " << error;
    return records;
}

bool ModuleServer::clearRequests(std::string_view tag) const {
    const std::string base = httpBase();
    if (base.empty())
        return false;
    std::string body, error;
    const long status = transfer(base + "_requests/clear" + queryFor(tag), true, &body, &error);
    if (status != 200) {
        ADD_FAILURE() << "clearing the recorded requests failed: "
                      << (error.empty() ? "HTTP " + std::to_string(status) : error);
        return false;
    }
    return true;
}

std::string ModuleServer::nativePath(std::string_view portFile) {
    std::string path(portFile);
#ifdef _WIN32
    // Under Wine the variable carries the build host's path; drive Z: is its root.
    if (!path.empty() && path.front() == '/') {
        path.insert(0, "Z:");
        for (char& c : path)
            if (c == '/')
                c = '\\';
    }
#endif
    return path;
}

ModuleServer::Ports ModuleServer::parsePortFile(std::string_view text) {
    Ports ports;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        if (line.starts_with("certificate ")) {
            ports.certificate = line.substr(12);
            while (!ports.certificate.empty() &&
                   (ports.certificate.back() == '\r' || ports.certificate.back() == ' '))
                ports.certificate.pop_back();
            continue;
        }
        std::istringstream fields(line);
        std::string scheme;
        long port = 0;
        std::string rest;
        if (!(fields >> scheme >> port) || (fields >> rest) || port < 1 || port > 65535)
            continue;
        if (scheme == "http")
            ports.http = static_cast<int>(port);
        else if (scheme == "https")
            ports.https = static_cast<int>(port);
        else if (scheme == "proxy")
            ports.proxy = static_cast<int>(port);
        else if (scheme == "proxy-auth")
            ports.proxyAuth = static_cast<int>(port);
    }
    return ports;
}

std::vector<RecordedRequest> ModuleServer::parseRecords(std::string_view json, std::string* error) {
    error->clear();
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string parseErrors;
    if (!reader->parse(json.data(), json.data() + json.size(), &root, &parseErrors)) {
        *error = "not JSON: " + parseErrors;
        return {};
    }
    if (!root.isArray()) {
        *error = "not an array";
        return {};
    }
    std::vector<RecordedRequest> records;
    for (const Json::Value& item : root) {
        const auto text = [&item](const char* key) { return item.isObject() && item[key].isString(); };
        if (!text("method") || !text("path") || !text("body") || !item["headers"].isArray()) {
            *error = "a record lacks method, path, body or headers";
            return {};
        }
        RecordedRequest request;
        request.method = item["method"].asString();
        request.path = item["path"].asString();
        request.scheme = text("scheme") ? item["scheme"].asString() : std::string();
        request.arrived = item["time"].isNumeric() ? item["time"].asDouble() : 0.0;
        request.answered = item["end"].isNumeric() ? item["end"].asDouble() : 0.0;
        request.clientPort = item["client"].isInt() ? item["client"].asInt() : 0;
        request.status = item["status"].isInt() ? item["status"].asInt() : 0;
        request.inFlight = item["inflight"].isInt() ? item["inflight"].asInt() : 0;
        for (const Json::Value& pair : item["headers"]) {
            if (!pair.isArray() || pair.size() != 2 || !pair[0].isString() || !pair[1].isString()) {
                *error = "a header is not a [name, value] pair";
                return {};
            }
            request.headers.emplace_back(pair[0].asString(), pair[1].asString());
        }
        if (!base64Decode(item["body"].asString(), &request.body)) {
            *error = "a body is not base64";
            return {};
        }
        records.push_back(std::move(request));
    }
    return records;
}

std::string ModuleServer::percentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' ||
                           byte == '~';
        if (plain) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0xF]);
        }
    }
    return out;
}

} // namespace mireth_test
