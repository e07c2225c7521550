#pragma once
// The item fill record of a super list box: the cell the list asks for, which the
// handler of the item fill event completes with text, item data, image and check
// state (-1 no check image, 0 unchecked, 1 checked).
#include "runtime/core/WString.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {

class rg_ChaoJiLieBiaoKuangBiaoXiangTianChong : public CQueltObject {
    QUELT_CLASS(rg_ChaoJiLieBiaoKuangBiaoXiangTianChong)

public:
    rg_ChaoJiLieBiaoKuangBiaoXiangTianChong() = default;

    bool equals(const CQueltObject& other) const override;
    void reset() override;
    void releaseContents() override { text.releaseContents(); }
    // Row, column, text (as text serialises), item data (8 bytes), image index and
    // check state (4 bytes each).
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;

    std::int32_t row = 0;
    std::int32_t column = 0;
    CWString text;
    std::int64_t itemData = 0;
    std::int32_t imageIndex = -1;
    std::int32_t checkState = -1;
};

} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian
