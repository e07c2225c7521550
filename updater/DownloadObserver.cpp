#include "updater/DownloadObserver.h"

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(ObserverRef, CQueltRefObject, "rg_quelt_app::ObserverRef")

ObserverRef::ObserverRef(DownloadObserver* observer) {
    if (observer)
        observer->addRef();
    adopt(observer);
}

} // namespace rg_quelt_app
