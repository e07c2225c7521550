#pragma once
// rg_WangLaoChuanShuLei: one libcurl easy handle (shared by copies), a setter per
// transfer option, the perform step with its body and header sinks, and URL
// escaping. libcurl's progress callback, which runs on whatever thread performs the
// transfer, is handed through a notice receiver to the thread that created the
// object and fires progressConnection there; that thread must be servicing notices
// (running its message loop) while another thread transfers. Not every callback
// becomes a notice (see ProgressThrottle); the last counts are told when the
// transfer ends.
//
// One easy handle must not be used by two threads at once.
#include "runtime/core/EventSlot.h"
#include "runtime/core/QueltMem.h"
#include "runtime/core/RefPtr.h"
#include "runtime/core/WString.h"
#include "runtime/core/rg_WenBenShuZuLei.h"
#include "runtime/net/BodySink.h"
#include "runtime/net/RequestOptions.h"
#include "runtime/net/ProgressThrottle.h"
#include "runtime/net/TransferHandle.h"
#include "runtime/platform/NoticeReceiver.h"

#include <cstdint>

namespace rg_quelt_windows_WangLao {

// Download total, downloaded now, upload total, uploaded now; non-zero aborts.
using ProgressSlot = CQueltEventSlot<std::int64_t, std::int64_t, std::int64_t, std::int64_t>;

class rg_WangLaoChuanShuLei : public CQueltObject, public IQueltNoticeReceiver {
    QUELT_CLASS(rg_WangLaoChuanShuLei)

public:
    rg_WangLaoChuanShuLei();
    rg_WangLaoChuanShuLei(const rg_WangLaoChuanShuLei& other);
    rg_WangLaoChuanShuLei& operator=(const rg_WangLaoChuanShuLei& other);
    ~rg_WangLaoChuanShuLei() override;

    TransferHandle& handle() const { return *handle_; }
    // The easy handle, created on demand; null when libcurl cannot make one.
    CURL* easy() const { return handle_->easy(); }
    platform::NoticeWindow* noticeWindow() const { return noticeWindow_; }

    // Empty texts restore libcurl's default for the option.
    void SetProxy(const CWString& text);
    void SetProxyUserName(const CWString& text);
    void SetProxyPassword(const CWString& text);
    void SetAcceptEncoding(const CWString& text);
    int SetCookie(const CWString& text);
    int SetCustomMethod(const CWString& text);
    // Null, absent (null-flagged) or empty data posts nothing.
    int SetPostData(const CQueltMem* data, bool copy);
    // Percent-escapes the bytes (usually UTF-8) and returns the escaped text.
    CWString EscapeUrl(const CQueltMem& bytes) const;
    // Runs the transfer; either sink may be null. Returns libcurl's result code.
    int Perform(CQueltMem* body, rg_quelt_base::rg_WenBenShuZuLei* headers);
    // The same with the body streamed into `sink` instead of memory.
    int Perform(IQueltBodySink& sink, rg_quelt_base::rg_WenBenShuZuLei* headers);

    // Asked on the transferring thread before each progress notice: when it says
    // nobody listens, the notice is not sent (its answer would be 0 anyway), which
    // spares the hop to the owning thread.
    using ListenerProbe = bool (*)(const void* context);
    void setListenerProbe(ListenerProbe probe, const void* context) {
        listenerProbe_ = probe;
        listenerContext_ = context;
    }
    bool hasProgressListener() const { return !listenerProbe_ || listenerProbe_(listenerContext_); }

    // Points libcurl's progress callback at this object, now and again before each
    // transfer when a copy sharing the handle took it over meanwhile.
    void attachProgress();

    std::intptr_t onNotice(std::uintptr_t first, std::uintptr_t second, std::uintptr_t third) override;

    ProgressSlot progressConnection;

private:
    static int progressCallback(void* client, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t ulTotal,
                                curl_off_t ulNow);
    std::intptr_t sendProgress(const ProgressCounts& counts);
    void setTextOption(CURLoption option, const CWString& text, int* result = nullptr);
    int performWith(void* bodyData, curl_write_callback bodyWriter,
                    rg_quelt_base::rg_WenBenShuZuLei* headers);
    void detachProgress();

    platform::NoticeWindow* noticeWindow_ = nullptr;
    RefPtr<TransferHandle> handle_;
    bool wantsProgress_ = false;
    ListenerProbe listenerProbe_ = nullptr;
    const void* listenerContext_ = nullptr;
    // Touched only by the thread that performs the transfer.
    ProgressThrottle progressThrottle_;
};

} // namespace rg_quelt_windows_WangLao
