#include "runtime/net/rg_WangYeFangWenXiangYingLei.h"

#include "runtime/core/ObjectStream.h"

#include <cstring>

namespace rg_quelt_windows_WangLao {

QUELT_DEFINE_CLASS(rg_WangYeFangWenXiangYingLei, CQueltObject,
                   "rg_quelt_windows_WangLao::rg_WangYeFangWenXiangYingLei")

CWString rg_WangYeFangWenXiangYingLei::BodyAsText() const {
    if (body_.empty())
        return CWString();
    // Text ends at the first zero byte, as a C string would.
    const auto* bytes = reinterpret_cast<const char*>(body_.data());
    const void* zero = std::memchr(bytes, 0, body_.size());
    const std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : body_.size();
    return CWString::fromUtf8(bytes, length);
}

void rg_WangYeFangWenXiangYingLei::ParseHeaderLines() {
    for (std::size_t i = 0; i < headerLines_.Count(); ++i) {
        const std::u16string_view line = headerLines_.ViewAt(i);
        const std::size_t colon = line.find(u':');
        if (line.empty() || colon == std::u16string_view::npos)
            continue;
        const CWString name = CWString(line.substr(0, colon)).trimmed();
        const CWString value = CWString(line.substr(colon + 1)).trimmed();
        if (name == u"Set-Cookie")
            cookies_.Append(value.view());
        else if (name == u"Location")
            location_ = value;
        else if (name == u"Content-Type")
            contentType_ = value;
        else if (name == u"Content-MD5")
            contentMd5_ = value;
        else if (name == u"Content-Encoding")
            contentEncoding_ = value;
        else if (name == u"Content-Length")
            contentLength_ = value.toInteger();
    }
}

bool rg_WangYeFangWenXiangYingLei::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const rg_WangYeFangWenXiangYingLei&>(other);
    return body_.equals(o.body_) && cookies_.equals(o.cookies_) && headerLines_.equals(o.headerLines_) &&
           location_ == o.location_ && redirectCount_ == o.redirectCount_ &&
           responseCode_ == o.responseCode_ && totalTime_ == o.totalTime_ && contentType_ == o.contentType_ &&
           contentMd5_ == o.contentMd5_ && contentEncoding_ == o.contentEncoding_ &&
           contentLength_ == o.contentLength_ && curlResult_ == o.curlResult_ &&
           failureText_ == o.failureText_ && redirectRefusal_ == o.redirectRefusal_;
}

void rg_WangYeFangWenXiangYingLei::reset() {
    CQueltObject::reset();
    *this = rg_WangYeFangWenXiangYingLei();
}

// Field by field in declaration order. The libcurl result and the failure text are
// fields of this program's own and stay out of the stream, so stored responses keep
// their form.
bool rg_WangYeFangWenXiangYingLei::save(CQueltObjectStream& stream) const {
    if (!stream.good())
        return false;
    return body_.save(stream) && cookies_.save(stream) && headerLines_.save(stream) &&
           location_.save(stream) && stream.writeInt32(redirectCount_) && stream.writeInt32(responseCode_) &&
           stream.writeInt64(totalTime_) && contentType_.save(stream) && contentMd5_.save(stream) &&
           contentEncoding_.save(stream) && stream.writeInt64(contentLength_);
}

bool rg_WangYeFangWenXiangYingLei::load(CQueltObjectStream& stream) {
    if (!stream.good())
        return false;
    rg_WangYeFangWenXiangYingLei loaded;
    if (!(loaded.body_.load(stream) && loaded.cookies_.load(stream) && loaded.headerLines_.load(stream) &&
          loaded.location_.load(stream) && stream.readInt32(loaded.redirectCount_) &&
          stream.readInt32(loaded.responseCode_) && stream.readInt64(loaded.totalTime_) &&
          loaded.contentType_.load(stream) && loaded.contentMd5_.load(stream) &&
          loaded.contentEncoding_.load(stream) && stream.readInt64(loaded.contentLength_)))
        return false;
    *this = std::move(loaded);
    return true;
}

} // namespace rg_quelt_windows_WangLao
