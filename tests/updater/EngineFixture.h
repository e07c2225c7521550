#pragma once
// The engine against the loopback module server: three module folders, a
// configuration whose domain marks the requests with the test's name, and the
// main thread's part of waiting for a job.
#include "UpdaterTestSupport.h"
#include "runtime/core/RefPtr.h"
#include "runtime/platform/NoticeReceiver.h"
#include "tests/support/ModuleServer.h"
#include "updater/JobTracker.h"
#include "updater/UpdateFlow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace updater_test {

using namespace rg_quelt_app;

// The sample tree's contents of that size and seed (tests/server/server_ctl.py).
inline std::string sampleContent(std::size_t n, int seed) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((seed + 7 * i) % 256);
    return bytes;
}

inline int rowOf(const Rows& rows, const std::u16string& name) {
    for (std::size_t i = 0; i < rows->rowCount(); ++i) {
        if (rows.cell(i, kColumnName) == name)
            return static_cast<int>(i);
    }
    return -1;
}

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override {
        config.domain = CWString::fromUtf8(server.httpBase() + "_tag/" + tag() + "/");
        config.windowsFolder = textOf(windows.path());
        config.androidFolder = textOf(android.path());
        config.serverFolder = textOf(serverFolder.path());
    }
    static std::string tag() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

    // Runs the main thread's part while the worker works, as a message loop would.
    bool waitForWorker(std::chrono::seconds limit = std::chrono::seconds(60)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (engine.isDownloading()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            platform::serviceNotices(10);
        }
        return true;
    }

    // Starts an update of `rows` followed by a fresh tracker.
    UpdateResult update(ModuleKind kind, Rows& rows, bool force, const rg_PeiZhiXinXiLei& settings) {
        tracker = RefPtr<JobTracker>::adopt(JobTracker::create(*rows));
        return updateModules(engine, kind, *rows, force, settings, *tracker);
    }

    std::u16string mode(const Rows& rows, const std::u16string& name) {
        const int row = rowOf(rows, name);
        return row < 0 ? u"<no row>" : rows.cell(static_cast<std::size_t>(row), kColumnMode);
    }

    mireth_test::ModuleServer server;
    TempFolder windows{"windows"};
    TempFolder android{"android"};
    TempFolder serverFolder{"server"};
    rg_PeiZhiXinXiLei config;
    rg_MoKuaiGengXinYinQing engine;
    RefPtr<JobTracker> tracker;
};

} // namespace updater_test
