// The main window and the help window at 96, 144 and 192 DPI: the program's own
// window code, in dpi_probe.exe with the program's manifest, started once per DPI
// with Wine's "LogPixels" set for it, on a Wine desktop large enough for it. At 144
// and 192 DPI every control's rectangle is its 96-DPI one times 1.5 and 2, within
// a pixel, and so is every font's height; the pictures land in screenshots/
// beside the others.
#include "tests/support/ModuleServer.h"
#include "tests/support/TempFolder.h"
#include "updater/ConfigStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;
using namespace rg_quelt_app;

namespace {

bool underWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::wstring fullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// The DPI Wine gives the processes that start while this lives; the value it had
// comes back when it goes (or earlier, by restore()).
class LogPixels {
public:
    explicit LogPixels(DWORD dpi) {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        DWORD type = 0, size = sizeof(old_);
        had_ = RegQueryValueExW(key_, kValue, nullptr, &type, reinterpret_cast<BYTE*>(&old_), &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
        set_ = RegSetValueExW(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)) ==
               ERROR_SUCCESS;
    }
    ~LogPixels() { restore(); }
    LogPixels(const LogPixels&) = delete;
    LogPixels& operator=(const LogPixels&) = delete;

    bool set() const { return set_; }
    void restore() {
        if (!key_)
            return;
        if (had_)
            RegSetValueExW(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof(old_));
        else
            RegDeleteValueW(key_, kValue);
        RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    static constexpr const wchar_t* kValue = L"LogPixels";
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
    bool set_ = false;
};

struct Edges {
    long left, top, right, bottom;
};
using Rects = std::map<std::string, Edges>;

// The probe's rectangles; empty until its last line, "done", is there.
Rects readRects(const fs::path& file) {
    std::ifstream in(file);
    Rects rects;
    std::string line;
    while (std::getline(in, line)) {
        if (line == "done")
            return rects;
        std::istringstream fields(line);
        std::string name;
        Edges e{};
        if (fields >> name >> e.left >> e.top >> e.right >> e.bottom)
            rects[name] = e;
    }
    return {};
}

// Runs the probe at `dpi` and waits for its rectangles (two minutes at most).
Rects probeAt(int dpi, const std::wstring& setupIni, const std::wstring& prefix) {
    const std::wstring event =
        L"MirethDpiProbe" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(dpi);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
    if (!ready)
        return {};
    const fs::path rectsFile = prefix + L"-rects.txt";
    std::error_code ignored;
    fs::remove(rectsFile, ignored);
    LogPixels pixels(static_cast<DWORD>(dpi));
    EXPECT_TRUE(pixels.set());
    std::wstring command = L"explorer.exe /desktop=MirethDpi" + std::to_wstring(dpi) + L",2000x1500 \"" +
                           fullPath(MIRETH_DPI_PROBE_EXE) + L"\" \"" + setupIni + L"\" \"" + prefix + L"\" " +
                           event;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process) != FALSE;
    Rects rects;
    if (started) {
        // The probe has read the DPI once its window is up: the others get theirs back.
        EXPECT_EQ(WaitForSingleObject(ready, 60000), WAIT_OBJECT_0)
            << "the probe at " << dpi << " DPI never opened";
        pixels.restore();
        const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while ((rects = readRects(rectsFile)).empty() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        // The desktop's own process ends with its last window; not waited for longer.
        if (WaitForSingleObject(process.hProcess, 20000) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    pixels.restore();
    CloseHandle(ready);
    fs::remove(rectsFile, ignored); // the pictures stay for review, the numbers were read
    return rects;
}

} // namespace

TEST(DpiTest, TheWindowsAtHigherDpiAreTheirDesignScaledWithinAPixel) {
    if (!underWine())
        GTEST_SKIP() << "sets the DPI through Wine's registry";
    mireth_test::ModuleServer server;
    mireth_test::TempFolder config{"config"}, modules{"modules"};
    rg_PeiZhiXinXiLei settings;
    settings.domain = CWString::fromUtf8(server.httpBase() + "_tag/dpi/");
    settings.windowsFolder = CWString(modules.path().u16string());
    settings.windowsQq = u"10001";
    settings.windowsPassword = u"secret";
    const fs::path ini = config.path() / "setup.ini";
    ASSERT_TRUE(SaveConfig(settings, CWString(ini.u16string())));
    fs::create_directories("screenshots");

    std::map<int, Rects> at;
    for (int dpi : {96, 144, 192}) {
        at[dpi] = probeAt(dpi, fullPath(ini.wstring()), fullPath(L"screenshots\\dpi" + std::to_wstring(dpi)));
        ASSERT_FALSE(at[dpi].empty()) << "no rectangles at " << dpi << " DPI";
    }
    // At 96 DPI the window is as designed.
    const Rects& design = at[96];
    ASSERT_TRUE(design.count("main") && design.count("main/103/104") && design.count("help/101"));
    EXPECT_EQ(design.at("main").right, 800);
    EXPECT_EQ(design.at("main").bottom, 600);
    EXPECT_EQ(design.at("main/103/104").left, 10);
    EXPECT_EQ(design.at("main/103/104").bottom, 27 + 65);
    EXPECT_EQ(design.at("help").right, 600);
    EXPECT_EQ(design.at("main/103/108/109/column2").right, 200);
    EXPECT_EQ(design.at("main/101/font").right, -12);
    for (int dpi : {144, 192}) {
        const double factor = dpi / 96.0;
        for (const auto& [name, r] : design) {
            if (name.rfind("moved", 0) == 0)
                continue;
            SCOPED_TRACE(name + " at " + std::to_string(dpi) + " DPI");
            ASSERT_TRUE(at[dpi].count(name)) << "missing";
            const Edges& s = at[dpi].at(name);
            EXPECT_NEAR(s.left, r.left * factor, 1.0);
            EXPECT_NEAR(s.top, r.top * factor, 1.0);
            EXPECT_NEAR(s.right, r.right * factor, 1.0);
            EXPECT_NEAR(s.bottom, r.bottom * factor, 1.0);
        }
        EXPECT_EQ(at[dpi].size(), design.size()) << dpi;
    }
    // Told its DPI went from 96 to 144, the window lays itself out as it opens at 144.
    for (const auto& [name, r] : at[144]) {
        if (name.rfind("main", 0) != 0)
            continue;
        const std::string moved = "moved" + name.substr(4);
        SCOPED_TRACE(moved);
        ASSERT_TRUE(at[96].count(moved)) << "missing";
        const Edges& m = at[96].at(moved);
        EXPECT_NEAR(m.left, r.left, 1.0);
        EXPECT_NEAR(m.top, r.top, 1.0);
        EXPECT_NEAR(m.right, r.right, 1.0);
        EXPECT_NEAR(m.bottom, r.bottom, 1.0);
    }
}
