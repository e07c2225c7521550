// The main window and the help window at 96, 144 and 192 DPI, as dpi_probe.exe
// (the program's window code and manifest) shows them when started with Wine's
// "LogPixels" at that DPI, on a Wine desktop large enough for them: at 144 and 192
// DPI every rectangle, font height and column width is the 96-DPI one times 1.5
// and 2 within a pixel. The pictures land in screenshots/ beside the others.
#include "tests/support/ModuleServer.h"
#include "tests/support/TempFolder.h"
#include "updater/ConfigStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using namespace rg_quelt_app;

namespace {

using Rects = std::map<std::string, std::array<long, 4>>;

// Sets "LogPixels" for the processes started next; `dpi` 0 deletes it. The old
// value, 0 where there was none.
DWORD setLogPixels(DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return 0;
    DWORD old = 0, size = sizeof(old);
    RegQueryValueExW(key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old), &size);
    if (dpi)
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    else
        RegDeleteValueW(key, L"LogPixels");
    RegCloseKey(key);
    return old;
}

std::wstring fullPath(const fs::path& path) { return fs::absolute(path).wstring(); }

// Runs the probe at `dpi` and reads its rectangles; empty unless it finished.
Rects probeAt(int dpi, const fs::path& setupIni, const fs::path& prefix) {
    const std::wstring event = L"MirethDpiProbe" + std::to_wstring(GetCurrentProcessId());
    HANDLE ready = CreateEventW(nullptr, FALSE, FALSE, event.c_str());
    std::wstring command = L"explorer.exe /desktop=MirethDpi" + std::to_wstring(dpi) + L",2000x1500 \"" +
                           fullPath(MIRETH_DPI_PROBE_EXE) + L"\" \"" + fullPath(setupIni) + L"\" \"" +
                           fullPath(prefix) + L"\" " + event;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const DWORD old = setLogPixels(static_cast<DWORD>(dpi));
    const bool started = ready && CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                                 nullptr, &startup, &process);
    // Once its window is up the probe has its DPI, and the others get theirs back.
    const bool opened = started && WaitForSingleObject(ready, 60000) == WAIT_OBJECT_0;
    setLogPixels(old);
    Rects rects;
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    for (bool done = false; opened && !done && std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::ifstream in(fs::path(prefix) += L"-rects.txt");
        for (std::string line; !done && std::getline(in, line);) {
            std::istringstream fields(line);
            std::string name;
            std::array<long, 4> e{};
            done = line == "done";
            if (fields >> name >> e[0] >> e[1] >> e[2] >> e[3])
                rects[name] = e;
        }
        if (!done)
            rects.clear();
    }
    if (started) {
        // The desktop's process ends with its last window; not waited for long.
        if (WaitForSingleObject(process.hProcess, 20000) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (ready)
        CloseHandle(ready);
    return rects;
}

void expectScaled(const Rects& design, const Rects& scaled, double factor, const std::string& from,
                  const std::string& to) {
    for (const auto& [name, r] : design) {
        if (name.rfind(from, 0) != 0)
            continue;
        const std::string other = to + name.substr(from.size());
        ASSERT_TRUE(scaled.count(other)) << other << " missing";
        for (int edge = 0; edge < 4; ++edge)
            EXPECT_NEAR(scaled.at(other)[edge], r[edge] * factor, 1.0) << other << " edge " << edge;
    }
}

} // namespace

TEST(DpiTest, AtHigherDpiTheWindowsAreTheirDesignScaledAndADpiChangeLaysThemOutAgain) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version"))
        GTEST_SKIP() << "sets the DPI through Wine's registry";
    mireth_test::ModuleServer server;
    mireth_test::TempFolder config{"config"}, modules{"modules"};
    rg_PeiZhiXinXiLei settings;
    settings.domain = CWString::fromUtf8(server.httpBase() + "_tag/dpi/");
    settings.windowsFolder = CWString(modules.path().u16string());
    const fs::path ini = config.path() / "setup.ini";
    ASSERT_TRUE(SaveConfig(settings, CWString(ini.u16string())));
    fs::create_directories("screenshots");
    std::map<int, Rects> at;
    for (int dpi : {96, 144, 192}) {
        at[dpi] = probeAt(dpi, ini, "screenshots/dpi" + std::to_string(dpi));
        ASSERT_FALSE(at[dpi].empty()) << "the probe at " << dpi << " DPI did not finish";
        fs::remove("screenshots/dpi" + std::to_string(dpi) + "-rects.txt");
    }
    // At 96 DPI as designed.
    const Rects& design = at[96];
    EXPECT_EQ(design.at("main"), (std::array<long, 4>{0, 0, 800, 600}));
    EXPECT_EQ(design.at("main/103/104"), (std::array<long, 4>{10, 27, 772, 92}));
    EXPECT_EQ(design.at("main/103/108/109/column2")[2], 200);
    EXPECT_EQ(design.at("main/101/font")[2], -12);
    EXPECT_EQ(design.at("help"), (std::array<long, 4>{0, 0, 600, 420}));
    for (const char* part : {"main", "help"}) {
        expectScaled(design, at[144], 1.5, part, part);
        expectScaled(design, at[192], 2.0, part, part);
    }
    EXPECT_EQ(at[144].size(), design.size());
    // Told its DPI went from 96 to 144, the window is as it opens at 144.
    expectScaled(at[144], design, 1.0, "main", "moved");
}
