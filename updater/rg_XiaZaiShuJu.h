#pragma once
// rg_XiaZaiShuJu: one download job for the worker: the links in list order and
// the kind's credentials and letter.
#include "runtime/core/QueltObjectArray.h"
#include "runtime/core/WString.h"
#include "updater/rg_LianJieYuSuoYinLei.h"

namespace rg_quelt_app {

class rg_XiaZaiShuJu : public CQueltObject {
    QUELT_CLASS(rg_XiaZaiShuJu)

public:
    rg_XiaZaiShuJu() = default;

    CQueltObjectArray links; // of rg_LianJieYuSuoYinLei
    CWString qq;
    CWString password;
    CWString kindLetter;

    std::size_t linkCount() const { return links.count(); }
    const rg_LianJieYuSuoYinLei& link(std::size_t index) const {
        return *static_cast<const rg_LianJieYuSuoYinLei*>(links.at(index));
    }
    void appendLink(const rg_LianJieYuSuoYinLei& link) { links.append(link.clone()); }
    // The listed sizes of the links together (those the list gives).
    std::int64_t listedBytes() const;

    bool equals(const CQueltObject& other) const override;
    void reset() override;
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;
};

} // namespace rg_quelt_app
