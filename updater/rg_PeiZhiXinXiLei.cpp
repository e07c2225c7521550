#include "updater/rg_PeiZhiXinXiLei.h"

#include "runtime/core/ObjectStream.h"

#include <utility>

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(rg_PeiZhiXinXiLei, CQueltObject, "rg_quelt_app::rg_PeiZhiXinXiLei")

CWString rg_PeiZhiXinXiLei::*const rg_PeiZhiXinXiLei::kFields[10] = {
    &rg_PeiZhiXinXiLei::domain,        &rg_PeiZhiXinXiLei::androidQq, &rg_PeiZhiXinXiLei::androidPassword,
    &rg_PeiZhiXinXiLei::androidFolder, &rg_PeiZhiXinXiLei::serverQq,  &rg_PeiZhiXinXiLei::serverPassword,
    &rg_PeiZhiXinXiLei::serverFolder,  &rg_PeiZhiXinXiLei::windowsQq, &rg_PeiZhiXinXiLei::windowsPassword,
    &rg_PeiZhiXinXiLei::windowsFolder,
};

bool rg_PeiZhiXinXiLei::equals(const CQueltObject& other) const {
    if (!sameHeader(other))
        return false;
    const auto& that = static_cast<const rg_PeiZhiXinXiLei&>(other);
    for (const auto field : kFields) {
        if (!((this->*field) == (that.*field).view()))
            return false;
    }
    return true;
}

void rg_PeiZhiXinXiLei::reset() {
    CQueltObject::reset();
    releaseContents();
}

void rg_PeiZhiXinXiLei::releaseContents() {
    for (const auto field : kFields)
        (this->*field).reset();
}

bool rg_PeiZhiXinXiLei::save(CQueltObjectStream& stream) const {
    for (const auto field : kFields) {
        if (!stream.writeText(this->*field))
            return false;
    }
    return true;
}

bool rg_PeiZhiXinXiLei::load(CQueltObjectStream& stream) {
    rg_PeiZhiXinXiLei loaded;
    for (const auto field : kFields) {
        if (!stream.readText(loaded.*field))
            return false;
    }
    for (const auto field : kFields)
        this->*field = std::move(loaded.*field);
    return true;
}

} // namespace rg_quelt_app
