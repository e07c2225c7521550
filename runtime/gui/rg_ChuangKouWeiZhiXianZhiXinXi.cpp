#include "runtime/gui/rg_ChuangKouWeiZhiXianZhiXinXi.h"

namespace rg_quelt_WTLJieMian_base {

QUELT_DEFINE_CLASS(rg_CheCunLei, CQueltObject, "rg_quelt_WTLJieMian_base::rg_CheCunLei")
QUELT_DEFINE_CLASS(rg_WeiZhiLei, CQueltObject, "rg_quelt_WTLJieMian_base::rg_WeiZhiLei")
QUELT_DEFINE_CLASS(rg_ChuangKouWeiZhiXianZhiXinXi, CQueltObject,
                   "rg_quelt_WTLJieMian_base::rg_ChuangKouWeiZhiXianZhiXinXi")

bool rg_CheCunLei::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const rg_CheCunLei&>(other);
    return width == o.width && height == o.height;
}

bool rg_WeiZhiLei::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const rg_WeiZhiLei&>(other);
    return x == o.x && y == o.y;
}

bool rg_ChuangKouWeiZhiXianZhiXinXi::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const rg_ChuangKouWeiZhiXianZhiXinXi&>(other);
    return maximisedSize.equals(o.maximisedSize) && maximisedPosition.equals(o.maximisedPosition) &&
           minimumTrackingSize.equals(o.minimumTrackingSize) &&
           maximumTrackingSize.equals(o.maximumTrackingSize);
}

} // namespace rg_quelt_WTLJieMian_base
