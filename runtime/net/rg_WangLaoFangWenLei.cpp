#include "runtime/net/rg_WangLaoFangWenLei.h"

#include "runtime/net/RedirectRule.h"
#include "runtime/net/rg_DuoYongTuKuoZhanGeShiLei.h"

#include <algorithm>
#include <string>

namespace rg_quelt_windows_WangLao {

QUELT_DEFINE_CLASS(rg_WangLaoFangWenLei, CQueltObject, "rg_quelt_windows_WangLao::rg_WangLaoFangWenLei")

rg_WangLaoFangWenLei::rg_WangLaoFangWenLei() : receiver_(this) { connectProgress(); }

rg_WangLaoFangWenLei::rg_WangLaoFangWenLei(const rg_WangLaoFangWenLei& other)
    : CQueltObject(other), transfer_(other.transfer_), property_(other.property_), policy_(other.policy_),
      receiver_(this) {
    connectProgress();
}

rg_WangLaoFangWenLei& rg_WangLaoFangWenLei::operator=(const rg_WangLaoFangWenLei& other) {
    if (this != &other) {
        CQueltObject::operator=(other);
        transfer_ = other.transfer_;
        property_ = other.property_;
        policy_ = other.policy_;
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

bool present(const CQueltObject* object) { return object && !object->isNullInstance(); }

} // namespace

void rg_WangLaoFangWenLei::performFollowing(CURL* curl, const CWString& url, IQueltBodySink* sink,
                                            rg_WangYeFangWenXiangYingLei& response) {
    std::string current = url.toAnsi();
    bool asGet = false;
    int redirects = 0;
    for (;;) {
        response.setCurlResult(sink ? transfer_.Perform(*sink, &response.headerLines())
                                    : transfer_.Perform(&response.body(), &response.headerLines()));
        long status = 0;
        char* target = nullptr;
        if (response.curlResult() != CURLE_OK ||
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK ||
            !isRedirectStatus(status) ||
            curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &target) != CURLE_OK || !target)
            break;
        const RedirectDecision decision = decideRedirect(current, status, target, asGet);
        if (decision.action == RedirectAction::Refuse) {
            response.setFailureText(CWString(decision.reason));
            response.setRedirectRefusal(decision.refusal);
            break;
        }
        if (redirects == kMaxRedirects) {
            response.setCurlResult(CURLE_TOO_MANY_REDIRECTS);
            response.setRedirectRefusal(RedirectRefusal::TooMany);
            response.setFailureText(CWString(u"more than ") + CWString::fromInteger(kMaxRedirects).view() +
                                    u" redirects");
            break;
        }
        ++redirects;
        current = target;
        curl_easy_setopt(curl, CURLOPT_URL, current.c_str());
        if (decision.action == RedirectAction::FollowAsGet) {
            asGet = true;
            curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
        }
    }
    response.setRedirectCount(redirects);
    if (response.curlResult() != CURLE_OK && response.failureText().isEmpty()) {
        const char* detail = transfer_.handle().errorText();
        const char* text =
            detail[0] ? detail : curl_easy_strerror(static_cast<CURLcode>(response.curlResult()));
        response.setFailureText(CWString::fromAnsi(text, std::char_traits<char>::length(text)));
    }
}

void rg_WangLaoFangWenLei::finish(CURL* curl, rg_WangYeFangWenXiangYingLei& response) {
    response.ParseHeaderLines();
    if (response.location().isEmpty()) {
        char* redirectUrl = nullptr;
        if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &redirectUrl) == CURLE_OK && redirectUrl)
            response.setLocation(
                CWString::fromUtf8(redirectUrl, std::char_traits<char>::length(redirectUrl)));
    }
    response.setResponseCode(static_cast<std::int32_t>(answerStatus(curl)));
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
    applyRequestOptions(curl, transfer_.handle(), url, body, headers,
                        {cookie, acceptEncoding, proxy, proxyUser, proxyPassword}, policy_);

    rg_DuoYongTuKuoZhanGeShiLei form;
    if (present(files)) {
        form.Build(transfer_, *files, names, types);
        curl_easy_setopt(curl, CURLOPT_MIMEPOST, form.mime());
    }

    performFollowing(curl, url, nullptr, response);
    finish(curl, response);

    // The form dies with this call; the handle must not keep pointing at it.
    if (present(files))
        curl_easy_setopt(curl, CURLOPT_MIMEPOST, static_cast<curl_mime*>(nullptr));
    return response;
}

rg_WangYeFangWenXiangYingLei
rg_WangLaoFangWenLei::SendRequestTo(IQueltBodySink& sink, const CWString& url, const CQueltMem* body,
                                    const rg_quelt_base::rg_WenBenShuZuLei& headers,
                                    const RequestLimits& limits) {
    rg_WangYeFangWenXiangYingLei response;
    CURL* curl = transfer_.easy();
    if (!curl) {
        response.setCurlResult(CURLE_FAILED_INIT);
        return response;
    }
    const CWString none;
    applyRequestOptions(curl, transfer_.handle(), url, body, headers, {none, none, none, none, none},
                        policy_);
    // A limit libcurl refused would leave the request unbounded: it does not go.
    if ((limits.timeoutMs != 0 && curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS,
                                                   static_cast<long>(std::min<std::uint32_t>(
                                                       limits.timeoutMs, 0x7FFFFFFF))) != CURLE_OK) ||
        (limits.answerBytes != 0 &&
         curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.answerBytes)) !=
             CURLE_OK)) {
        response.setCurlResult(CURLE_BAD_FUNCTION_ARGUMENT);
    } else {
        performFollowing(curl, url, &sink, response);
        finish(curl, response);
    }
    // The handle's next requests are bounded only by what they set themselves.
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 0L);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(0));
    return response;
}

rg_WangYeFangWenXiangYingLei rg_WangLaoFangWenLei::Post(const CWString& url, const CQueltMem* body,
                                                        const rg_quelt_base::rg_WenBenShuZuLei& headers) {
    const CWString none;
    return SendRequest(url, 1, body, headers, none, none, none, none, none, -1, -1, 1, nullptr, nullptr,
                       nullptr);
}

} // namespace rg_quelt_windows_WangLao
