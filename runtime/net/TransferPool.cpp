#include "runtime/net/TransferPool.h"

#include "runtime/core/RefPtr.h"
#include "runtime/net/CurlGlobal.h"
#include "runtime/net/RedirectRule.h"
#include "runtime/net/RequestOptions.h"
#include "runtime/net/TransferHandle.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <string_view>

namespace rg_quelt_windows_WangLao {

struct TransferPool::Slot {
    explicit Slot(std::size_t slotIndex)
        : index(slotIndex), handle(RefPtr<TransferHandle>::adopt(new TransferHandle())) {}
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

    std::size_t index;
    const RefPtr<TransferHandle> handle;
    ITransferListener* listener = nullptr;
    bool busy = false;
    std::string url; // where the request now goes
    bool asGet = false;
    int redirects = 0;
    std::int64_t maxBodySize = -1;
    std::int64_t rangeFrom = 0;
    long firstByteTimeoutMs = 0;

    // Of the current hop: reset when a redirect is followed.
    bool answerSeen = false; // the first body bytes (or the redirect's) have come
    bool skipping = false;   // the body is a redirect's own page
    bool limited = false;    // the body is held to maxBodySize: a 2xx answer's
    bool encoded = false;    // libcurl decodes the body: lengths and totals are the encoded ones
    std::int64_t received = 0;
    std::chrono::steady_clock::time_point askedAt{}; // when the request was out; zero before
    // Why this pool ended the transfer itself.
    bool tooLong = false;
    bool silent = false;

    void newHop() {
        answerSeen = skipping = limited = encoded = false;
        received = 0;
        askedAt = {};
    }
};

namespace {

CURLM* multiOf(void* multi) { return static_cast<CURLM*>(multi); }

// True when the current answer carries a content coding other than "identity";
// libcurl, asked for every coding it knows, decodes it on the way to us.
bool isEncoded(CURL* curl) {
    curl_header* header = nullptr;
    if (curl_easy_header(curl, "Content-Encoding", 0, CURLH_HEADER, -1, &header) != CURLHE_OK || !header ||
        !header->value)
        return false;
    // libcurl trims the blanks around the value; the coding's name is case-insensitive.
    return header->value[0] != '\0' && !curl_strequal(header->value, "identity");
}

// The value of the last such header of the answer; empty when it has none.
std::string headerValue(CURL* curl, const char* name) {
    curl_header* header = nullptr;
    if (curl_easy_header(curl, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK || !header || !header->value)
        return std::string();
    return std::string(header->value);
}

// "Accept-Ranges: bytes"; "none" or any other unit says that no range is served.
bool acceptsByteRanges(CURL* curl) {
    const std::string units = headerValue(curl, "Accept-Ranges");
    return curl_strequal(units.c_str(), "bytes") != 0;
}

} // namespace

struct TransferPool::Callbacks {
    static size_t writeBody(char* data, size_t size, size_t count, void* user) {
        const size_t bytes = size * count;
        auto* slot = static_cast<Slot*>(user);
        try {
            if (!slot->answerSeen && !beginAnswer(*slot))
                return 0;
            // A redirect's own page is no part of the answer.
            if (slot->skipping)
                return bytes;
            if (slot->limited && slot->received + static_cast<std::int64_t>(bytes) > slot->maxBodySize) {
                slot->tooLong = true;
                return 0;
            }
            slot->received += static_cast<std::int64_t>(bytes);
            return slot->listener && slot->listener->onBody(data, bytes) ? bytes : 0;
        } catch (...) {
            return 0; // never through libcurl
        }
    }

    // At the first body bytes of a hop, when its status and length are known.
    static bool beginAnswer(Slot& slot) {
        slot.answerSeen = true;
        CURL* curl = slot.handle->easy();
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        if (isRedirectStatus(status)) {
            slot.skipping = true;
            return true;
        }
        curl_off_t announced = -1;
        if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) != CURLE_OK)
            announced = -1;
        // A compressed answer announces the length of what travels, not of what it
        // holds: the size rule then goes by the decoded bytes alone.
        slot.encoded = isEncoded(curl);
        if (slot.encoded)
            announced = -1;
        // Only the answer that is to be saved is held to the size; an error page is
        // not. A range carries only what was missing of it.
        slot.limited = status >= 200 && status < 300 && slot.maxBodySize >= 0;
        if (slot.limited && status == 206 && slot.rangeFrom > 0)
            slot.maxBodySize = std::max<std::int64_t>(0, slot.maxBodySize - slot.rangeFrom);
        if (slot.limited && announced > slot.maxBodySize) {
            slot.tooLong = true;
            return false;
        }
        char* type = nullptr;
        if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) != CURLE_OK)
            type = nullptr;
        AnswerHead head;
        head.status = static_cast<std::int32_t>(status);
        head.announced = static_cast<std::int64_t>(announced);
        head.contentType = type ? std::string_view(type) : std::string_view();
        head.encoded = slot.encoded;
        head.acceptsByteRanges = acceptsByteRanges(curl);
        head.entityTag = headerValue(curl, "ETag");
        head.lastModified = headerValue(curl, "Last-Modified");
        if (status == 206)
            head.range = parseContentRange(headerValue(curl, "Content-Range"));
        return slot.listener && slot.listener->onAnswer(head);
    }

    // True once the request is out and no byte of an answer came within the limit.
    static bool heardNothing(Slot& slot) {
        if (slot.firstByteTimeoutMs <= 0 || slot.answerSeen)
            return false;
        CURL* curl = slot.handle->easy();
        long status = 0;
        curl_off_t sending = 0;
        if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status != 0 ||
            curl_easy_getinfo(curl, CURLINFO_PRETRANSFER_TIME_T, &sending) != CURLE_OK || sending <= 0)
            return false;
        const auto now = std::chrono::steady_clock::now();
        if (slot.askedAt == std::chrono::steady_clock::time_point{}) {
            slot.askedAt = now;
            return false;
        }
        return now - slot.askedAt > std::chrono::milliseconds(slot.firstByteTimeoutMs);
    }

    static int reportProgress(void* user, curl_off_t downloadTotal, curl_off_t downloadNow, curl_off_t,
                              curl_off_t) {
        auto* slot = static_cast<Slot*>(user);
        auto* listener = slot->listener;
        try {
            if (heardNothing(*slot)) {
                slot->silent = true;
                return 1;
            }
            if (slot->encoded)
                return listener && listener->onProgress(slot->received, -1) ? 0 : 1;
            const std::int64_t total = downloadTotal > 0 ? static_cast<std::int64_t>(downloadTotal) : -1;
            return listener && listener->onProgress(static_cast<std::int64_t>(downloadNow), total) ? 0 : 1;
        } catch (...) {
            return 1;
        }
    }
};

namespace {

std::u16string decimal(long value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string curlText(const char* text) {
    const CWString converted = CWString::fromAnsi(text, std::strlen(text));
    return std::u16string(converted.view());
}

} // namespace

TransferPool::TransferPool(std::size_t slots) {
    if (curlGlobalInitResult() == CURLE_OK)
        multi_ = curl_multi_init();
    slots_.reserve(slots);
    for (std::size_t i = 0; i < slots; ++i)
        slots_.push_back(std::make_unique<Slot>(i));
}

TransferPool::~TransferPool() {
    // Every easy handle leaves the multi handle before either is cleaned up.
    for (std::size_t i = 0; i < slots_.size(); ++i)
        cancel(i);
    slots_.clear();
    if (multi_)
        curl_multi_cleanup(multiOf(multi_));
}

bool TransferPool::start(std::size_t slotIndex, const TransferRequest& request, ITransferListener& listener) {
    if (!multi_ || slotIndex >= slots_.size() || slots_[slotIndex]->busy)
        return false;
    Slot& slot = *slots_[slotIndex];
    CURL* curl = slot.handle->easy();
    if (!curl)
        return false;
    const CWString none;
    const TransferPolicy defaults;
    rg_quelt_base::rg_WenBenShuZuLei headers;
    if (request.headers)
        headers.Assign(*request.headers);
    if (request.rangeFrom > 0) {
        headers.Append(CWString::fromAnsi(rangeHeaderFrom(request.rangeFrom)).view());
        if (!request.ifRange.empty())
            headers.Append(CWString::fromAnsi(ifRangeHeader(request.ifRange)).view());
    }
    applyRequestOptions(curl, *slot.handle, request.url, request.body, headers,
                        {none, none, none, none, none}, request.policy ? *request.policy : defaults);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Callbacks::writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, static_cast<void*>(&slot));
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Callbacks::reportProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, static_cast<void*>(&slot));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_TCP_FASTOPEN, 1L);
    // Fewer, larger pieces of a large answer; a small one needs no more.
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    // Never libcurl's own limit: it would apply to a redirect's page as well.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(0));
    slot.handle->clearErrorText();
    curl_easy_setopt(curl, CURLOPT_PRIVATE, static_cast<void*>(&slot));
    slot.listener = &listener;
    slot.url = request.url.toAnsi();
    slot.asGet = false;
    slot.redirects = 0;
    slot.maxBodySize = request.maxBodySize;
    slot.rangeFrom = request.rangeFrom;
    slot.firstByteTimeoutMs = 1000 * (request.policy ? request.policy : &defaults)->firstByteTimeoutSeconds;
    slot.tooLong = slot.silent = false;
    slot.newHop();
    if (curl_multi_add_handle(multiOf(multi_), curl) != CURLM_OK) {
        slot.listener = nullptr;
        return false;
    }
    slot.busy = true;
    ++busy_;
    return true;
}

void TransferPool::run(int timeoutMs) {
    if (!multi_)
        return;
    CURLMcode code = curl_multi_poll(multiOf(multi_), nullptr, 0, timeoutMs < 0 ? 0 : timeoutMs, nullptr);
    int running = 0;
    if (code == CURLM_OK)
        code = curl_multi_perform(multiOf(multi_), &running);
    collectFinished();
    if (code != CURLM_OK && code != CURLM_CALL_MULTI_PERFORM) {
        // The multi handle itself failed (out of memory, for one): nothing it holds
        // can go on, so every running transfer ends as failed.
        for (const auto& slot : slots_) {
            if (slot->busy) {
                TransferOutcome outcome;
                outcome.curlResult = CURLE_OUT_OF_MEMORY;
                outcome.errorText = curlText(curl_multi_strerror(code));
                release(*slot);
                finished_.emplace_back(slot->index, std::move(outcome));
            }
        }
    }
}

void TransferPool::collectFinished() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multiOf(multi_), &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        Slot* slot = nullptr;
        if (curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, reinterpret_cast<char**>(&slot)) !=
                CURLE_OK ||
            !slot || !slot->busy)
            continue;
        finish(*slot, message->data.result);
    }
}

void TransferPool::finish(Slot& slot, int result) {
    CURL* curl = slot.handle->easy();
    TransferOutcome outcome;
    outcome.curlResult = result;
    const long code = answerStatus(curl);
    outcome.responseCode = static_cast<std::int32_t>(code);
    if (result == CURLE_OK && isRedirectStatus(code) && follow(slot, code, outcome))
        return;
    if (slot.tooLong) {
        outcome.curlResult = CURLE_FILESIZE_EXCEEDED;
    } else if (slot.silent) {
        outcome.curlResult = CURLE_OPERATION_TIMEDOUT;
        outcome.errorText =
            u"服务器在 " + std::u16string(decimal(slot.firstByteTimeoutMs / 1000)) + u" 秒内没有回答";
    }
    curl_off_t retryAfter = 0;
    if (curl_easy_getinfo(curl, CURLINFO_RETRY_AFTER, &retryAfter) == CURLE_OK && retryAfter > 0)
        outcome.retryAfterSeconds = static_cast<std::int64_t>(retryAfter);
    if (outcome.curlResult != CURLE_OK && outcome.errorText.empty()) {
        const char* detail = slot.handle->errorText();
        outcome.errorText =
            curlText(detail[0] ? detail : curl_easy_strerror(static_cast<CURLcode>(outcome.curlResult)));
    }
    release(slot);
    finished_.emplace_back(slot.index, std::move(outcome));
}

bool TransferPool::follow(Slot& slot, long status, TransferOutcome& outcome) {
    CURL* curl = slot.handle->easy();
    char* target = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &target) != CURLE_OK || !target)
        return false; // a redirect status without a place to go: the answer as it is
    const RedirectDecision decision = decideRedirect(slot.url, status, target, slot.asGet);
    if (decision.action == RedirectAction::Refuse) {
        outcome.errorText = decision.reason;
        outcome.redirectRefusal = decision.refusal;
        outcome.redirectTarget = curlText(target);
        return false;
    }
    if (slot.redirects >= kMaxRedirects) {
        outcome.curlResult = CURLE_TOO_MANY_REDIRECTS;
        outcome.redirectRefusal = RedirectRefusal::TooMany;
        const std::string limit = std::to_string(kMaxRedirects);
        outcome.errorText = u"more than " + std::u16string(limit.begin(), limit.end()) + u" redirects";
        return false;
    }
    ++slot.redirects;
    slot.url = target;
    slot.newHop();
    curl_multi_remove_handle(multiOf(multi_), curl);
    curl_easy_setopt(curl, CURLOPT_URL, slot.url.c_str());
    if (decision.action == RedirectAction::FollowAsGet) {
        slot.asGet = true;
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }
    slot.handle->clearErrorText();
    if (curl_multi_add_handle(multiOf(multi_), curl) == CURLM_OK)
        return true;
    outcome.curlResult = CURLE_OUT_OF_MEMORY;
    outcome.redirectRefusal = RedirectRefusal::NotRestarted;
    outcome.errorText = u"the redirect could not be followed";
    return false;
}

void TransferPool::release(Slot& slot) {
    curl_multi_remove_handle(multiOf(multi_), slot.handle->easy());
    slot.busy = false;
    slot.listener = nullptr;
    --busy_;
}

bool TransferPool::takeFinished(std::size_t& slot, TransferOutcome& outcome) {
    if (finished_.empty())
        return false;
    slot = finished_.front().first;
    outcome = std::move(finished_.front().second);
    finished_.pop_front();
    return true;
}

void TransferPool::cancel(std::size_t slotIndex) {
    if (slotIndex < slots_.size() && slots_[slotIndex]->busy)
        release(*slots_[slotIndex]);
}

void TransferPool::wake() {
    if (multi_)
        curl_multi_wakeup(multiOf(multi_));
}

} // namespace rg_quelt_windows_WangLao
