#include "runtime/net/TransferHandle.h"

#include "runtime/net/CurlGlobal.h"

namespace rg_quelt_windows_WangLao {

TransferHandle::TransferHandle() {
    if (curlGlobalInitResult() == CURLE_OK)
        easy_ = curl_easy_init();
    attachErrorText();
}

void TransferHandle::attachErrorText() {
    if (easy_)
        curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorText_);
}

TransferHandle::~TransferHandle() {
    if (easy_) {
        curl_easy_pause(easy_, CURLPAUSE_ALL);
        curl_easy_cleanup(easy_);
    }
    for (curl_slist* list : lists_) {
        if (list)
            curl_slist_free_all(list);
    }
}

CURL* TransferHandle::easy() {
    if (!easy_ && curlGlobalInitResult() == CURLE_OK) {
        easy_ = curl_easy_init();
        attachErrorText();
    }
    return easy_;
}

void TransferHandle::replaceHeaderList(curl_slist* list) {
    if (lists_[0])
        curl_slist_free_all(lists_[0]);
    lists_[0] = list;
}

} // namespace rg_quelt_windows_WangLao
