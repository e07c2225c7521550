#include "updater/ModuleListReader.h"

#include "runtime/data/rg_JSONDuiXiangLei.h"
#include "runtime/data/rg_JSONShuZuLei.h"
#include "updater/rg_MoKuaiXinXiLei.h"

#include <exception>

namespace rg_quelt_app {

using namespace rg_QueltShiChuang_JSONCaoZuo;

namespace {

void note(ListReading* reading, ListStatus status, const char16_t* reason) {
    if (reading)
        *reading = {status, CWString(reason)};
}

} // namespace

CQueltObjectArray readModuleList(const CWString& answer, ListReading* reading) {
    CQueltObjectArray records;
    try {
        rg_JSONDuiXiangLei document;
        // A broken answer keeps what was read before the error, as the parser left it.
        const bool whole = document.ParseText(answer);
        const Json::Value& root = document.jsonValue();
        if (!root.isObject()) {
            note(reading, ListStatus::NotUnderstood,
                 whole ? u"the answer is not a JSON object" : u"the answer is not JSON");
            return records;
        }
        const std::int32_t code = document.GetInteger(CWString::borrowed(u"code"));
        if (code != 200) {
            if (reading) {
                reading->status = ListStatus::NotUnderstood;
                reading->reason = CWString(u"the answer's \"code\" is ") + CWString::fromInteger(code).view();
                const Json::Value& message = root["msg"];
                if (message.isString())
                    reading->reason += (CWString(u": ") + CWString::fromUtf8(message.asString())).view();
            }
            return records;
        }
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
        if (whole)
            note(reading, ListStatus::Ok, u"");
        else
            note(reading, ListStatus::Incomplete, u"the answer breaks off before the end of the list");
    } catch (const std::exception&) {
        // Out-of-range numbers and member reads on a non-object root: a failed list.
        records.removeAll();
        note(reading, ListStatus::NotUnderstood, u"a number in the answer does not fit in 32 bits");
    }
    return records;
}

} // namespace rg_quelt_app
