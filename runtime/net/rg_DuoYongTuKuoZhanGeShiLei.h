#pragma once
// A multipart/form-data body built with libcurl's MIME interface from three
// parallel text lists: local file paths, part names and part types. The MIME
// handle is shared by the form and its parts and freed with the last of them.
#include "runtime/core/RefObject.h"
#include "runtime/core/RefPtr.h"
#include "runtime/core/rg_WenBenShuZuLei.h"

#include <curl/curl.h>

namespace rg_quelt_windows_WangLao {

class rg_WangLaoChuanShuLei;

class MimeHandle : public CRefObject {
public:
    curl_mime* mime = nullptr;

protected:
    ~MimeHandle() override {
        if (mime)
            curl_mime_free(mime);
    }
};

class rg_DuoYongTuKuoZhanGeShiLei : public CQueltObject {
    QUELT_CLASS(rg_DuoYongTuKuoZhanGeShiLei)

public:
    rg_DuoYongTuKuoZhanGeShiLei() : handle_(RefPtr<MimeHandle>::adopt(new MimeHandle())) {}

    MimeHandle& handle() const { return *handle_; }
    curl_mime* mime() const { return handle_->mime; }

    // Adds one part per file. `names` and `types` may be null or null-flagged.
    void Build(rg_WangLaoChuanShuLei& transfer, const rg_quelt_base::rg_WenBenShuZuLei& files,
               const rg_quelt_base::rg_WenBenShuZuLei* names, const rg_quelt_base::rg_WenBenShuZuLei* types);

    // The file name a part is sent with: the text after the last separator.
    static CWString fileNameOf(std::u16string_view path);

private:
    RefPtr<MimeHandle> handle_; // never null
};

// One part of a form; keeps the form's MIME handle alive while it exists.
class rg_DuoYongTuKuoZhanGeShiPianDuanLei : public CQueltObject {
    QUELT_CLASS(rg_DuoYongTuKuoZhanGeShiPianDuanLei)

public:
    rg_DuoYongTuKuoZhanGeShiPianDuanLei() = default;
    explicit rg_DuoYongTuKuoZhanGeShiPianDuanLei(MimeHandle& form);

    curl_mimepart* part() const { return part_; }

private:
    // The part itself stays inside the MIME handle; the part holds only a reference.
    curl_mimepart* part_ = nullptr;
    RefPtr<MimeHandle> form_;
};

} // namespace rg_quelt_windows_WangLao
