#pragma once
// TransferHandle: the libcurl state that copies of a transfer object share: one
// easy handle and eight header-list slots (the first holds the request header
// list). The easy handle is made on first need again if its creation failed. The
// last release pauses, cleans up the handle and frees the lists.
#include "runtime/core/RefObject.h"

#include <curl/curl.h>

namespace rg_quelt_windows_WangLao {

class TransferHandle : public CRefObject {
public:
    static constexpr int kHeaderSlots = 8;

    TransferHandle();

    // The easy handle, created now if it does not exist yet; null if that fails.
    CURL* easy();
    curl_slist*& headerSlot(int index) { return lists_[index]; }
    // Replaces the first slot's list, freeing the old one.
    void replaceHeaderList(curl_slist* list);

    // The transfer object that receives this handle's progress callbacks, so that a
    // copy going away does not leave libcurl pointing at it.
    const void* progressOwner = nullptr;

    // libcurl's words for the last failure (CURLOPT_ERRORBUFFER), empty when none was
    // given. The record holds it so that it lives as long as the handle writes to it.
    const char* errorText() const { return errorText_; }
    void clearErrorText() { errorText_[0] = '\0'; }

protected:
    ~TransferHandle() override;

private:
    void attachErrorText();

    CURL* easy_ = nullptr;
    curl_slist* lists_[kHeaderSlots] = {};
    char errorText_[CURL_ERROR_SIZE] = {};
};

} // namespace rg_quelt_windows_WangLao
