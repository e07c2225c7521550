#include "runtime/platform/SystemProxy.h"

namespace platform {

SystemProxySettings systemProxySettings() { return {}; }

} // namespace platform
