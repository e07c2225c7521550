#pragma once
// A multipart/form-data body built with libcurl's MIME interface from three
// parallel text lists: local file paths, part names and part types. The MIME
// handle is shared by the form and its parts and freed with the last of them.
#include "runtime/core/RefObject.h"
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
    rg_DuoYongTuKuoZhanGeShiLei() : handle_(new MimeHandle()) {}
    rg_DuoYongTuKuoZhanGeShiLei(const rg_DuoYongTuKuoZhanGeShiLei& other);
    rg_DuoYongTuKuoZhanGeShiLei& operator=(const rg_DuoYongTuKuoZhanGeShiLei& other);
    ~rg_DuoYongTuKuoZhanGeShiLei() override { handle_->release(); }

    MimeHandle& handle() const { return *handle_; }
    curl_mime* mime() const { return handle_->mime; }

    // Adds one part per file. `names` and `types` may be null or null-flagged.
    void Build(rg_WangLaoChuanShuLei& transfer, const rg_quelt_base::rg_WenBenShuZuLei& files,
               const rg_quelt_base::rg_WenBenShuZuLei* names, const rg_quelt_base::rg_WenBenShuZuLei* types);

    // The file name a part is sent with: the text after the last separator.
    static CWString fileNameOf(std::u16string_view path);

private:
    MimeHandle* handle_;
};

// One part of a form; keeps the form's MIME handle alive while it exists.
class rg_DuoYongTuKuoZhanGeShiPianDuanLei : public CQueltObject {
    QUELT_CLASS(rg_DuoYongTuKuoZhanGeShiPianDuanLei)

public:
    rg_DuoYongTuKuoZhanGeShiPianDuanLei() = default;
    explicit rg_DuoYongTuKuoZhanGeShiPianDuanLei(MimeHandle& form);
    rg_DuoYongTuKuoZhanGeShiPianDuanLei(const rg_DuoYongTuKuoZhanGeShiPianDuanLei& other);
    rg_DuoYongTuKuoZhanGeShiPianDuanLei& operator=(const rg_DuoYongTuKuoZhanGeShiPianDuanLei& other);
    ~rg_DuoYongTuKuoZhanGeShiPianDuanLei() override;

    curl_mimepart* part() const { return part_; }

private:
    curl_mimepart* part_ = nullptr;
    MimeHandle* form_ = nullptr;
};

} // namespace rg_quelt_windows_WangLao
