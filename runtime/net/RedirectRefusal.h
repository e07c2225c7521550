#pragma once
// Why a redirect was not followed, as a kind: the layers above put it in words,
// so the network layer holds no user text of its own.
#include <cstdint>

namespace rg_quelt_windows_WangLao {

enum class RedirectRefusal : std::uint8_t {
    None,              // followed, or no redirect at all
    NotRedirect,       // the status names no place to go
    NoAddress,         // the Location is no usable address
    UnsupportedScheme, // to a scheme other than http and https
    HttpsToHttp,       // from https down to plain http
    OtherScheme,       // 307/308 with the request's credentials to another scheme,
    OtherHost,         //   another host
    OtherPort,         //   or another port
    TooMany,           // past the redirect cap
    NotRestarted,      // the request could not be sent again at the new place
};

} // namespace rg_quelt_windows_WangLao
