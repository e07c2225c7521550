// The list answer reader on arbitrary bytes, read as a response body is: the
// records it gives are numbered from 1 in order and their sizes fit 32 bits, an
// answer it does not understand gives no records, and every status but Ok has a
// reason.
#include "updater/ModuleListReader.h"
#include "updater/rg_MoKuaiXinXiLei.h"

#include "tests/fuzz/FuzzInput.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rg_quelt_app;
    ListReading reading;
    reading.status = ListStatus::TransferFailed;
    const CQueltObjectArray records = readModuleList(data, size, &reading);
    const ListStatus status = reading.status;
    FUZZ_CHECK(status == ListStatus::Ok || status == ListStatus::Incomplete ||
               status == ListStatus::NotUnderstood);
    FUZZ_CHECK(status != ListStatus::NotUnderstood || records.count() == 0);
    FUZZ_CHECK((status == ListStatus::Ok) != reading.reason.failed());
    FUZZ_CHECK(status == ListStatus::Ok || !reasonText(reading.reason).isEmpty());
    for (std::size_t i = 0; i < records.count(); ++i) {
        const auto* record = dynamic_cast<const rg_MoKuaiXinXiLei*>(records.at(i));
        FUZZ_CHECK(record != nullptr);
        FUZZ_CHECK(record->ordinal == static_cast<std::int32_t>(i + 1));
        FUZZ_CHECK(record->size >= INT32_MIN && record->size <= INT32_MAX);
    }
    return 0;
}
