#include "runtime/core/AppInstance.h"

#include "runtime/core/InitOrder.h"
#include "runtime/platform/ProcessServices.h"
#include "runtime/platform/SystemInfo.h"

namespace {

QUELT_INIT_PRIORITY(QUELT_INIT_RUNTIME) CQueltAppInstance theInstance;

} // namespace

CQueltAppInstance& CQueltAppInstance::instance() { return theInstance; }

constinit CPoolMem* const CPoolMem::processWide_ = &theInstance.pool();

CQueltAppInstance::CQueltAppInstance() : threadStates_(platform::processorCount()) {
    noteStaticInit("runtime");
}

CQueltAppInstance::~CQueltAppInstance() {
    closeThreadStates();
    releaseExitObjects();
    freeLibraries();
    shutdownGdiplus();
    if (comInitialised_) {
        platform::comUninitialize();
        comInitialised_ = false;
    }
    if (socketsStarted_)
        platform::socketsCleanup();
}

void CQueltAppInstance::addLibrary(void* library) {
    if (library)
        libraries_.append(&library, sizeof library);
}

void CQueltAppInstance::releaseAtExit(CQueltObject* object) {
    if (!object)
        return;
    platform::CriticalSectionLock lock(exitListLock_);
    exitList_.append(object);
}

std::size_t CQueltAppInstance::releaseAtExitCount() {
    platform::CriticalSectionLock lock(exitListLock_);
    return exitList_.count();
}

void CQueltAppInstance::recordStart(void* instanceHandle, int argc, char16_t** argv,
                                    std::uint64_t mainThreadId) {
    instanceHandle_ = instanceHandle;
    argc_ = argc;
    argv_ = argv;
    mainThreadId_ = mainThreadId;
}

void CQueltAppInstance::closeThreadStates() { threadStates_.close(); }

void CQueltAppInstance::releaseExitObjects() {
    // Take the objects out under the lock and destroy them outside it: a destructor
    // may register another object.
    CQueltObjectArray doomed;
    {
        platform::CriticalSectionLock lock(exitListLock_);
        doomed.swap(exitList_);
    }
}

void CQueltAppInstance::freeLibraries() {
    auto** items = reinterpret_cast<void**>(libraries_.data());
    for (std::size_t i = libraries_.size() / sizeof(void*); i-- > 0;)
        platform::freeLibrary(items[i]);
    libraries_.clear();
}

void CQueltAppInstance::shutdownGdiplus() {
    platform::CriticalSectionLock lock(gdiplusLock_);
    // The windows of this system load no images, so GDI+ is never started and the
    // token stays empty; the step is kept for a runtime that does.
    gdiplusToken_ = 0;
}
