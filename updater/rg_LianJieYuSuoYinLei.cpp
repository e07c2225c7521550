#include "updater/rg_LianJieYuSuoYinLei.h"

#include "runtime/core/ObjectStream.h"

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_LianJieYuSuoYinLei, CQueltObject, "rg_quelt_app::rg_LianJieYuSuoYinLei")

bool rg_LianJieYuSuoYinLei::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& o = static_cast<const rg_LianJieYuSuoYinLei&>(other);
    return downloadUrl == o.downloadUrl && rowIndex == o.rowIndex && localFile == o.localFile &&
           localFolder == o.localFolder && remoteFolder == o.remoteFolder && fileName == o.fileName &&
           updateTime == o.updateTime && listedSize == o.listedSize;
}

void rg_LianJieYuSuoYinLei::reset() {
    CQueltObject::reset();
    *this = rg_LianJieYuSuoYinLei();
}

bool rg_LianJieYuSuoYinLei::save(CQueltObjectStream& stream) const {
    return downloadUrl.save(stream) && stream.writeInt32(rowIndex) && localFile.save(stream) &&
           localFolder.save(stream) && remoteFolder.save(stream) && fileName.save(stream);
}

bool rg_LianJieYuSuoYinLei::load(CQueltObjectStream& stream) {
    rg_LianJieYuSuoYinLei loaded;
    if (!(loaded.downloadUrl.load(stream) && stream.readInt32(loaded.rowIndex) &&
          loaded.localFile.load(stream) && loaded.localFolder.load(stream) &&
          loaded.remoteFolder.load(stream) && loaded.fileName.load(stream)))
        return false;
    *this = loaded;
    return true;
}

} // namespace rg_quelt_app
