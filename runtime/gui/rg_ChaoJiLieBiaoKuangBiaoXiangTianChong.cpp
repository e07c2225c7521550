#include "runtime/gui/rg_ChaoJiLieBiaoKuangBiaoXiangTianChong.h"

#include "runtime/core/ObjectStream.h"

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {

QUELT_DEFINE_CLASS(rg_ChaoJiLieBiaoKuangBiaoXiangTianChong, CQueltObject,
                   "rg_quelt_WTLJieMian_KuoZhanZuJian::rg_ChaoJiLieBiaoKuangBiaoXiangTianChong")

bool rg_ChaoJiLieBiaoKuangBiaoXiangTianChong::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const rg_ChaoJiLieBiaoKuangBiaoXiangTianChong&>(other);
    return row == o.row && column == o.column && text == o.text.view() && itemData == o.itemData &&
           imageIndex == o.imageIndex && checkState == o.checkState;
}

void rg_ChaoJiLieBiaoKuangBiaoXiangTianChong::reset() {
    CQueltObject::reset();
    row = column = 0;
    text.reset();
    itemData = 0;
    imageIndex = -1;
    checkState = -1;
}

bool rg_ChaoJiLieBiaoKuangBiaoXiangTianChong::save(CQueltObjectStream& stream) const {
    return stream.writeInt32(row) && stream.writeInt32(column) && text.save(stream) &&
           stream.writeInt64(itemData) && stream.writeInt32(imageIndex) && stream.writeInt32(checkState);
}

// All fields or nothing: a short stream leaves the record as it was.
bool rg_ChaoJiLieBiaoKuangBiaoXiangTianChong::load(CQueltObjectStream& stream) {
    rg_ChaoJiLieBiaoKuangBiaoXiangTianChong loaded;
    if (!(stream.readInt32(loaded.row) && stream.readInt32(loaded.column) && loaded.text.load(stream) &&
          stream.readInt64(loaded.itemData) && stream.readInt32(loaded.imageIndex) &&
          stream.readInt32(loaded.checkState)))
        return false;
    row = loaded.row;
    column = loaded.column;
    text = loaded.text;
    itemData = loaded.itemData;
    imageIndex = loaded.imageIndex;
    checkState = loaded.checkState;
    return true;
}

} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian
