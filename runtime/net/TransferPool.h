#pragma once
// TransferPool: up to a fixed number of POST requests at once, all driven by the
// thread that owns the pool through one libcurl multi handle. Each slot keeps its
// easy handle from one request to the next and the multi handle keeps the
// connections, so requests to one server go over the connections already open.
// Every request carries the options of applyRequestOptions and follows redirects by
// RedirectRule; the body of a redirect never reaches the listener, and the size
// limit applies only to the answer that is not a redirect: a redirect's own page
// may be longer than the file it leads to.
//
// One thread owns a pool: every call but wake() comes from it, and the listeners
// are called inside run(), on that thread.
#include "runtime/core/QueltMem.h"
#include "runtime/core/WString.h"
#include "runtime/core/rg_WenBenShuZuLei.h"
#include "runtime/net/ByteRange.h"
#include "runtime/net/RedirectRefusal.h"
#include "runtime/net/RequestOptions.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rg_quelt_windows_WangLao {

// The head of the answer that is not a redirect, as far as a download needs it.
struct AnswerHead {
    std::int32_t status = 0;
    std::int64_t announced = -1;    // the Content-Length; −1 without one, or for an encoded answer
    std::string_view contentType;   // may be empty
    bool encoded = false;           // libcurl decodes it: its byte offsets are not the file's
    bool acceptsByteRanges = false; // "Accept-Ranges: bytes"
    std::string entityTag;          // the ETag as it came, quotes and "W/" included; may be empty
    std::string lastModified;       // may be empty
    ContentRange range;             // a 206's Content-Range; invalid otherwise
};

// What a running transfer hands to its owner. Neither call may throw; one that
// does aborts the transfer.
class ITransferListener {
public:
    // Once per transfer, before the first body bytes of the answer that is not a
    // redirect. False aborts the transfer (CURLE_WRITE_ERROR).
    virtual bool onAnswer(const AnswerHead& head) = 0;
    // Body bytes as they arrive; false aborts the transfer (CURLE_WRITE_ERROR).
    virtual bool onBody(const void* data, std::size_t size) = 0;
    // Now and then while the transfer runs, at least about once a second also
    // when nothing arrives; `total` is −1 while unknown. False aborts the
    // transfer (CURLE_ABORTED_BY_CALLBACK).
    virtual bool onProgress(std::int64_t received, std::int64_t total) = 0;

protected:
    ~ITransferListener() = default;
};

struct TransferRequest {
    CWString url;
    const CQueltMem* body = nullptr; // may be null: a POST without data
    const rg_quelt_base::rg_WenBenShuZuLei* headers = nullptr;
    // 0 or above: a 2xx answer that announces more, or brings more, ends at once
    // (CURLE_FILESIZE_EXCEEDED); below 0: no limit. Other answers are never held to it.
    std::int64_t maxBodySize = -1;
    const TransferPolicy* policy = nullptr; // null: the defaults
    // Above 0: only the bytes from there on are asked for ("Range"), and only while
    // `ifRange` still names the file ("If-Range"; not sent when empty). A 206 is
    // then held to maxBodySize less rangeFrom; any other answer to the whole of it.
    // Whether the 206 carries the bytes asked for is the listener's to judge.
    std::int64_t rangeFrom = 0;
    std::string ifRange;
};

// How a finished transfer ended.
struct TransferOutcome {
    int curlResult = 0;                  // CURLE_OK when the whole answer arrived
    std::int32_t responseCode = 0;       // 0 when no answer arrived
    std::int64_t retryAfterSeconds = -1; // the answer's "Retry-After"; −1 without one
    std::u16string errorText;            // libcurl's words for a failure; empty on success
    // A redirect that was not followed: why, and where it led (responseCode is its status).
    RedirectRefusal redirectRefusal = RedirectRefusal::None;
    std::u16string redirectTarget;
};

class TransferPool {
public:
    explicit TransferPool(std::size_t slots);
    ~TransferPool();
    TransferPool(const TransferPool&) = delete;
    TransferPool& operator=(const TransferPool&) = delete;

    // False when libcurl could not make the multi handle; then nothing starts.
    bool usable() const { return multi_ != nullptr; }
    std::size_t slotCount() const { return slots_.size(); }
    std::size_t busyCount() const { return busy_; }

    // Starts `request` in a free slot. `listener` and request.body must stay valid
    // until the transfer is taken with takeFinished() or cancelled. False when the
    // slot is busy or the transfer could not be started (nothing is reported then).
    bool start(std::size_t slot, const TransferRequest& request, ITransferListener& listener);

    // Drives the running transfers, waiting at most `timeoutMs` for the network (or
    // wake()) first.
    void run(int timeoutMs);

    // One transfer that has ended since the last call; its slot is free again.
    bool takeFinished(std::size_t& slot, TransferOutcome& outcome);

    // Ends a running transfer at once; its slot is free and nothing is reported.
    void cancel(std::size_t slot);

    // From any thread: the current or the next wait of run() returns at once.
    void wake();

private:
    struct Slot;
    struct Callbacks;

    void collectFinished();
    void finish(Slot& slot, int result);
    // Starts the slot's request again at the redirect's target; false when the
    // redirect is not to be followed (`outcome` then says why).
    bool follow(Slot& slot, long status, TransferOutcome& outcome);
    void release(Slot& slot);

    void* multi_ = nullptr; // CURLM*
    std::vector<std::unique_ptr<Slot>> slots_;
    std::deque<std::pair<std::size_t, TransferOutcome>> finished_;
    std::size_t busy_ = 0;
};

} // namespace rg_quelt_windows_WangLao
