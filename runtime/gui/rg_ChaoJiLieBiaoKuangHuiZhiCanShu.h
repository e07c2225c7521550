#pragma once
// The draw parameters of one cell of a super list box: the handler of the draw
// parameters event reads the cell and may change both colours, which the list
// then paints that cell with.
#include "runtime/core/QueltObject.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {

class rg_ChaoJiLieBiaoKuangHuiZhiCanShu : public CQueltObject {
    QUELT_CLASS(rg_ChaoJiLieBiaoKuangHuiZhiCanShu)

public:
    rg_ChaoJiLieBiaoKuangHuiZhiCanShu() = default;

    bool equals(const CQueltObject& other) const override;
    void reset() override;
    // Row, column, text colour, background colour: four 32-bit values.
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;

    std::int32_t row = 0;
    std::int32_t column = 0;
    std::uint32_t textColour = 0;
    std::uint32_t backgroundColour = 0;
};

} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian
