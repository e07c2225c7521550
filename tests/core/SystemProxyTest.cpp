// The user's proxy settings as the system's dialog keeps them, read back through
// WinHTTP: the static proxy, its bypass list and an automatic-configuration script.
#include "runtime/platform/SystemProxy.h"
#include "tests/support/RunsUnderWine.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kConnections[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
constexpr wchar_t kSettings[] = L"DefaultConnectionSettings";

// The dialog's record: version, a counter and the flags (2: a static proxy, 4: a
// script, 8: detection), then the proxy, the bypass list and the script's
// address, each as a length and its characters.
std::vector<BYTE> connectionSettings(DWORD flags, const std::string& proxy, const std::string& bypass,
                                     const std::string& script) {
    std::vector<BYTE> record;
    const auto number = [&](DWORD value) {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&value);
        record.insert(record.end(), bytes, bytes + sizeof value);
    };
    number(0x46);
    number(1);
    number(flags);
    for (const std::string* text : {&proxy, &bypass, &script}) {
        number(static_cast<DWORD>(text->size()));
        record.insert(record.end(), text->begin(), text->end());
    }
    number(0);
    return record;
}

// The record as it was, put back when the test ends.
class SavedSettings {
public:
    SavedSettings() {
        RegCreateKeyExW(HKEY_CURRENT_USER, kConnections, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                        nullptr);
        DWORD size = 0;
        if (key_ && RegQueryValueExW(key_, kSettings, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            saved_.emplace(size);
            RegQueryValueExW(key_, kSettings, nullptr, nullptr, saved_->data(), &size);
        }
    }
    ~SavedSettings() {
        if (!key_)
            return;
        if (saved_)
            RegSetValueExW(key_, kSettings, 0, REG_BINARY, saved_->data(),
                           static_cast<DWORD>(saved_->size()));
        else
            RegDeleteValueW(key_, kSettings);
        RegCloseKey(key_);
    }
    bool write(const std::vector<BYTE>& record) {
        return key_ && RegSetValueExW(key_, kSettings, 0, REG_BINARY, record.data(),
                                      static_cast<DWORD>(record.size())) == ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
    std::optional<std::vector<BYTE>> saved_;
};

TEST(SystemProxyTest, TheStaticProxyItsBypassListAndTheScriptAreRead) {
    if (!mireth_test::runsUnderWine())
        GTEST_SKIP() << "it would change the user's own proxy settings for a moment";
    SavedSettings saved;
    ASSERT_TRUE(
        saved.write(connectionSettings(2 | 4, "proxy.corp:8080", "*.corp;<local>", "http://wpad/p.pac")));
    const platform::SystemProxySettings settings = platform::systemProxySettings();
    EXPECT_EQ(settings.proxy, u"proxy.corp:8080");
    EXPECT_EQ(settings.bypass, u"*.corp;<local>");
    EXPECT_EQ(settings.autoConfigUrl, u"http://wpad/p.pac");

    ASSERT_TRUE(saved.write(connectionSettings(1, "", "", "")));
    const platform::SystemProxySettings none = platform::systemProxySettings();
    EXPECT_TRUE(none.proxy.empty() && none.bypass.empty() && none.autoConfigUrl.empty());
}

} // namespace
#endif
