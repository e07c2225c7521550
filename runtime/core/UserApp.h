#pragma once
// The program object chain: CQueltUserApp -> rg_ChengXuLei -> rg_ChuangKouChengXuLei.
// An application derives its start-up class from the last one. Constructing a
// CQueltUserApp makes it the process's program object; destroying it clears that.
//
// The window-program hooks take the native message as plain integers so that this
// layer knows nothing of the window system.
#include "runtime/core/QueltObject.h"

#include <cstdint>

class CQueltUserApp : public CQueltObject {
    QUELT_CLASS(CQueltUserApp)

public:
    CQueltUserApp();
    CQueltUserApp(const CQueltUserApp& other);
    CQueltUserApp& operator=(const CQueltUserApp&) = default;
    ~CQueltUserApp() override;

    // Runs once on the main thread; 0 ends the process with exit code -1.
    virtual bool start() { return true; }
    // Called for every queued message first; returning false swallows it.
    virtual bool preTranslate(void* window, std::uint32_t message, std::uintptr_t wparam,
                              std::intptr_t lparam, void* messageRecord);
    // Called on every idle pass of the main loop.
    virtual bool onIdle(int idleCount);
    // Called once after the main loop has ended.
    virtual void onExit();
};

namespace rg_quelt_base {

class rg_ChengXuLei : public CQueltUserApp {
    QUELT_CLASS(rg_ChengXuLei)

public:
    rg_ChengXuLei() = default;
};

// A program whose life is bound to a main window.
class rg_ChuangKouChengXuLei : public rg_ChengXuLei {
    QUELT_CLASS(rg_ChuangKouChengXuLei)

public:
    rg_ChuangKouChengXuLei() = default;
};

} // namespace rg_quelt_base
