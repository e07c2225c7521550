#include "runtime/net/rg_WangLaoChuanShuLei.h"

#include "runtime/net/CurlText.h"
#include "runtime/net/MemoryBodySink.h"
#include "runtime/net/RedirectRule.h"
#include "runtime/platform/SystemInfo.h"

#include <limits>

namespace rg_quelt_windows_WangLao {

QUELT_DEFINE_CLASS(rg_WangLaoChuanShuLei, CQueltObject, "rg_quelt_windows_WangLao::rg_WangLaoChuanShuLei")

namespace {

size_t sinkCallback(char* data, size_t size, size_t count, void* sink) {
    const size_t bytes = size * count;
    try {
        return static_cast<IQueltBodySink*>(sink)->write(data, bytes) ? bytes : 0;
    } catch (...) {
        return 0; // never through libcurl
    }
}

// Where a body goes, with the handle it comes from: the body of a redirect is no
// part of the answer and is dropped.
struct BodyRoute {
    CURL* curl;
    void* data;
    curl_write_callback writer;
};

size_t routedBody(char* data, size_t size, size_t count, void* user) {
    const auto* route = static_cast<const BodyRoute*>(user);
    long status = 0;
    if (curl_easy_getinfo(route->curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
        isRedirectStatus(status))
        return size * count;
    return route->writer(data, size, count, route->data);
}

size_t headerCallback(char* data, size_t size, size_t count, void* sink) {
    auto* lines = static_cast<rg_quelt_base::rg_WenBenShuZuLei*>(sink);
    const size_t bytes = size * count;
    lines->Append(CWString::fromAnsi(data, bytes).view());
    return bytes;
}

} // namespace

int rg_WangLaoChuanShuLei::progressCallback(void* client, curl_off_t dlTotal, curl_off_t dlNow,
                                            curl_off_t ulTotal, curl_off_t ulNow) {
    auto* transfer = static_cast<rg_WangLaoChuanShuLei*>(client);
    if (!transfer || !transfer->noticeWindow_ || !transfer->hasProgressListener())
        return 0;
    const ProgressCounts counts{dlTotal, dlNow, ulTotal, ulNow};
    if (!transfer->progressThrottle_.due(counts, platform::tickCount()))
        return 0;
    return static_cast<int>(transfer->sendProgress(counts));
}

std::intptr_t rg_WangLaoChuanShuLei::sendProgress(const ProgressCounts& counts) {
    return platform::sendNotice(noticeWindow_, 0, reinterpret_cast<std::uintptr_t>(&counts), 0);
}

rg_WangLaoChuanShuLei::rg_WangLaoChuanShuLei()
    : noticeWindow_(platform::createNoticeWindow(this)),
      handle_(RefPtr<TransferHandle>::adopt(new TransferHandle())) {}

rg_WangLaoChuanShuLei::rg_WangLaoChuanShuLei(const rg_WangLaoChuanShuLei& other)
    : CQueltObject(other), noticeWindow_(platform::createNoticeWindow(this)), handle_(other.handle_) {}

rg_WangLaoChuanShuLei& rg_WangLaoChuanShuLei::operator=(const rg_WangLaoChuanShuLei& other) {
    if (this != &other && handle_.get() != other.handle_.get()) {
        CQueltObject::operator=(other);
        detachProgress();
        handle_ = other.handle_;
    }
    return *this;
}

rg_WangLaoChuanShuLei::~rg_WangLaoChuanShuLei() {
    detachProgress();
    handle_ = RefPtr<TransferHandle>(); // before the notice window goes, as always
    progressConnection.unbind();
    platform::destroyNoticeWindow(noticeWindow_);
}

void rg_WangLaoChuanShuLei::attachProgress() {
    CURL* curl = easy();
    if (!curl)
        return;
    wantsProgress_ = true;
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    if (curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this) == CURLE_OK)
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &progressCallback);
    handle_->progressOwner = this;
}

// A shared handle must never call back into an object that is gone.
void rg_WangLaoChuanShuLei::detachProgress() {
    if (handle_->progressOwner != this)
        return;
    handle_->progressOwner = nullptr;
    if (CURL* curl = easy()) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, static_cast<curl_xferinfo_callback>(nullptr));
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, static_cast<void*>(nullptr));
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 1L);
    }
}

void rg_WangLaoChuanShuLei::setTextOption(CURLoption option, const CWString& text, int* result) {
    CURL* curl = easy();
    const int code = curl ? curl_easy_setopt(curl, option, CurlText(text).optionOrNull()) : CURLE_FAILED_INIT;
    if (result)
        *result = code;
}

void rg_WangLaoChuanShuLei::SetProxy(const CWString& text) { setTextOption(CURLOPT_PROXY, text); }

void rg_WangLaoChuanShuLei::SetProxyUserName(const CWString& text) {
    setTextOption(CURLOPT_PROXYUSERNAME, text);
}

void rg_WangLaoChuanShuLei::SetProxyPassword(const CWString& text) {
    setTextOption(CURLOPT_PROXYPASSWORD, text);
}

void rg_WangLaoChuanShuLei::SetAcceptEncoding(const CWString& text) {
    setTextOption(CURLOPT_ACCEPT_ENCODING, text);
}

int rg_WangLaoChuanShuLei::SetCookie(const CWString& text) {
    int result = 0;
    setTextOption(CURLOPT_COOKIE, text, &result);
    return result;
}

int rg_WangLaoChuanShuLei::SetCustomMethod(const CWString& text) {
    int result = 0;
    setTextOption(CURLOPT_CUSTOMREQUEST, text, &result);
    return result;
}

int rg_WangLaoChuanShuLei::SetPostData(const CQueltMem* data, bool copy) {
    CURL* curl = easy();
    if (!curl)
        return CURLE_FAILED_INIT;
    const bool none = !data || data->isNullInstance() || data->empty();
    const std::size_t size = none ? 0 : data->size();
    // The 32-bit size option caps what it can describe; larger bodies use the large form.
    if (size <= static_cast<std::size_t>(std::numeric_limits<long>::max()) && size <= 0x7FFFFFFF)
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(size));
    else
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(size));
    const void* bytes = none ? nullptr : data->data();
    return curl_easy_setopt(curl, copy ? CURLOPT_COPYPOSTFIELDS : CURLOPT_POSTFIELDS, bytes);
}

CWString rg_WangLaoChuanShuLei::EscapeUrl(const CQueltMem& bytes) const {
    if (bytes.empty())
        return CWString();
    CURL* curl = easy();
    if (!curl || bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return CWString();
    char* escaped =
        curl_easy_escape(curl, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
    if (!escaped)
        return CWString();
    CWString text = CWString::fromUtf8(escaped, std::char_traits<char>::length(escaped));
    curl_free(escaped);
    return text;
}

int rg_WangLaoChuanShuLei::Perform(CQueltMem* body, rg_quelt_base::rg_WenBenShuZuLei* headers) {
    if (!body)
        return performWith(nullptr, nullptr, headers);
    MemoryBodySink sink(*body);
    return performWith(&sink, &sinkCallback, headers);
}

int rg_WangLaoChuanShuLei::Perform(IQueltBodySink& sink, rg_quelt_base::rg_WenBenShuZuLei* headers) {
    return performWith(&sink, &sinkCallback, headers);
}

int rg_WangLaoChuanShuLei::performWith(void* bodyData, curl_write_callback bodyWriter,
                                       rg_quelt_base::rg_WenBenShuZuLei* headers) {
    CURL* curl = easy();
    if (!curl)
        return CURLE_FAILED_INIT;
    if (wantsProgress_ && handle_->progressOwner != this)
        attachProgress();
    if (headers && curl_easy_setopt(curl, CURLOPT_HEADERDATA, headers) == CURLE_OK)
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &headerCallback);
    BodyRoute route{curl, bodyData, bodyWriter};
    if (bodyData && curl_easy_setopt(curl, CURLOPT_WRITEDATA, static_cast<void*>(&route)) == CURLE_OK)
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &routedBody);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);

    handle_->clearErrorText();
    progressThrottle_.restart();
    const CURLcode result = curl_easy_perform(curl);
    // The listener hears where the transfer ended, even when the last calls were
    // too close together to be told; its answer cannot abort anything any more.
    ProgressCounts last;
    if (noticeWindow_ && hasProgressListener() && progressThrottle_.untold(last))
        sendProgress(last);

    if (headers && curl_easy_setopt(curl, CURLOPT_HEADERDATA, static_cast<void*>(nullptr)) == CURLE_OK)
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, static_cast<curl_write_callback>(nullptr));
    if (bodyData && curl_easy_setopt(curl, CURLOPT_WRITEDATA, static_cast<void*>(nullptr)) == CURLE_OK)
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, static_cast<curl_write_callback>(nullptr));
    return result;
}

std::intptr_t rg_WangLaoChuanShuLei::onNotice(std::uintptr_t, std::uintptr_t second, std::uintptr_t) {
    const auto* counts = reinterpret_cast<const ProgressCounts*>(second);
    if (!counts)
        return 0;
    return progressConnection.fire(this, counts->downloadTotal, counts->downloadNow, counts->uploadTotal,
                                   counts->uploadNow);
}

} // namespace rg_quelt_windows_WangLao
