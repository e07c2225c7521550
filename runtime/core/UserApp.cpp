#include "runtime/core/UserApp.h"

#include "runtime/core/AppInstance.h"

QUELT_DEFINE_CLASS(CQueltUserApp, CQueltObject, "CQueltUserApp")

CQueltUserApp::CQueltUserApp() { CQueltAppInstance::instance().setProgramObject(this); }

CQueltUserApp::CQueltUserApp(const CQueltUserApp& other) : CQueltObject(other) {
    CQueltAppInstance::instance().setProgramObject(this);
}

CQueltUserApp::~CQueltUserApp() {
    CQueltAppInstance& app = CQueltAppInstance::instance();
    if (app.programObject() == this)
        app.setProgramObject(nullptr);
}

bool CQueltUserApp::preTranslate(void*, std::uint32_t, std::uintptr_t, std::intptr_t, void*) { return true; }

bool CQueltUserApp::onIdle(int) { return false; }

void CQueltUserApp::onExit() {}

namespace rg_quelt_base {

QUELT_DEFINE_CLASS(rg_ChengXuLei, CQueltUserApp, "rg_quelt_base::rg_ChengXuLei")
QUELT_DEFINE_CLASS(rg_ChuangKouChengXuLei, rg_ChengXuLei, "rg_quelt_base::rg_ChuangKouChengXuLei")

} // namespace rg_quelt_base
