#pragma once
// rg_WangYeFangWenXiangYingLei: what one HTTP request brought back: the body bytes,
// the raw header lines, the cookies, a few headers picked out by name and libcurl's
// figures. A transfer that failed before any response leaves responseCode 0;
// callers check responseCode, and curlResult tells a complete transfer (0) from
// one that broke off.
#include "runtime/core/QueltMem.h"
#include "runtime/core/WString.h"
#include "runtime/core/rg_WenBenShuZuLei.h"
#include "runtime/net/RedirectRefusal.h"

#include <cstdint>

namespace rg_quelt_windows_WangLao {

class rg_WangYeFangWenXiangYingLei : public CQueltObject {
    QUELT_CLASS(rg_WangYeFangWenXiangYingLei)

public:
    rg_WangYeFangWenXiangYingLei() = default;

    CQueltMem& body() { return body_; }
    const CQueltMem& body() const { return body_; }
    rg_quelt_base::rg_WenBenShuZuLei& cookies() { return cookies_; }
    const rg_quelt_base::rg_WenBenShuZuLei& cookies() const { return cookies_; }
    rg_quelt_base::rg_WenBenShuZuLei& headerLines() { return headerLines_; }
    const rg_quelt_base::rg_WenBenShuZuLei& headerLines() const { return headerLines_; }
    const CWString& location() const { return location_; }
    std::int32_t redirectCount() const { return redirectCount_; }
    std::int32_t responseCode() const { return responseCode_; }
    std::int64_t totalTime() const { return totalTime_; }
    const CWString& contentType() const { return contentType_; }
    const CWString& contentMd5() const { return contentMd5_; }
    const CWString& contentEncoding() const { return contentEncoding_; }
    std::int64_t contentLength() const { return contentLength_; }
    // libcurl's result code of the transfer (CURLE_OK, 0, when it completed).
    std::int32_t curlResult() const { return curlResult_; }
    // Why the request did not complete, in words: libcurl's own for a failed
    // transfer, or why a redirect was not followed; empty when nothing failed.
    const CWString& failureText() const { return failureText_; }
    // Why a redirect was not followed (location() is where it led); None otherwise.
    RedirectRefusal redirectRefusal() const { return redirectRefusal_; }

    void setLocation(const CWString& location) { location_ = location; }
    void setRedirectCount(std::int32_t count) { redirectCount_ = count; }
    void setResponseCode(std::int32_t code) { responseCode_ = code; }
    void setTotalTime(std::int64_t microseconds) { totalTime_ = microseconds; }
    void setCurlResult(std::int32_t result) { curlResult_ = result; }
    void setFailureText(const CWString& text) { failureText_ = text; }
    void setRedirectRefusal(RedirectRefusal refusal) { redirectRefusal_ = refusal; }

    // The body decoded from UTF-8 up to its first zero byte; empty for an empty body.
    CWString BodyAsText() const;
    // Picks Set-Cookie, Location and the Content-* headers out of headerLines.
    void ParseHeaderLines();

    bool equals(const CQueltObject& other) const override;
    void reset() override;
    void releaseContents() override { reset(); }
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;

private:
    CQueltMem body_;
    rg_quelt_base::rg_WenBenShuZuLei cookies_;
    rg_quelt_base::rg_WenBenShuZuLei headerLines_;
    CWString location_;
    std::int32_t redirectCount_ = 0;
    std::int32_t responseCode_ = 0;
    std::int64_t totalTime_ = 0;
    CWString contentType_;
    CWString contentMd5_;
    CWString contentEncoding_;
    std::int64_t contentLength_ = 0;
    std::int32_t curlResult_ = 0;
    CWString failureText_;
    RedirectRefusal redirectRefusal_ = RedirectRefusal::None;
};

} // namespace rg_quelt_windows_WangLao
