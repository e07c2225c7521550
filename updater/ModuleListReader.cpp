#include "updater/ModuleListReader.h"

#include "runtime/data/rg_JSONDuiXiangLei.h"
#include "runtime/data/rg_JSONShuZuLei.h"
#include "updater/rg_MoKuaiXinXiLei.h"

#include <exception>

namespace rg_quelt_app {

using namespace rg_QueltShiChuang_JSONCaoZuo;

CQueltObjectArray readModuleList(const CWString& answer, ListStatus* status) {
    CQueltObjectArray records;
    if (status)
        *status = ListStatus::NotUnderstood;
    try {
        rg_JSONDuiXiangLei document;
        // A broken answer keeps what was read before the error, as the parser left it.
        document.ParseText(answer);
        if (document.GetInteger(CWString::borrowed(u"code")) != 200)
            return records;
        rg_JSONShuZuLei data;
        document.TakeArray(CWString::borrowed(u"data"), data);
        const CWString nameKey = CWString::borrowed(u"name");
        const CWString pathKey = CWString::borrowed(u"path");
        const CWString timeKey = CWString::borrowed(u"updateTime");
        const std::uint32_t count = data.ElementCount();
        for (std::uint32_t i = 0; i < count; ++i) {
            rg_JSONDuiXiangLei element;
            data.TakeElementAt(i, element);
            auto* record = new rg_MoKuaiXinXiLei();
            records.append(record);
            record->ordinal = static_cast<std::int32_t>(i + 1);
            record->name = element.GetText(nameKey);
            record->path = element.GetText(pathKey);
            record->updateTime = element.GetText(timeKey);
            record->size = element.GetIntegerUtf8("size");
        }
        if (status)
            *status = ListStatus::Ok;
    } catch (const std::exception&) {
        // Out-of-range numbers and member reads on a non-object root: a failed list.
        records.removeAll();
        if (status)
            *status = ListStatus::NotUnderstood;
    }
    return records;
}

} // namespace rg_quelt_app
