#include "updater/DownloadObserver.h"

namespace rg_quelt_app {

QUELT_DEFINE_CLASS(ObserverRef, CQueltRefObject, "rg_quelt_app::ObserverRef")

} // namespace rg_quelt_app
