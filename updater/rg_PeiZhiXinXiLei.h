#pragma once
// rg_PeiZhiXinXiLei: the ten configuration texts of the module updater (the server
// domain, and for each module kind the QQ number, the module password and the local
// module folder), as they are kept in setup.ini. Free text: nothing is checked,
// trimmed or normalised here. Copying, equality and the stream form take the ten
// texts in their declared order.
#include "runtime/core/QueltObject.h"
#include "runtime/core/WString.h"

namespace rg_quelt_app {

class rg_PeiZhiXinXiLei : public CQueltObject {
    QUELT_CLASS(rg_PeiZhiXinXiLei)

public:
    rg_PeiZhiXinXiLei() = default;

    CWString domain;
    CWString androidQq;
    CWString androidPassword;
    CWString androidFolder;
    CWString serverQq;
    CWString serverPassword;
    CWString serverFolder;
    CWString windowsQq;
    CWString windowsPassword;
    CWString windowsFolder;

    bool equals(const CQueltObject& other) const override;
    void reset() override;
    void releaseContents() override;
    // A failed load leaves the record as it was.
    bool save(CQueltObjectStream& stream) const override;
    bool load(CQueltObjectStream& stream) override;

private:
    // The ten fields in declared order.
    static CWString rg_PeiZhiXinXiLei::*const kFields[10];
};

} // namespace rg_quelt_app
