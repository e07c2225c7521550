// The windows at 96, 144 and 192 DPI, as the screenshot test of the main window
// shows them when started with Wine's "LogPixels" at that DPI, on a Wine desktop
// large enough: each rectangle, font height and column width at 144 and 192 DPI
// is the 96-DPI one times 1.5 and 2 within a pixel. Its pictures stay in
// screenshots/, named for their DPI.
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
using Rects = std::map<std::string, std::array<long, 4>>;

namespace {

// Sets "LogPixels" for the processes started next (0 deletes it); the old value.
DWORD setLogPixels(DWORD dpi) {
    HKEY key = nullptr;
    DWORD old = 0, size = sizeof(old);
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return 0;
    RegQueryValueExW(key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old), &size);
    if (dpi)
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    else
        RegDeleteValueW(key, L"LogPixels");
    RegCloseKey(key);
    return old;
}

// The layout the screenshot test writes when run at `dpi`, here; empty unless it
// finished within two minutes.
Rects layoutAt(int dpi) {
    const std::string name = "screenshots/dpi" + std::to_string(dpi) + "-layout.txt";
    std::error_code ignored;
    fs::remove(name, ignored);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) +
                           L"\" --gtest_filter=MainWindowTest.ScreenshotsOfEveryPageAndTheHelpWindow";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    SetEnvironmentVariableW(L"MIRETH_DPI_RUN", std::to_wstring(dpi).c_str());
    const DWORD old = setLogPixels(static_cast<DWORD>(dpi));
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process);
    SetEnvironmentVariableW(L"MIRETH_DPI_RUN", nullptr);
    Rects rects;
    bool done = !started;
    for (auto end = std::chrono::steady_clock::now() + std::chrono::minutes(2);
         !done && std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::ifstream in(name);
        rects.clear();
        for (std::string line, control; !done && std::getline(in, line);) {
            std::istringstream fields(line);
            std::array<long, 4> e{};
            done = line == "done";
            if (fields >> control >> e[0] >> e[1] >> e[2] >> e[3])
                rects[control] = e;
        }
    }
    // Whatever starts from now on gets the DPI the prefix had.
    setLogPixels(old);
    if (started) {
        if (WaitForSingleObject(process.hProcess, 30000) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    fs::remove(name, ignored);
    return done ? rects : Rects{};
}

// Each of `design`'s numbers under `from`, times `factor`, is `scaled`'s under `to`.
void expectScaled(const Rects& design, const Rects& scaled, double factor, const std::string& from,
                  const std::string& to) {
    for (const auto& [name, r] : design)
        for (int edge = 0; edge < 4 && name.rfind(from, 0) == 0; ++edge) {
            const auto other = scaled.find(to + name.substr(from.size()));
            ASSERT_NE(other, scaled.end()) << to + name.substr(from.size());
            EXPECT_NEAR(other->second[edge], r[edge] * factor, 1.0) << other->first << " edge " << edge;
        }
}

} // namespace

TEST(DpiTest, AtHigherDpiTheWindowsAreTheirDesignScaledAndADpiChangeLaysThemOutAgain) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version"))
        GTEST_SKIP() << "sets the DPI through Wine's registry";
    std::map<int, Rects> at;
    for (int dpi : {96, 144, 192}) {
        at[dpi] = layoutAt(dpi);
        ASSERT_FALSE(at[dpi].empty()) << "no layout at " << dpi << " DPI";
    }
    // At 96 DPI as designed (a few samples; the rest is the main window's own test).
    EXPECT_EQ(at[96].at("main"), (std::array<long, 4>{0, 0, 800, 600}));
    EXPECT_EQ(at[96].at("main/103/104"), (std::array<long, 4>{10, 27, 772, 92}));
    EXPECT_EQ(at[96].at("main/103/108/109/column2")[2], 200);
    EXPECT_EQ(at[96].at("help/101/font")[2], -12);
    for (const char* part : {"main", "help"}) {
        expectScaled(at[96], at[144], 1.5, part, part);
        expectScaled(at[96], at[192], 2.0, part, part);
    }
    EXPECT_EQ(at[144].size(), at[96].size());
    // Told its DPI went from 96 to 144, the window is as it opens at 144.
    expectScaled(at[144], at[96], 1.0, "main", "moved");
}
