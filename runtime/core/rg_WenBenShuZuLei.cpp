#include "runtime/core/rg_WenBenShuZuLei.h"

#include "runtime/core/ObjectStream.h"

namespace rg_quelt_base {

QUELT_DEFINE_CLASS(rg_WenBenShuZuLei, rg_KuoZhanDuiXiangLei, "rg_quelt_base::rg_WenBenShuZuLei")

rg_WenBenShuZuLei::rg_WenBenShuZuLei(std::initializer_list<std::u16string_view> texts) { AppendTexts(texts); }

std::size_t rg_WenBenShuZuLei::AppendTexts(std::initializer_list<std::u16string_view> texts) {
    for (std::u16string_view text : texts)
        texts_.append(text);
    return texts_.count() - texts.size();
}

void rg_WenBenShuZuLei::Assign(const rg_WenBenShuZuLei& other) {
    if (&other == this)
        return;
    CQueltObject::operator=(other);
    texts_ = other.texts_;
}

bool rg_WenBenShuZuLei::equals(const CQueltObject& other) const {
    return sameHeader(other) && texts_ == static_cast<const rg_WenBenShuZuLei&>(other).texts_;
}

void rg_WenBenShuZuLei::reset() {
    CQueltObject::reset();
    texts_.clear();
}

bool rg_WenBenShuZuLei::save(CQueltObjectStream& stream) const {
    if (!stream.writeInt64(static_cast<std::int64_t>(texts_.count())))
        return false;
    for (std::size_t i = 0; i < texts_.count(); ++i) {
        if (!stream.writeText(CWString(texts_.at(i))))
            return false;
    }
    return true;
}

bool rg_WenBenShuZuLei::load(CQueltObjectStream& stream) {
    std::int64_t count = 0;
    if (!stream.readInt64(count) || count < 0)
        return false;
    CMStringArray loaded;
    for (std::int64_t i = 0; i < count; ++i) {
        CWString text;
        if (!stream.readText(text))
            return false;
        loaded.append(text.view());
    }
    texts_ = std::move(loaded);
    return true;
}

} // namespace rg_quelt_base
