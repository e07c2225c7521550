#include "runtime/gui/win32/MainMessageLoop.h"

#include "runtime/core/AppInstance.h"
#include "runtime/core/UserApp.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/win32/WtlAppModule.h"
#include "runtime/platform/SystemInfo.h"

using namespace quelt_gui;

namespace {

constexpr UINT kSystemTimer = 0x0118; // the caret's blinking and other timers of the system's own

// Whether a message makes the loop run an idle phase afterwards: painting, mouse
// movement and the system's timer do not, so a still window stays still.
bool isIdleTriggering(UINT message) {
    return message != WM_PAINT && message != WM_NCMOUSEMOVE && message != kSystemTimer &&
           message != WM_MOUSEMOVE;
}

} // namespace

bool preTranslateChain(MSG& message) {
    const bool keyboard = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    const bool mouse = message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST;
    if (!keyboard && !mouse)
        return false;
    for (HWND window = message.hwnd; window && IsWindow(window);) {
        if (GetWindowLongPtrW(window, GWLP_USERDATA) == kFrameworkMagic &&
            SendMessageW(window, kMsgPreTranslate, reinterpret_cast<WPARAM>(&message), kFrameworkMagic) ==
                kFrameworkMagic)
            return true;
        if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
            break;
        window = GetParent(window);
    }
    return false;
}

void CQueltMessageLoop::addMessageFilter(IQueltMessageFilter* filter) {
    if (filter)
        filters_.append(&filter, sizeof(filter));
}

void CQueltMessageLoop::addIdleHandler(IQueltIdleHandler* handler) {
    if (handler)
        idleHandlers_.append(&handler, sizeof(handler));
}

bool CQueltMessageLoop::removeFrom(CQueltMem& list, void* item) {
    auto** items = reinterpret_cast<void**>(list.data());
    const std::size_t count = list.size() / sizeof(void*);
    for (std::size_t i = 0; i < count; ++i) {
        if (items[i] == item) {
            for (std::size_t j = i + 1; j < count; ++j)
                items[j - 1] = items[j];
            list.setSize((count - 1) * sizeof(void*));
            return true;
        }
    }
    return false;
}

bool CQueltMessageLoop::removeMessageFilter(IQueltMessageFilter* filter) {
    return removeFrom(filters_, filter);
}
bool CQueltMessageLoop::removeIdleHandler(IQueltIdleHandler* handler) {
    return removeFrom(idleHandlers_, handler);
}

bool CQueltMessageLoop::runFilters(MSG& message) {
    // Last registered first.
    for (std::size_t i = filters_.size() / sizeof(void*); i-- > 0;) {
        auto* filter = reinterpret_cast<IQueltMessageFilter**>(filters_.data())[i];
        if (filter->preTranslateMessage(message))
            return true;
    }
    return false;
}

void CQueltMessageLoop::runIdleHandlers() {
    for (std::size_t i = 0; i < idleHandlers_.size() / sizeof(void*); ++i)
        reinterpret_cast<IQueltIdleHandler**>(idleHandlers_.data())[i]->onIdle();
}

CQueltMainMessageLoop::CQueltMainMessageLoop(CQueltUserApp& program)
    : program_(program),
      windowProgram_(program.isInstanceOf(rg_quelt_base::rg_ChuangKouChengXuLei::staticClassRecord())) {}

bool CQueltMainMessageLoop::idleStep(int) {
    CQueltAppInstance::instance().threadStates().reap(platform::tickCount());
    if (windowProgram_)
        program_.onIdle(0);
    runIdleHandlers();
    return false;
}

int CQueltMainMessageLoop::run() {
    CQueltWtlAppModule& module = CQueltWtlAppModule::instance();
    const DWORD thread = GetCurrentThreadId();
    const bool registered = module.addMessageLoop(thread, this);
    int exitCode = 0;
    bool idle = true;
    MSG message;
    for (;;) {
        int idleCount = 0;
        while (idle && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!idleStep(idleCount++))
                idle = false;
        }
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (got == 0) {
            exitCode = static_cast<int>(message.wParam);
            break;
        }
        bool consumed = windowProgram_ && !program_.preTranslate(message.hwnd, message.message,
                                                                 message.wParam, message.lParam, &message);
        if (!consumed)
            consumed = runFilters(message) || preTranslateChain(message);
        if (!consumed) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (isIdleTriggering(message.message))
            idle = true;
    }
    if (registered)
        module.removeMessageLoop(thread);
    return exitCode;
}
