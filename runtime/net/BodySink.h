#pragma once
// Where a response body goes when it is not to be held in memory: the transfer
// hands every chunk to write() as it arrives, on the transferring thread. A false
// answer aborts the transfer (the response then carries CURLE_WRITE_ERROR).
#include <cstddef>

namespace rg_quelt_windows_WangLao {

class IQueltBodySink {
public:
    virtual bool write(const void* data, std::size_t size) = 0;

protected:
    ~IQueltBodySink() = default;
};

} // namespace rg_quelt_windows_WangLao
