#include "runtime/gui/rg_ChaoJiLieBiaoKuangHuiZhiCanShu.h"

#include "runtime/core/ObjectStream.h"

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {

QUELT_DEFINE_CLASS(rg_ChaoJiLieBiaoKuangHuiZhiCanShu, CQueltObject,
                   "rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuangHuiZhiCanShu")

bool rg_ChaoJiLieBiaoKuangHuiZhiCanShu::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const rg_ChaoJiLieBiaoKuangHuiZhiCanShu&>(other);
    return row == o.row && column == o.column && textColour == o.textColour &&
           backgroundColour == o.backgroundColour;
}

void rg_ChaoJiLieBiaoKuangHuiZhiCanShu::reset() {
    CQueltObject::reset();
    row = column = 0;
    textColour = backgroundColour = 0;
}

bool rg_ChaoJiLieBiaoKuangHuiZhiCanShu::save(CQueltObjectStream& stream) const {
    return stream.writeInt32(row) && stream.writeInt32(column) &&
           stream.writeInt32(static_cast<std::int32_t>(textColour)) &&
           stream.writeInt32(static_cast<std::int32_t>(backgroundColour));
}

// All four values or nothing: a short stream leaves the record as it was.
bool rg_ChaoJiLieBiaoKuangHuiZhiCanShu::load(CQueltObjectStream& stream) {
    std::int32_t r = 0, c = 0, text = 0, back = 0;
    if (!(stream.readInt32(r) && stream.readInt32(c) && stream.readInt32(text) && stream.readInt32(back)))
        return false;
    row = r;
    column = c;
    textColour = static_cast<std::uint32_t>(text);
    backgroundColour = static_cast<std::uint32_t>(back);
    return true;
}

} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian
