#include "updater/rg_MoKuaiXinXiLei.h"

#include "runtime/core/ObjectStream.h"

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_MoKuaiXinXiLei, CQueltObject, "rg_quelt_app::rg_MoKuaiXinXiLei")

bool rg_MoKuaiXinXiLei::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const rg_MoKuaiXinXiLei&>(other);
    return ordinal == o.ordinal && name == o.name && path == o.path && updateTime == o.updateTime &&
           size == o.size;
}

void rg_MoKuaiXinXiLei::reset() {
    CQueltObject::reset();
    *this = rg_MoKuaiXinXiLei();
}

bool rg_MoKuaiXinXiLei::save(CQueltObjectStream& stream) const {
    return stream.writeInt32(ordinal) && name.save(stream) && path.save(stream) && updateTime.save(stream) &&
           stream.writeInt64(size);
}

bool rg_MoKuaiXinXiLei::load(CQueltObjectStream& stream) {
    rg_MoKuaiXinXiLei loaded;
    if (!(stream.readInt32(loaded.ordinal) && loaded.name.load(stream) && loaded.path.load(stream) &&
          loaded.updateTime.load(stream) && stream.readInt64(loaded.size)))
        return false;
    *this = loaded;
    return true;
}

} // namespace rg_quelt_app
