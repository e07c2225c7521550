#include "runtime/net/TransferPool.h"

#include "runtime/net/CurlGlobal.h"
#include "runtime/net/RequestOptions.h"
#include "runtime/net/TransferHandle.h"

#include <curl/curl.h>

#include <cstring>

namespace rg_quelt_windows_WangLao {

struct TransferPool::Slot {
    explicit Slot(std::size_t slotIndex) : index(slotIndex), handle(new TransferHandle()) {}
    ~Slot() { handle->release(); }
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

    std::size_t index;
    TransferHandle* handle;
    ITransferListener* listener = nullptr;
    bool busy = false;
    char errorBuffer[CURL_ERROR_SIZE] = {};
};

namespace {

CURLM* multiOf(void* multi) { return static_cast<CURLM*>(multi); }

size_t writeBody(char* data, size_t size, size_t count, void* user) {
    const size_t bytes = size * count;
    auto* listener = static_cast<ITransferListener*>(user);
    try {
        return listener && listener->onBody(data, bytes) ? bytes : 0;
    } catch (...) {
        return 0; // never through libcurl
    }
}

int reportProgress(void* user, curl_off_t downloadTotal, curl_off_t downloadNow, curl_off_t, curl_off_t) {
    auto* listener = static_cast<ITransferListener*>(user);
    try {
        const std::int64_t total = downloadTotal > 0 ? static_cast<std::int64_t>(downloadTotal) : -1;
        return listener && listener->onProgress(static_cast<std::int64_t>(downloadNow), total) ? 0 : 1;
    } catch (...) {
        return 1;
    }
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

bool TransferPool::isBusy(std::size_t slot) const { return slot < slots_.size() && slots_[slot]->busy; }

bool TransferPool::start(std::size_t slotIndex, const TransferRequest& request, ITransferListener& listener) {
    if (!multi_ || slotIndex >= slots_.size() || slots_[slotIndex]->busy)
        return false;
    Slot& slot = *slots_[slotIndex];
    CURL* curl = slot.handle->easy();
    if (!curl)
        return false;
    const rg_quelt_base::rg_WenBenShuZuLei noHeaders;
    const CWString none;
    applyRequestOptions(curl, *slot.handle, request.url, request.body,
                        request.headers ? *request.headers : noHeaders, {none, none, none, none, none});
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, static_cast<void*>(&listener));
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &reportProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, static_cast<void*>(&listener));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_TCP_FASTOPEN, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(request.maxBodySize > 0 ? request.maxBodySize : 0));
    slot.errorBuffer[0] = '\0';
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, slot.errorBuffer);
    curl_easy_setopt(curl, CURLOPT_PRIVATE, static_cast<void*>(&slot));
    if (curl_multi_add_handle(multiOf(multi_), curl) != CURLM_OK)
        return false;
    slot.listener = &listener;
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
                std::strncpy(slot->errorBuffer, curl_multi_strerror(code), CURL_ERROR_SIZE - 1);
                finish(*slot, CURLE_OUT_OF_MEMORY);
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
    long code = 0;
    if (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code) == CURLE_OK)
        outcome.responseCode = static_cast<std::int32_t>(code);
    curl_off_t retryAfter = 0;
    if (curl_easy_getinfo(curl, CURLINFO_RETRY_AFTER, &retryAfter) == CURLE_OK && retryAfter > 0)
        outcome.retryAfterSeconds = static_cast<std::int64_t>(retryAfter);
    if (result != CURLE_OK)
        outcome.errorText = curlText(slot.errorBuffer[0] ? slot.errorBuffer
                                                         : curl_easy_strerror(static_cast<CURLcode>(result)));
    curl_multi_remove_handle(multiOf(multi_), curl);
    slot.busy = false;
    slot.listener = nullptr;
    --busy_;
    finished_.emplace_back(slot.index, std::move(outcome));
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
    if (slotIndex >= slots_.size() || !slots_[slotIndex]->busy)
        return;
    Slot& slot = *slots_[slotIndex];
    curl_multi_remove_handle(multiOf(multi_), slot.handle->easy());
    slot.busy = false;
    slot.listener = nullptr;
    --busy_;
}

void TransferPool::wake() {
    if (multi_)
        curl_multi_wakeup(multiOf(multi_));
}

} // namespace rg_quelt_windows_WangLao
