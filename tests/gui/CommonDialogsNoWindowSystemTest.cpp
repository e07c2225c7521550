// Only where there is no window system; the Windows dialogs are tested under Wine.
#ifndef _WIN32
#include "runtime/gui/CommonDialogs.h"

#include <gtest/gtest.h>

#include <string>

using namespace rg_quelt_WTLJieMian_base;

TEST(CommonDialogsNoWindowSystem, MessageGoesToStandardErrorAndIsAcknowledged) {
    ::testing::internal::CaptureStderr();
    const std::int32_t answer = messageBox(nullptr, CWString(u"保存成功"), CWString(u"提示"), 0);
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(written, "提示: 保存成功\n");
}

TEST(CommonDialogsNoWindowSystem, NoFolderCanBeChosen) {
    EXPECT_TRUE(browseForFolder(nullptr, CWString(u"选择目录")).isEmpty());
}
#endif
