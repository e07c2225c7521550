#include "runtime/net/rg_DuoYongTuKuoZhanGeShiLei.h"

#include "runtime/core/Paths.h"
#include "runtime/net/CurlText.h"
#include "runtime/net/rg_WangLaoChuanShuLei.h"

namespace rg_quelt_windows_WangLao {

QUELT_DEFINE_CLASS(rg_DuoYongTuKuoZhanGeShiLei, CQueltObject,
                   "rg_quelt_windows_WangLao::rg_DuoYongTuKuoZhanGeShiLei")
QUELT_DEFINE_CLASS(rg_DuoYongTuKuoZhanGeShiPianDuanLei, CQueltObject,
                   "rg_quelt_windows_WangLao::rg_DuoYongTuKuoZhanGeShiPianDuanLei")

namespace {

constexpr char16_t kSeparator = PathRules::native().separator;

bool present(const rg_quelt_base::rg_WenBenShuZuLei* list) { return list && !list->isNullInstance(); }

} // namespace

CWString rg_DuoYongTuKuoZhanGeShiLei::fileNameOf(std::u16string_view path) {
    const std::size_t last = path.find_last_of(kSeparator);
    return CWString(last == std::u16string_view::npos ? path : path.substr(last + 1));
}

void rg_DuoYongTuKuoZhanGeShiLei::Build(rg_WangLaoChuanShuLei& transfer,
                                        const rg_quelt_base::rg_WenBenShuZuLei& files,
                                        const rg_quelt_base::rg_WenBenShuZuLei* names,
                                        const rg_quelt_base::rg_WenBenShuZuLei* types) {
    if (!handle_->mime) {
        CURL* curl = transfer.easy();
        if (curl)
            handle_->mime = curl_mime_init(curl);
    }
    if (!handle_->mime)
        return;
    const std::size_t count = files.Count();
    const bool namesFit = present(names) && names->Count() >= count;
    const bool typesFit = present(types) && types->Count() >= count;
    for (std::size_t i = 0; i < count; ++i) {
        const rg_DuoYongTuKuoZhanGeShiPianDuanLei part(*handle_);
        if (!part.part())
            continue;
        const CWString path = files.At(i);
        curl_mime_filedata(part.part(), CurlText(path).str());

        if (!present(names)) {
            const CWString name =
                i == 0 ? CWString(u"file") : CWString(u"file-") + CWString::fromInteger(i).view();
            curl_mime_name(part.part(), CurlText(name).str());
        } else if (namesFit) {
            curl_mime_name(part.part(), CurlText(names->At(i)).str());
        }

        if (!present(types))
            curl_mime_type(part.part(), "application/x-www-form-urlencoded");
        else if (typesFit)
            curl_mime_type(part.part(), CurlText(types->At(i)).str());

        const CWString escaped = transfer.EscapeUrl(CQueltMem(fileNameOf(path.view())));
        curl_mime_filename(part.part(), CurlText(escaped).str());
    }
}

rg_DuoYongTuKuoZhanGeShiPianDuanLei::rg_DuoYongTuKuoZhanGeShiPianDuanLei(MimeHandle& form) {
    if (form.mime)
        part_ = curl_mime_addpart(form.mime);
    if (part_)
        form_ = RefPtr<MimeHandle>(&form);
}

} // namespace rg_quelt_windows_WangLao
