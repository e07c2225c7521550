// The process-wide request state: the default header block and the download
// worker's access object, made in their places of the start-up order.
#include "runtime/core/InitOrder.h"
#include "runtime/net/rg_WangLaoFangWenLei.h"

namespace rg_quelt_windows_WangLao {
namespace {

struct DefaultHeaders {
    DefaultHeaders() { noteStaticInit("request headers"); }
    const CWConstString text{
        u"User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
        u"Chrome/87.0.4280.141 Safari/537.36\r\nAccept: "
        u"text/html,application/xhtml+xml,application/xml;q=0.9,image/avif,image/webp,image/apng,*/*;q=0.8,"
        u"application/signed-exchange;v=b3;q=0.9\r\nAccept-Language: zh-CN,zh;q=0.9"};
};

struct DownloadAccess {
    DownloadAccess() { noteStaticInit("download access"); }
    rg_WangLaoFangWenLei access;
};

QUELT_INIT_PRIORITY(QUELT_INIT_REQUEST_HEADERS) DefaultHeaders theDefaultHeaders;
QUELT_INIT_PRIORITY(QUELT_INIT_DOWNLOAD_ACCESS) DownloadAccess theDownloadAccess;

} // namespace

const CWString& defaultRequestHeaders() { return theDefaultHeaders.text; }

rg_quelt_base::rg_WenBenShuZuLei defaultHeaderList() {
    rg_quelt_base::rg_WenBenShuZuLei list;
    list.Append(defaultRequestHeaders().view());
    return list;
}

rg_WangLaoFangWenLei& downloadNetAccess() { return theDownloadAccess.access; }

} // namespace rg_quelt_windows_WangLao
