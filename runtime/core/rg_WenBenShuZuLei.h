#pragma once
// rg_WenBenShuZuLei: the runtime's list of texts (request header lists, received
// header lines, cookies, the lists of a multipart form). A null-flagged list stands
// for "no list" where a list is optional.
#include "runtime/core/MStringArray.h"
#include "runtime/core/WString.h"
#include "runtime/core/rg_KuoZhanDuiXiangLei.h"

#include <initializer_list>

namespace rg_quelt_base {

class rg_WenBenShuZuLei : public rg_KuoZhanDuiXiangLei {
    QUELT_CLASS(rg_WenBenShuZuLei)

public:
    rg_WenBenShuZuLei() = default;
    rg_WenBenShuZuLei(std::initializer_list<std::u16string_view> texts);

    std::size_t Count() const { return texts_.count(); }
    // The element's text (empty for a null element).
    CWString At(std::size_t index) const { return CWString(texts_.at(index)); }
    std::u16string_view ViewAt(std::size_t index) const { return texts_.at(index); }
    void Append(std::u16string_view text) { texts_.append(text); }
    // Appends copies in order; returns the index of the first one added.
    std::size_t AppendTexts(std::initializer_list<std::u16string_view> texts);
    void Clear() { texts_.clear(); }
    // Copies the null flag, the associated word and every element.
    void Assign(const rg_WenBenShuZuLei& other);
    bool Equals(const CQueltObject& other) const { return equals(other); }

    const CMStringArray& storage() const { return texts_; }

    bool equals(const CQueltObject& other) const override;
    void reset() override;
    void releaseContents() override { texts_.clear(); }
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;

private:
    CMStringArray texts_;
};

} // namespace rg_quelt_base
