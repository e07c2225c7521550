#include "runtime/core/InitOrder.h"
#include "runtime/net/rg_WangLaoFangWenLei.h"
#include "updater/ConfigStore.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int indexOf(const std::string& name) {
    for (int i = 0; i < staticInitCount(); ++i) {
        if (name == staticInitName(i))
            return i;
    }
    return -1;
}

TEST(ModuleStaticInit, TheProcessWideObjectsComeInTheirOrder) {
    // Touch them so that the linker keeps every one.
    (void)rg_quelt_app::globalConfig.domain.isEmpty();
    (void)rg_quelt_windows_WangLao::downloadNetAccess();
    const int runtime = indexOf("runtime");
    const int curl = indexOf("curl");
    const int config = indexOf("config");
    const int headers = indexOf("request headers");
    const int download = indexOf("download access");
    EXPECT_EQ(runtime, 0);
    EXPECT_LT(runtime, curl);
    EXPECT_LT(curl, config);
    EXPECT_LT(config, headers);
    EXPECT_LT(headers, download);
}

} // namespace
