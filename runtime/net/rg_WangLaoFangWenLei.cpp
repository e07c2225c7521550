#include "runtime/net/rg_WangLaoFangWenLei.h"

#include "runtime/net/CurlText.h"
#include "runtime/net/rg_DuoYongTuKuoZhanGeShiLei.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace rg_quelt_windows_WangLao {

QUELT_DEFINE_CLASS(rg_WangLaoFangWenLei, CQueltObject, "rg_quelt_windows_WangLao::rg_WangLaoFangWenLei")

rg_WangLaoFangWenLei::rg_WangLaoFangWenLei() : receiver_(this) { connectProgress(); }

rg_WangLaoFangWenLei::rg_WangLaoFangWenLei(const rg_WangLaoFangWenLei& other)
    : CQueltObject(other), transfer_(other.transfer_), property_(other.property_), receiver_(this) {
    connectProgress();
}

rg_WangLaoFangWenLei& rg_WangLaoFangWenLei::operator=(const rg_WangLaoFangWenLei& other) {
    if (this != &other) {
        CQueltObject::operator=(other);
        transfer_ = other.transfer_;
        property_ = other.property_;
        connectProgress();
    }
    return *this;
}

rg_WangLaoFangWenLei::~rg_WangLaoFangWenLei() {
    // No progress handler may run once destruction has begun.
    receiver_.teardown();
    progressEvent.unbind();
}

void rg_WangLaoFangWenLei::connectProgress() {
    transfer_.attachProgress();
    transfer_.setListenerProbe(
        [](const void* self) {
            return const_cast<rg_WangLaoFangWenLei*>(static_cast<const rg_WangLaoFangWenLei*>(self))
                ->progressEvent.isBound();
        },
        this);
    if (CURL* curl = transfer_.easy())
        curl_easy_setopt(curl, CURLOPT_TCP_FASTOPEN, 1L);
    transfer_.progressConnection.bind(&forwardProgress, receiver_.pointer(), 0);
}

std::int32_t rg_WangLaoFangWenLei::forwardProgress(CQueltObject* target, CQueltObject*, std::int32_t,
                                                   std::int64_t downloadTotal, std::int64_t downloadNow,
                                                   std::int64_t uploadTotal, std::int64_t uploadNow) {
    auto* self = static_cast<rg_WangLaoFangWenLei*>(target);
    return self->progressEvent.fire(self, downloadTotal, downloadNow, uploadTotal, uploadNow);
}

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

// Builds libcurl's header list; null for an empty list or when an append fails.
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

bool present(const CQueltObject* object) { return object && !object->isNullInstance(); }

} // namespace

void rg_WangLaoFangWenLei::configure(CURL* curl, const CWString& url, const CQueltMem* body,
                                     const rg_quelt_base::rg_WenBenShuZuLei& headers,
                                     const RequestTexts& texts) {
    curl_easy_setopt(curl, CURLOPT_URL, CurlText(url).str());
    transfer_.SetCustomMethod(CWString::borrowed(u"POST"));

    curl_slist* list = buildHeaderList(headers);
    transfer_.handle().replaceHeaderList(list);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);

    transfer_.SetCookie(texts.cookie);

    if (present(body) && !body->empty()) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
        curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, body->data());
    } else if (present(body)) {
        transfer_.SetPostData(nullptr, false);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, 0L);
    } else {
        // No body: a POST without request data (and no stale data from a previous request).
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, static_cast<const char*>(nullptr));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, 0L);
    }
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);

    transfer_.SetAcceptEncoding(texts.acceptEncoding);

    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);

    transfer_.SetProxy(texts.proxy);
    transfer_.SetProxyUserName(texts.proxyUser);
    transfer_.SetProxyPassword(texts.proxyPassword);

    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 0L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedLimitBytes);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kLowSpeedTimeSeconds);

    // Module servers run with certificates of their own making; they are never verified.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl, CURLOPT_PROXY_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_PROXY_SSL_VERIFYHOST, 0L);
}

void rg_WangLaoFangWenLei::finish(CURL* curl, rg_WangYeFangWenXiangYingLei& response) {
    response.ParseHeaderLines();
    long redirects = 0;
    if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_COUNT, &redirects) == CURLE_OK)
        response.setRedirectCount(static_cast<std::int32_t>(redirects));
    if (response.location().isEmpty()) {
        char* redirectUrl = nullptr;
        if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &redirectUrl) == CURLE_OK && redirectUrl)
            response.setLocation(
                CWString::fromUtf8(redirectUrl, std::char_traits<char>::length(redirectUrl)));
    }
    long code = 0;
    if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code) == CURLE_OK)
        response.setResponseCode(static_cast<std::int32_t>(code));
    curl_off_t total = 0;
    if (curl_easy_getinfo(curl, CURLINFO_TOTAL_TIME_T, &total) == CURLE_OK)
        response.setTotalTime(static_cast<std::int64_t>(total));
}

rg_WangYeFangWenXiangYingLei rg_WangLaoFangWenLei::SendRequest(
    const CWString& url, std::int32_t, const CQueltMem* body, const rg_quelt_base::rg_WenBenShuZuLei& headers,
    const CWString& cookie, const CWString& acceptEncoding, const CWString& proxy, const CWString& proxyUser,
    const CWString& proxyPassword, std::int32_t, std::int32_t, std::int32_t,
    const rg_quelt_base::rg_WenBenShuZuLei* files, const rg_quelt_base::rg_WenBenShuZuLei* names,
    const rg_quelt_base::rg_WenBenShuZuLei* types) {
    rg_WangYeFangWenXiangYingLei response;
    CURL* curl = transfer_.easy();
    if (!curl) {
        response.setCurlResult(CURLE_FAILED_INIT);
        return response;
    }
    configure(curl, url, body, headers, {cookie, acceptEncoding, proxy, proxyUser, proxyPassword});

    rg_DuoYongTuKuoZhanGeShiLei form;
    if (present(files)) {
        form.Build(transfer_, *files, names, types);
        curl_easy_setopt(curl, CURLOPT_MIMEPOST, form.mime());
    }

    response.setCurlResult(transfer_.Perform(&response.body(), &response.headerLines()));
    finish(curl, response);

    // The form dies with this call; the handle must not keep pointing at it.
    if (present(files))
        curl_easy_setopt(curl, CURLOPT_MIMEPOST, static_cast<curl_mime*>(nullptr));
    return response;
}

rg_WangYeFangWenXiangYingLei
rg_WangLaoFangWenLei::SendRequestTo(IQueltBodySink& sink, const CWString& url, const CQueltMem* body,
                                    const rg_quelt_base::rg_WenBenShuZuLei& headers) {
    rg_WangYeFangWenXiangYingLei response;
    CURL* curl = transfer_.easy();
    if (!curl) {
        response.setCurlResult(CURLE_FAILED_INIT);
        return response;
    }
    const CWString none;
    configure(curl, url, body, headers, {none, none, none, none, none});
    response.setCurlResult(transfer_.Perform(sink, &response.headerLines()));
    finish(curl, response);
    return response;
}

rg_WangYeFangWenXiangYingLei rg_WangLaoFangWenLei::Post(const CWString& url, const CQueltMem* body,
                                                        const rg_quelt_base::rg_WenBenShuZuLei& headers) {
    const CWString none;
    return SendRequest(url, 1, body, headers, none, none, none, none, none, -1, -1, 1, nullptr, nullptr,
                       nullptr);
}

} // namespace rg_quelt_windows_WangLao
