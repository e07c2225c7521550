#pragma once
// The user's own proxy settings of the system, as the system's dialog keeps them:
// the static proxy (one "host:port" for every scheme, or per scheme
// "http=host:port;https=host:port;socks=host:port") and the hosts that bypass it
// ("<local>", names with "*" wildcards, separated by ";" or blanks). Where the
// system keeps no such settings (on POSIX: the environment variables are the
// convention there, and libcurl reads those itself) every field is empty.
//
// An automatic-configuration script or automatic detection is only reported: the
// script is never fetched or evaluated.
#include <string>

namespace platform {

struct SystemProxySettings {
    std::u16string proxy;
    std::u16string bypass;
    std::u16string autoConfigUrl; // the script's address, when one is configured
    bool autoDetect = false;      // the system looks for a script by itself
};

// Read anew on each call; empty when nothing is set or the settings cannot be read.
SystemProxySettings systemProxySettings();

} // namespace platform
