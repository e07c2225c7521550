#include "app/rg_startup_class.h"
#include "runtime/core/AppInstance.h"
#include "runtime/core/InitOrder.h"
#include "runtime/net/CurlGlobal.h"
#include "runtime/platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

int indexOf(const char* name) {
    for (int i = 0; i < staticInitCount(); ++i) {
        if (std::strcmp(staticInitName(i), name) == 0)
            return i;
    }
    return -1;
}

TEST(StaticInitialisation, RuntimeStateComesBeforeLibcurl) {
    ASSERT_EQ(curlGlobalInitResult(), 0);
    const int runtime = indexOf("runtime");
    const int curl = indexOf("curl");
    ASSERT_GE(runtime, 0);
    ASSERT_GE(curl, 0);
    EXPECT_EQ(runtime, 0) << "the runtime's state must be the first process-wide object";
    EXPECT_LT(runtime, curl);
}

TEST(StaticInitialisation, NoProgramObjectBeforeTheEntry) {
    EXPECT_EQ(CQueltAppInstance::instance().programObject(), nullptr);
    EXPECT_EQ(CQueltAppInstance::instance().threadStates().limit(), 2u * platform::processorCount() + 2u);
}

TEST(ProgramClassChain, StartupClassIsAWindowProgram) {
    const CQueltClassRecord& record = rg_quelt_app::rg_startup_class::staticClassRecord();
    EXPECT_STREQ(record.name, "rg_quelt_app::rg_startup_class");
    EXPECT_TRUE(record.derivesFrom(rg_quelt_base::rg_ChuangKouChengXuLei::staticClassRecord()));
    EXPECT_TRUE(record.derivesFrom(rg_quelt_base::rg_ChengXuLei::staticClassRecord()));
    EXPECT_TRUE(record.derivesFrom(CQueltUserApp::staticClassRecord()));
    EXPECT_TRUE(record.derivesFrom(CQueltObject::staticClassRecord()));
    EXPECT_STREQ(CQueltUserApp::staticClassRecord().name, "CQueltUserApp");
    EXPECT_STREQ(rg_quelt_base::rg_ChengXuLei::staticClassRecord().name, "rg_quelt_base::rg_ChengXuLei");
}

TEST(ProgramClassChain, ConstructionRegistersTheProgramObject) {
    CQueltAppInstance& app = CQueltAppInstance::instance();
    {
        rg_quelt_app::rg_startup_class program;
        EXPECT_EQ(app.programObject(), &program);
    }
    EXPECT_EQ(app.programObject(), nullptr);
}

} // namespace
