#pragma once
// rg_MoKuaiXinXiLei: one entry of the server's module list.
#include "runtime/core/WString.h"

#include <cstdint>

namespace rg_quelt_app {

class rg_MoKuaiXinXiLei : public CQueltObject {
    QUELT_CLASS(rg_MoKuaiXinXiLei)

public:
    rg_MoKuaiXinXiLei() = default;

    std::int32_t ordinal = 0; // 1-based position in the answer's "data"
    CWString name;
    CWString path; // relative to the module folder, '/'-separated, with the file name
    CWString updateTime;
    std::int64_t size = 0;

    bool equals(const CQueltObject& other) const override;
    void reset() override;
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;
};

} // namespace rg_quelt_app
