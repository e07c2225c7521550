#pragma once
// rg_WangLaoFangWenLei: the request operation the module updater uses. SendRequest
// sets every option of a POST request in a fixed order on the embedded transfer's
// easy handle, performs it, following redirects by RedirectRule, and returns the
// filled response. A failed transfer shows as response code 0 (and a non-zero
// curlResult) with whatever arrived; failureText says why in words.
//
// progressEvent fires on the thread that constructed the object, with the
// download total, downloaded, upload total and uploaded byte counts; a non-zero
// handler result aborts the transfer.
#include "runtime/core/EventObjectPointer.h"
#include "runtime/net/RequestOptions.h"
#include "runtime/net/rg_WangLaoChuanShuLei.h"
#include "runtime/net/rg_WangYeFangWenXiangYingLei.h"

namespace rg_quelt_windows_WangLao {

// Bounds of one request for a caller that cannot wait or hold without end.
// libcurl ends a request past its time with CURLE_OPERATION_TIMEDOUT, and one
// whose answer announces more bytes than allowed, before its body, with
// CURLE_FILESIZE_EXCEEDED; an answer that grows past the size without saying
// so in advance is for the sink to refuse (MemoryBodySink does).
struct RequestLimits {
    std::uint32_t timeoutMs = 0;   // the whole request, redirects included; 0: none
    std::uint64_t answerBytes = 0; // 0: none
};

class rg_WangLaoFangWenLei : public CQueltObject {
    QUELT_CLASS(rg_WangLaoFangWenLei)

public:
    rg_WangLaoFangWenLei();
    rg_WangLaoFangWenLei(const rg_WangLaoFangWenLei& other);
    rg_WangLaoFangWenLei& operator=(const rg_WangLaoFangWenLei& other);
    ~rg_WangLaoFangWenLei() override;

    // `body`, `files`, `names` and `types` may be null or null-flagged (absent).
    // `method` and the three settings are carried for callers; every caller
    // passes 1, -1, -1 and 1 and they change nothing.
    rg_WangYeFangWenXiangYingLei
    SendRequest(const CWString& url, std::int32_t method, const CQueltMem* body,
                const rg_quelt_base::rg_WenBenShuZuLei& headers, const CWString& cookie,
                const CWString& acceptEncoding, const CWString& proxy, const CWString& proxyUser,
                const CWString& proxyPassword, std::int32_t setting1, std::int32_t setting2,
                std::int32_t setting3, const rg_quelt_base::rg_WenBenShuZuLei* files,
                const rg_quelt_base::rg_WenBenShuZuLei* names, const rg_quelt_base::rg_WenBenShuZuLei* types);

    // SendRequest with the answer's body streamed into `sink` rather than kept in
    // the response, which then has an empty body. The limits hold for this
    // request alone.
    rg_WangYeFangWenXiangYingLei SendRequestTo(IQueltBodySink& sink, const CWString& url,
                                               const CQueltMem* body,
                                               const rg_quelt_base::rg_WenBenShuZuLei& headers,
                                               const RequestLimits& limits = RequestLimits());

    // The common form: POST `body` with the given header list and nothing else.
    rg_WangYeFangWenXiangYingLei Post(const CWString& url, const CQueltMem* body,
                                      const rg_quelt_base::rg_WenBenShuZuLei& headers);

    // The TLS checks and time limits of the requests to come.
    void setPolicy(const TransferPolicy& policy) { policy_ = policy; }
    const TransferPolicy& policy() const { return policy_; }

    rg_WangLaoChuanShuLei& transfer() { return transfer_; }
    CQueltEventObjectPointer* eventTarget() const { return receiver_.pointer(); }
    const CWString& property() const { return property_; }
    void setProperty(const CWString& text) { property_ = text; }

    ProgressSlot progressEvent;

private:
    // Performs the configured request and the redirects it may follow; the body
    // goes to `sink`, or into the response when that is null.
    void performFollowing(CURL* curl, const CWString& url, IQueltBodySink* sink,
                          rg_WangYeFangWenXiangYingLei& response);
    void finish(CURL* curl, rg_WangYeFangWenXiangYingLei& response);
    void connectProgress();
    static std::int32_t forwardProgress(CQueltObject* target, CQueltObject* source, std::int32_t user,
                                        std::int64_t downloadTotal, std::int64_t downloadNow,
                                        std::int64_t uploadTotal, std::int64_t uploadNow);

    rg_WangLaoChuanShuLei transfer_;
    CWString property_;
    TransferPolicy policy_;
    CQueltEventReceiver receiver_;
};

// The default request header block: User-Agent, Accept and Accept-Language in one
// entry with embedded CR LF pairs.
const CWString& defaultRequestHeaders();
// A header list with the default block as its only entry.
rg_quelt_base::rg_WenBenShuZuLei defaultHeaderList();

// The process-wide access object of the download worker; it belongs to the main
// thread, which services its progress notices.
rg_WangLaoFangWenLei& downloadNetAccess();

} // namespace rg_quelt_windows_WangLao
