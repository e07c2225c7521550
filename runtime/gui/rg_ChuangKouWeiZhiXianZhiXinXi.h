#pragma once
// The size limits of a form (the system's MINMAXINFO as objects): what a maximised
// window measures and where it goes, and the smallest and largest tracking sizes.
#include "runtime/core/QueltObject.h"

#include <cstdint>

namespace rg_quelt_WTLJieMian_base {

class rg_CheCunLei : public CQueltObject {
    QUELT_CLASS(rg_CheCunLei)

public:
    rg_CheCunLei() = default;
    rg_CheCunLei(std::int32_t width, std::int32_t height) : width(width), height(height) {}
    bool equals(const CQueltObject& other) const override;
    void reset() override { width = height = 0; }

    std::int32_t width = 0;
    std::int32_t height = 0;
};

class rg_WeiZhiLei : public CQueltObject {
    QUELT_CLASS(rg_WeiZhiLei)

public:
    rg_WeiZhiLei() = default;
    rg_WeiZhiLei(std::int32_t x, std::int32_t y) : x(x), y(y) {}
    bool equals(const CQueltObject& other) const override;
    void reset() override { x = y = 0; }

    std::int32_t x = 0;
    std::int32_t y = 0;
};

class rg_ChuangKouWeiZhiXianZhiXinXi : public CQueltObject {
    QUELT_CLASS(rg_ChuangKouWeiZhiXianZhiXinXi)

public:
    rg_ChuangKouWeiZhiXianZhiXinXi() = default;
    bool equals(const CQueltObject& other) const override;

    rg_CheCunLei maximisedSize;
    rg_WeiZhiLei maximisedPosition;
    rg_CheCunLei minimumTrackingSize;
    rg_CheCunLei maximumTrackingSize;
};

} // namespace rg_quelt_WTLJieMian_base
