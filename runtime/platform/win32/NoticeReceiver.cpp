// Notice receivers on Windows: a hidden tool window per receiver, serviced by the
// owning thread's message loop. SendMessageW does the cross-thread hand-over and
// calls the window procedure directly when sent from the owning thread.
#include "runtime/platform/NoticeReceiver.h"

#include <windows.h>

namespace platform {

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is passed to Win32 as wchar_t");

namespace {

constexpr wchar_t kClassName[] = L"_QUELT_IQueltNoticeReceiver";
constexpr wchar_t kProperty[] = L"_QUELT_IQueltNoticeReceiver";
constexpr UINT kSendMessage = WM_APP + 1;
constexpr UINT kPostMessage = WM_APP + 2;
// Sent along with each synchronous notice and answered back: WM_APP + 1 from
// anyone else is never taken for a SendRecord.
constexpr LPARAM kSendMarker = 18;

// What a synchronous notice carries: three words for the receiver and where its
// answer goes.
struct SendRecord {
    std::uintptr_t first;
    std::uintptr_t second;
    std::uintptr_t third;
    std::intptr_t* result;
};

std::intptr_t callReceiver(IQueltNoticeReceiver* receiver, std::uintptr_t a, std::uintptr_t b,
                           std::uintptr_t c) {
    try {
        return receiver->onNotice(a, b, c);
    } catch (...) {
        return 0;
    }
}

LRESULT CALLBACK noticeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case kSendMessage:
        if (wparam && lparam == kSendMarker) {
            auto* receiver = static_cast<IQueltNoticeReceiver*>(GetPropW(window, kProperty));
            auto* record = reinterpret_cast<SendRecord*>(wparam);
            const std::intptr_t result =
                receiver ? callReceiver(receiver, record->first, record->second, record->third) : 0;
            if (record->result)
                *record->result = result;
            return kSendMarker;
        }
        break;
    case kPostMessage:
        if (auto* receiver = static_cast<IQueltNoticeReceiver*>(GetPropW(window, kProperty)))
            callReceiver(receiver, wparam, static_cast<std::uintptr_t>(lparam), 0);
        return 0;
    case WM_NCDESTROY:
        RemovePropW(window, kProperty);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

bool registerClassOnce() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = noticeProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = nullptr;
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

} // namespace

NoticeWindow* createNoticeWindow(IQueltNoticeReceiver* receiver) {
    if (!receiver || !registerClassOnce())
        return nullptr;
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return nullptr;
    if (!SetPropW(window, kProperty, receiver)) {
        DestroyWindow(window);
        return nullptr;
    }
    return reinterpret_cast<NoticeWindow*>(window);
}

void destroyNoticeWindow(NoticeWindow* window) {
    if (!window)
        return;
    HWND hwnd = reinterpret_cast<HWND>(window);
    RemovePropW(hwnd, kProperty);
    DestroyWindow(hwnd);
}

std::intptr_t sendNotice(NoticeWindow* window, std::uintptr_t first, std::uintptr_t second,
                         std::uintptr_t third) {
    if (!window)
        return 0;
    std::intptr_t result = 0;
    SendRecord record{first, second, third, &result};
    SendMessageW(reinterpret_cast<HWND>(window), kSendMessage, reinterpret_cast<WPARAM>(&record),
                 kSendMarker);
    return result;
}

bool postNotice(NoticeWindow* window, std::uintptr_t first, std::uintptr_t second) {
    return window &&
           PostMessageW(reinterpret_cast<HWND>(window), kPostMessage, first, static_cast<LPARAM>(second));
}

std::uint64_t noticeWindowThread(const NoticeWindow* window) {
    return window
               ? GetWindowThreadProcessId(reinterpret_cast<HWND>(const_cast<NoticeWindow*>(window)), nullptr)
               : 0;
}

int serviceNotices(std::uint32_t timeoutMs) {
    // Sent messages are delivered inside PeekMessageW; posted ones are dispatched here.
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    int ran = 0;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
        ++ran;
    }
    return ran;
}

} // namespace platform
