#pragma once
// TransferSettings: how the downloads of a job go, from setup.ini's section "全局":
// how many files download at once ("同时下载数", 1 to 16, default 4; 1 fetches one
// file after another in list order) and how often a transient failure is tried
// again ("重试次数", 0 to 10, default 2; 0 tries each file once). Both keys are
// optional: a missing, empty, non-numeric or out-of-range value means the default.
//
// A runtime object, so that it travels with a job in a thread-state slot.
#include "runtime/core/QueltObject.h"

#include <optional>
#include <string_view>

namespace rg_quelt_app {

class TransferSettings : public CQueltObject {
    QUELT_CLASS(TransferSettings)

public:
    static constexpr int kDefaultParallel = 4;
    static constexpr int kMinParallel = 1;
    static constexpr int kMaxParallel = 16;
    static constexpr int kDefaultRetries = 2;
    static constexpr int kMaxRetries = 10;

    TransferSettings() = default;

    int parallelDownloads = kDefaultParallel;
    int retries = kDefaultRetries;

    bool equals(const CQueltObject& other) const override;
    void reset() override;
};

// A whole decimal number within [low, high], blanks around it allowed; nothing for
// anything else (empty, a sign, a fraction, trailing letters, out of range).
std::optional<int> settingNumber(std::u16string_view text, int low, int high);

} // namespace rg_quelt_app
