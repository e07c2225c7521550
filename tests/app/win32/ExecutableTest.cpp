// MirethUpdater.exe itself, started as users start it: its resources, its window,
// and how it ends.
#include "tests/support/ModuleServer.h"
#include "tests/support/TempFolder.h"
#include "updater/ConfigStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring programPath() {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(MIRETH_UPDATER_EXE, MAX_PATH, full, nullptr);
    return full;
}

std::wstring windowText(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

// A started copy of the program; ended when the test is done with it.
class Program {
public:
    Program() {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring command = L"\"" + programPath() + L"\"";
        started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process_) != FALSE;
    }
    ~Program() {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return started_; }
    bool running() const { return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    // The program's visible top-level window, waiting for it up to 30 seconds.
    HWND mainWindow() const {
        for (int i = 0; i < 600; ++i) {
            struct Search {
                DWORD process;
                HWND found;
            } search{process_.dwProcessId, nullptr};
            EnumWindows(
                [](HWND window, LPARAM parameter) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(parameter);
                    DWORD process = 0;
                    GetWindowThreadProcessId(window, &process);
                    if (process == s->process && IsWindowVisible(window) &&
                        windowText(window) == L"Mireth模块更新程序") {
                        s->found = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            if (search.found)
                return search.found;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return nullptr;
    }

    // The exit code, waiting up to 30 seconds; -2 when it did not end.
    long exitCode() const {
        if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0)
            return -2;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

TEST(ExecutableTest, CarriesItsVersionManifestAndIcon) {
    const std::wstring path = programPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    wchar_t* product = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\080404b0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_EQ(std::wstring(product), L"Quelt应用程序");

    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    // Each size Windows asks for from 96 to 192 DPI, and the large one (width 0).
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(100), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
    ASSERT_NE(group, nullptr);
    const auto* icons = static_cast<const unsigned char*>(LockResource(LoadResource(module, group)));
    std::vector<int> widths;
    for (unsigned entry = 6; entry + 14 <= SizeofResource(module, group); entry += 14)
        widths.push_back(icons[entry]);
    EXPECT_EQ(widths, (std::vector<int>{16, 20, 24, 32, 48, 0}));
    HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), reinterpret_cast<LPCWSTR>(RT_MANIFEST));
    ASSERT_NE(manifest, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, manifest)));
    const std::string text(bytes, SizeofResource(module, manifest));
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
    for (const char* setting :
         {">true/pm</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>", ">true</longPathAware>",
          "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"})
        EXPECT_NE(text.find(setting), std::string::npos) << setting;
    FreeLibrary(module);
}

TEST(ExecutableTest, OpensItsWindowCentredAndEndsWithZeroWhenClosed) {
    Program program;
    ASSERT_TRUE(program.started());
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    RECT client{}, frame{};
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0);
}

TEST(ExecutableTest, EscClosesTheWindowAndTwoStartsAreIndependent) {
    Program first;
    Program second;
    ASSERT_TRUE(first.started() && second.started());
    HWND one = first.mainWindow();
    HWND two = second.mainWindow();
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_NE(one, two);
    // Esc on the window's first control, as a key press arrives from the keyboard.
    HWND control = GetWindow(one, GW_CHILD);
    ASSERT_NE(control, nullptr);
    PostMessageW(control, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_TRUE(IsWindow(two));
    PostMessageW(two, WM_CLOSE, 0, 0);
    EXPECT_EQ(second.exitCode(), 0);
}

// setup.ini beside the program for one test; the one that was there comes back.
class ProgramConfig {
public:
    explicit ProgramConfig(const rg_quelt_app::rg_PeiZhiXinXiLei& config)
        : file_(std::filesystem::path(programPath()).parent_path() / "setup.ini") {
        std::error_code ignored;
        if (std::filesystem::exists(file_))
            std::filesystem::rename(file_, saved(), ignored);
        written_ = rg_quelt_app::SaveConfig(config, CWString(file_.u16string()));
    }
    ~ProgramConfig() {
        std::error_code ignored;
        std::filesystem::remove(file_, ignored);
        if (std::filesystem::exists(saved()))
            std::filesystem::rename(saved(), file_, ignored);
    }
    bool written() const { return written_; }

private:
    std::filesystem::path saved() const { return file_.string() + ".kept-by-test"; }
    std::filesystem::path file_;
    bool written_ = false;
};

HWND control(HWND window, std::initializer_list<int> path) {
    for (int id : path)
        window = window ? GetDlgItem(window, id) : nullptr;
    return window;
}

// The Windows page's buttons, by the identifiers of the controls on their way.
constexpr std::initializer_list<int> kWindowsCheck = {103, 104, 107};
constexpr std::initializer_list<int> kWindowsUpdate = {103, 104, 106};

// A configuration with the domain and the Windows module folder.
rg_quelt_app::rg_PeiZhiXinXiLei windowsConfig(const std::string& domain,
                                              const std::filesystem::path& folder) {
    rg_quelt_app::rg_PeiZhiXinXiLei config;
    config.domain = CWString::fromUtf8(domain);
    config.windowsFolder = CWString(folder.u16string());
    return config;
}

TEST(ExecutableTest, ClosingDuringAListRequestEndsTheProgramWithinTwoSeconds) {
    const struct {
        const char* tag;
        const char* prefix;
        bool whileRead; // closed once the answer is in, while it is read, filled and marked
    } cases[] = {
        {"closing-check", "_stallbefore/20/", false}, // answered only after 20 seconds
        {"closing-dense", "_entries/500000/", true},  // 50 MB of list
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        mireth_test::ModuleServer server;
        mireth_test::TempFolder modules(c.tag);
        ASSERT_TRUE(server.clearRequests(c.tag));
        ProgramConfig file(
            windowsConfig(server.httpBase() + "_tag/" + c.tag + "/" + c.prefix, modules.path()));
        ASSERT_TRUE(file.written());

        Program program;
        ASSERT_TRUE(program.started());
        HWND window = program.mainWindow();
        ASSERT_NE(window, nullptr);
        HWND check = control(window, kWindowsCheck);
        ASSERT_NE(check, nullptr);
        using Clock = std::chrono::steady_clock;
        const auto clicked = Clock::now();
        SendMessageW(check, BM_CLICK, 0, 0);
        EXPECT_LT(Clock::now() - clicked, std::chrono::milliseconds(1000))
            << "the click waited for the answer";
        if (c.whileRead) {
            const auto until = Clock::now() + std::chrono::seconds(60);
            std::vector<mireth_test::RecordedRequest> requests;
            while ((requests = server.recordedRequests(c.tag)).empty() || requests[0].answered == 0.0) {
                ASSERT_LT(Clock::now(), until) << "the list was never answered";
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        }
        ASSERT_TRUE(program.running());
        DWORD_PTR ignored = 0;
        EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored), 0)
            << "the window does not answer during the check";
        ASSERT_EQ(server.recordedRequests(c.tag).size(), 1u);

        const auto closed = Clock::now();
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.exitCode(), 0);
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - closed);
        RecordProperty(std::string("msToEnd-") + c.tag, static_cast<int>(took.count()));
        EXPECT_LT(took.count(), 2000) << "the program took " << took.count() << " ms to end";
    }
}

TEST(ExecutableTest, ClosingDuringADownloadEndsCleanlyAndLeavesNoBrokenFile) {
    mireth_test::ModuleServer server;
    mireth_test::TempFolder modules("closing");
    // 300000 bytes at 50000 per second: the big module takes six seconds.
    ProgramConfig file(windowsConfig(server.httpBase() + "_tag/closing/_slow/50000/", modules.path()));
    ASSERT_TRUE(file.written());

    Program program;
    ASSERT_TRUE(program.started());
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    HWND check = control(window, kWindowsCheck);
    HWND update = control(window, kWindowsUpdate);
    ASSERT_NE(check, nullptr);
    ASSERT_NE(update, nullptr);
    SendMessageW(check, BM_CLICK, 0, 0);
    SendMessageW(update, BM_CLICK, 0, 0);
    // Well into the big module, then the window is closed.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    ASSERT_TRUE(program.running());
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.exitCode(), 0);

    const std::filesystem::path big = modules.path() / "big.bin";
    if (std::filesystem::exists(big)) {
        EXPECT_EQ(std::filesystem::file_size(big), 300000u);
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(modules.path()))
        EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos)
            << "left behind: " << entry.path().string();
}

} // namespace
