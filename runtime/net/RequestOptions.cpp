#include "runtime/net/RequestOptions.h"

#include "runtime/net/CurlText.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace rg_quelt_windows_WangLao {
namespace {

// libcurl finds the caller's headers by the start of each list entry. A block of
// several lines in one entry hides the later names from it, so it would add its own
// Accept (and Content-Type, Host, Expect) next to the caller's. For every such
// name on a later line of an entry, an empty "Name:" entry tells libcurl to leave
// its own out, so each header goes on the wire once.
bool appendSuppressions(curl_slist*& list, std::string_view entry) {
    static constexpr std::string_view kDefaults[] = {"Accept", "Content-Type", "Host", "Expect"};
    std::size_t lineStart = entry.find("\r\n");
    while (lineStart != std::string_view::npos) {
        lineStart += 2;
        const std::size_t lineEnd = entry.find("\r\n", lineStart);
        const std::string_view line =
            entry.substr(lineStart, lineEnd == std::string_view::npos ? lineEnd : lineEnd - lineStart);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            const std::string_view name = line.substr(0, colon);
            for (std::string_view known : kDefaults) {
                if (name.size() == known.size() &&
                    std::equal(name.begin(), name.end(), known.begin(), [](char a, char b) {
                        return std::tolower(static_cast<unsigned char>(a)) ==
                               std::tolower(static_cast<unsigned char>(b));
                    })) {
                    curl_slist* grown = curl_slist_append(list, (std::string(known) + ":").c_str());
                    if (!grown)
                        return false;
                    list = grown;
                }
            }
        }
        lineStart = lineEnd;
    }
    return true;
}

bool present(const CQueltObject* object) { return object && !object->isNullInstance(); }

void setText(CURL* curl, CURLoption option, const CWString& text) {
    curl_easy_setopt(curl, option, CurlText(text).optionOrNull());
}

// libcurl's header list for `headers`; null for an empty list or when an append fails.
curl_slist* buildHeaderList(const rg_quelt_base::rg_WenBenShuZuLei& headers) {
    curl_slist* list = nullptr;
    for (std::size_t i = 0; i < headers.Count(); ++i) {
        const CurlText entry(headers.At(i));
        curl_slist* grown = curl_slist_append(list, entry.str());
        if (!grown || !appendSuppressions(grown, entry.str())) {
            curl_slist_free_all(grown ? grown : list);
            return nullptr;
        }
        list = grown;
    }
    return list;
}

} // namespace

void applyRequestOptions(CURL* curl, TransferHandle& handle, const CWString& url, const CQueltMem* body,
                         const rg_quelt_base::rg_WenBenShuZuLei& headers, const RequestTexts& texts,
                         const TransferPolicy& policy) {
    curl_easy_setopt(curl, CURLOPT_URL, CurlText(url).str());
    // A POST by its own kind, not by a custom method word, so that a redirect that
    // turns it into a GET really is one.
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, static_cast<const char*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_POST, 1L);

    curl_slist* list = buildHeaderList(headers);
    handle.replaceHeaderList(list);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);

    setText(curl, CURLOPT_COOKIE, texts.cookie);

    if (present(body) && !body->empty()) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
        curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, body->data());
    } else {
        // No body, or an empty one: a POST without request data (and no stale data
        // from a previous request; never the read callback's).
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, 0L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, "");
    }
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);

    // "" asks for every encoding this libcurl decodes (gzip and deflate with zlib):
    // a large list travels in a fraction of its bytes, and a proxy that compresses
    // unasked no longer breaks the answer.
    if (texts.acceptEncoding.isEmpty())
        curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    else
        setText(curl, CURLOPT_ACCEPT_ENCODING, texts.acceptEncoding);

    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);

    if (texts.proxy.isEmpty()) {
        policy.proxy.apply(curl, CurlText(url).str());
    } else {
        setText(curl, CURLOPT_PROXY, texts.proxy);
        curl_easy_setopt(curl, CURLOPT_NOPROXY, static_cast<const char*>(nullptr));
    }
    setText(curl, CURLOPT_PROXYUSERNAME, texts.proxyUser);
    setText(curl, CURLOPT_PROXYPASSWORD, texts.proxyPassword);

    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 0L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, policy.connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, policy.lowSpeedBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, policy.lowSpeedSeconds);

    // Anyone on the path could otherwise read the credentials and plant modules; a
    // server's owner who accepts that turns it off in setup.ini.
    const long verify = policy.verifyPeer ? 1L : 0L;
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, verify);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, policy.verifyPeer ? 2L : 0L);
    curl_easy_setopt(curl, CURLOPT_PROXY_SSL_VERIFYPEER, verify);
    curl_easy_setopt(curl, CURLOPT_PROXY_SSL_VERIFYHOST, policy.verifyPeer ? 2L : 0L);
    // Without a file of its own, libcurl's built-in one (none where the system's
    // store serves, as with Schannel): a reused handle keeps no earlier file.
    const CurlText caFile(policy.caFile);
    char* builtIn = nullptr;
    if (policy.caFile.isEmpty() && curl_easy_getinfo(curl, CURLINFO_CAINFO, &builtIn) != CURLE_OK)
        builtIn = nullptr;
    curl_easy_setopt(curl, CURLOPT_CAINFO, policy.caFile.isEmpty() ? builtIn : caFile.str());
    // A private CA publishes no revocation list: Windows' check would refuse every
    // certificate it issued, where no list can be fetched is no reason to refuse.
    curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
}

bool isCertificateFailure(int curlResult) {
    switch (curlResult) {
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
        return true;
    default:
        return false;
    }
}

long answerStatus(CURL* curl) {
    long status = 0;
    if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK)
        status = 0;
    long proxyStatus = 0;
    if (status == 0 && curl_easy_getinfo(curl, CURLINFO_HTTP_CONNECTCODE, &proxyStatus) == CURLE_OK &&
        proxyStatus >= 300)
        status = proxyStatus;
    return status;
}

} // namespace rg_quelt_windows_WangLao
