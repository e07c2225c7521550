#include "runtime/gui/win32/WtlAppModule.h"

#include "runtime/core/InitOrder.h"
#include "runtime/gui/MainWindow.h"
#include "runtime/gui/win32/VWnd_Container.h"

namespace {
CQueltWtlAppModule theModule QUELT_INIT_PRIORITY(QUELT_INIT_WINDOW_MODULE);
}

CQueltWtlAppModule::CQueltWtlAppModule() { noteStaticInit("CQueltWtlAppModule"); }

CQueltWtlAppModule::~CQueltWtlAppModule() = default;

CQueltWtlAppModule& CQueltWtlAppModule::instance() { return theModule; }

void CQueltWtlAppModule::init() {
    mainThreadId_ = GetCurrentThreadId();
    platform::CriticalSectionLock hold(lock_);
    threads_.clear();
    loops_.clear();
    installWin32WindowLayer();
}

void CQueltWtlAppModule::term() {
    platform::CriticalSectionLock hold(lock_);
    threads_.clear();
    loops_.clear();
}

bool CQueltWtlAppModule::addMessageLoop(DWORD thread, CQueltMessageLoop* loop) {
    platform::CriticalSectionLock hold(lock_);
    const std::size_t count = threads_.size() / sizeof(DWORD);
    threads_.append(&thread, sizeof(thread));
    loops_.append(&loop, sizeof(loop));
    return threads_.size() / sizeof(DWORD) == count + 1 && loops_.size() / sizeof(loop) == count + 1;
}

bool CQueltWtlAppModule::removeMessageLoop(DWORD thread) {
    platform::CriticalSectionLock hold(lock_);
    auto* threads = reinterpret_cast<DWORD*>(threads_.data());
    auto* loops = reinterpret_cast<CQueltMessageLoop**>(loops_.data());
    const std::size_t count = threads_.size() / sizeof(DWORD);
    for (std::size_t i = 0; i < count; ++i) {
        if (threads[i] == thread) {
            for (std::size_t j = i + 1; j < count; ++j) {
                threads[j - 1] = threads[j];
                loops[j - 1] = loops[j];
            }
            threads_.setSize((count - 1) * sizeof(DWORD));
            loops_.setSize((count - 1) * sizeof(CQueltMessageLoop*));
            return true;
        }
    }
    return false;
}

CQueltMessageLoop* CQueltWtlAppModule::messageLoop(DWORD thread) {
    platform::CriticalSectionLock hold(lock_);
    auto* threads = reinterpret_cast<DWORD*>(threads_.data());
    for (std::size_t i = 0; i < threads_.size() / sizeof(DWORD); ++i)
        if (threads[i] == thread)
            return reinterpret_cast<CQueltMessageLoop**>(loops_.data())[i];
    return nullptr;
}

HWND CQueltWtlAppModule::mainWindow() const { return reinterpret_cast<HWND>(quelt_gui::mainWindowHandle()); }

void CQueltWtlAppModule::setMainWindow(HWND window) {
    quelt_gui::setMainWindowHandle(reinterpret_cast<std::uintptr_t>(window));
}
