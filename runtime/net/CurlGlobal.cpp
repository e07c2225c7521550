#include "runtime/net/CurlGlobal.h"

#include "runtime/core/InitOrder.h"

#include <curl/curl.h>

namespace {

class CurlGlobal {
public:
    CurlGlobal() : result_(curl_global_init(CURL_GLOBAL_ALL)) { noteStaticInit("curl"); }
    ~CurlGlobal() {
        if (result_ == CURLE_OK)
            curl_global_cleanup();
    }
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;

    int result() const { return result_; }

private:
    CURLcode result_;
};

QUELT_INIT_PRIORITY(QUELT_INIT_CURL) CurlGlobal theCurlGlobal;

} // namespace

int curlGlobalInitResult() { return theCurlGlobal.result(); }
