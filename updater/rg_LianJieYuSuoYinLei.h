#pragma once
// rg_LianJieYuSuoYinLei: one file to download, with the list row it came from.
#include "runtime/core/WString.h"

#include <cstdint>

namespace rg_quelt_app {

class rg_LianJieYuSuoYinLei : public CQueltObject {
    QUELT_CLASS(rg_LianJieYuSuoYinLei)

public:
    rg_LianJieYuSuoYinLei() = default;

    CWString downloadUrl;      // domain + "download"
    std::int32_t rowIndex = 0; // the row that receives the file's outcome
    CWString localFile;        // module folder + separator + the row's path text
    CWString localFolder;      // the folder that must exist first; empty for a relative module folder
    CWString remoteFolder;     // the row's path with '/' and without its file name
    CWString fileName;         // the row's file name text

    // Of this program's own, after the six fields above; the stream form keeps to
    // those six, so that stored links keep their form.
    CWString updateTime;          // the row's update time text: the file's time once written
    std::int64_t listedSize = -1; // the row's size; above 0 the answer must have exactly this length

    bool equals(const CQueltObject& other) const override;
    void reset() override;
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;
};

} // namespace rg_quelt_app
