#include "updater/rg_XiaZaiShuJu.h"

#include "runtime/core/ObjectStream.h"

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_XiaZaiShuJu, CQueltObject, "rg_quelt_app::rg_XiaZaiShuJu")

std::int64_t rg_XiaZaiShuJu::listedBytes() const {
    std::int64_t bytes = 0;
    for (std::size_t i = 0; i < linkCount(); ++i)
        bytes += link(i).listedSize > 0 ? link(i).listedSize : 0;
    return bytes;
}

bool rg_XiaZaiShuJu::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const rg_XiaZaiShuJu&>(other);
    return links.equals(o.links) && qq == o.qq && password == o.password && kindLetter == o.kindLetter;
}

void rg_XiaZaiShuJu::reset() {
    CQueltObject::reset();
    links.reset();
    qq.reset();
    password.reset();
    kindLetter.reset();
}

// The links as their count followed by each link in order.
bool rg_XiaZaiShuJu::save(CQueltObjectStream& stream) const {
    if (!stream.writeInt64(static_cast<std::int64_t>(links.count())))
        return false;
    for (std::size_t i = 0; i < links.count(); ++i) {
        if (!link(i).save(stream))
            return false;
    }
    return qq.save(stream) && password.save(stream) && kindLetter.save(stream);
}

bool rg_XiaZaiShuJu::load(CQueltObjectStream& stream) {
    std::int64_t count = 0;
    if (!stream.readInt64(count) || count < 0)
        return false;
    rg_XiaZaiShuJu loaded;
    for (std::int64_t i = 0; i < count; ++i) {
        rg_LianJieYuSuoYinLei item;
        if (!item.load(stream))
            return false;
        loaded.appendLink(item);
    }
    if (!(loaded.qq.load(stream) && loaded.password.load(stream) && loaded.kindLetter.load(stream)))
        return false;
    *this = loaded;
    return true;
}

} // namespace rg_quelt_app
