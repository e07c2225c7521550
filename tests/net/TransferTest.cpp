// The transfer classes without a server: local file:// transfers exercise the
// sinks, the progress path and handle sharing.
#include "runtime/core/InitOrder.h"
#include "runtime/core/RefPtr.h"
#include "runtime/net/rg_DuoYongTuKuoZhanGeShiLei.h"
#include "runtime/net/rg_WangLaoFangWenLei.h"
#include "runtime/platform/NoticeReceiver.h"
#include "runtime/platform/SystemInfo.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace rg_quelt_windows_WangLao;
namespace fs = std::filesystem;

// A local file with deterministic contents, removed with the fixture.
class LocalFile {
public:
    explicit LocalFile(std::size_t size) {
        path_ =
            fs::temp_directory_path() /
            ("mireth-transfer-" + std::to_string(platform::currentThreadId()) + "-" + std::to_string(size));
        std::ofstream out(path_, std::ios::binary);
        for (std::size_t i = 0; i < size; ++i)
            out.put(static_cast<char>(i * 31 + 7));
    }
    ~LocalFile() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    CWString url() const {
        std::string text = path_.generic_string();
        if (!text.empty() && text[0] != '/')
            text = "/" + text; // file:///C:/...
        return CWString::fromUtf8("file://" + text);
    }

private:
    fs::path path_;
};

bool bodyMatches(const CQueltMem& body, std::size_t size) {
    if (body.size() != size)
        return false;
    for (std::size_t i = 0; i < size; ++i) {
        if (body.bytes()[i] != static_cast<unsigned char>(i * 31 + 7))
            return false;
    }
    return true;
}

TEST(DefaultRequestHeaders, OneEntryOfThreeLines) {
    const CWString& block = defaultRequestHeaders();
    EXPECT_EQ(block.length(), 305u);
    EXPECT_EQ(block.view().substr(0, 12), u"User-Agent: ");
    EXPECT_NE(block.view().find(u"\r\nAccept: text/html,"), std::u16string_view::npos);
    EXPECT_EQ(block.view().substr(block.length() - 33), u"\r\nAccept-Language: zh-CN,zh;q=0.9");
    const auto list = defaultHeaderList();
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.At(0), block);
}

TEST(DefaultRequestHeaders, MadeAfterLibcurlAndBeforeTheDownloadObject) {
    int curl = -1, headers = -1, download = -1;
    for (int i = 0; i < staticInitCount(); ++i) {
        const std::string name = staticInitName(i);
        if (name == "curl")
            curl = i;
        else if (name == "request headers")
            headers = i;
        else if (name == "download access")
            download = i;
    }
    (void)downloadNetAccess();
    ASSERT_GE(curl, 0);
    EXPECT_LT(curl, headers);
    EXPECT_LT(headers, download);
}

TEST(EscapeUrl, EscapesUtf8Bytes) {
    rg_WangLaoChuanShuLei transfer;
    EXPECT_TRUE(transfer.EscapeUrl(CQueltMem()).isEmpty());
    EXPECT_EQ(transfer.EscapeUrl(CQueltMem(CWString(u"模块 a.ec"))), u"%E6%A8%A1%E5%9D%97%20a.ec");
    EXPECT_EQ(transfer.EscapeUrl(CQueltMem(CWString(u"a&b=c+d%"))), u"a%26b%3Dc%2Bd%25");
    EXPECT_EQ(transfer.EscapeUrl(CQueltMem(CWString(u"Plain-Name_1.txt~"))), u"Plain-Name_1.txt~");
}

TEST(MultipartForm, FileNameIsTheTextAfterTheLastSeparator) {
#if defined(_WIN32)
    EXPECT_EQ(rg_DuoYongTuKuoZhanGeShiLei::fileNameOf(u"C:\\mods\\lib\\a.ec"), u"a.ec");
#else
    EXPECT_EQ(rg_DuoYongTuKuoZhanGeShiLei::fileNameOf(u"/mods/lib/a.ec"), u"a.ec");
#endif
    EXPECT_EQ(rg_DuoYongTuKuoZhanGeShiLei::fileNameOf(u"plain.ec"), u"plain.ec");
}

TEST(MultipartForm, PartsKeepTheFormAlive) {
    rg_WangLaoChuanShuLei transfer;
    rg_quelt_base::rg_WenBenShuZuLei files{u"a.txt", u"b.txt"};
    RefPtr<MimeHandle> handle;
    {
        rg_DuoYongTuKuoZhanGeShiLei form;
        form.Build(transfer, files, nullptr, nullptr);
        ASSERT_NE(form.mime(), nullptr);
        handle = RefPtr<MimeHandle>(&form.handle());
        // The parts were released after building; only the form and we hold it.
        EXPECT_EQ(handle->refCount(), 2);
        rg_DuoYongTuKuoZhanGeShiPianDuanLei part(form.handle());
        EXPECT_EQ(handle->refCount(), 3);
    }
    EXPECT_EQ(handle->refCount(), 1);
}

TEST(Transfer, BodyArrivesWholeThroughTheWriteCallback) {
    for (std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(70000), std::size_t(3) << 20}) {
        LocalFile file(size);
        rg_WangLaoFangWenLei access;
        const auto response = access.Post(file.url(), nullptr, defaultHeaderList());
        EXPECT_EQ(response.curlResult(), 0) << size;
        EXPECT_TRUE(bodyMatches(response.body(), size)) << size;
        // The large growth steps of the transfer leave no large slack behind.
        EXPECT_LE(response.body().capacity() - response.body().size(), CQueltMem::kDefaultGrowthUnit);
    }
}

TEST(Transfer, AFailedTransferShowsAsCodeZeroWithTheCurlResult) {
    rg_WangLaoFangWenLei access;
    const auto response = access.Post(CWString(u"file:///no/such/mireth/file"), nullptr, defaultHeaderList());
    EXPECT_EQ(response.responseCode(), 0);
    EXPECT_NE(response.curlResult(), 0);
    EXPECT_TRUE(response.body().empty());
    const auto empty = access.Post(CWString(), nullptr, defaultHeaderList());
    EXPECT_NE(empty.curlResult(), 0);
}

// Answers are unpacked by libcurl alone: built without zlib it would hand a
// server's gzip or deflate answer on still packed.
TEST(Transfer, LibcurlDecodesGzip) {
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    ASSERT_NE(info, nullptr);
    EXPECT_NE(info->features & CURL_VERSION_LIBZ, 0)
        << "libcurl " << info->version << " is built without zlib";
    EXPECT_NE(info->libz_version, nullptr);
}

class ProgressTarget : public CQueltObject {
public:
    ProgressTarget() : receiver_(this) {}
    ~ProgressTarget() override { receiver_.teardown(); }
    CQueltEventObjectPointer* target() const { return receiver_.pointer(); }

    static std::int32_t onProgress(CQueltObject* target, CQueltObject*, std::int32_t, std::int64_t total,
                                   std::int64_t now, std::int64_t, std::int64_t) {
        auto* self = static_cast<ProgressTarget*>(target);
        if (platform::currentThreadId() != self->owner)
            self->wrongThread.fetch_add(1);
        self->calls.fetch_add(1);
        self->lastNow = now;
        self->lastTotal = total;
        return self->abortAt >= 0 && now >= self->abortAt ? 1 : 0;
    }

    std::uint64_t owner = platform::currentThreadId();
    std::atomic<int> calls{0};
    std::atomic<int> wrongThread{0};
    std::int64_t lastNow = 0;
    std::int64_t lastTotal = 0;
    std::int64_t abortAt = -1;

private:
    CQueltEventReceiver receiver_;
};

TEST(Progress, NoticesFromAWorkerArriveOnTheCreatingThread) {
    LocalFile file(8u << 20);
    rg_WangLaoFangWenLei access; // belongs to this thread
    ProgressTarget target;
    access.progressEvent.bind(&ProgressTarget::onProgress, target.target());
    std::atomic<bool> done{false};
    rg_WangYeFangWenXiangYingLei response;
    const std::uint64_t start = platform::tickCount();
    std::thread worker([&] {
        response = access.Post(file.url(), nullptr, defaultHeaderList());
        done = true;
    });
    while (!done.load())
        platform::serviceNotices(10);
    worker.join();
    const std::uint64_t elapsed = platform::tickCount() - start;
    EXPECT_TRUE(bodyMatches(response.body(), 8u << 20));
    EXPECT_GT(target.calls.load(), 0);
    EXPECT_EQ(target.wrongThread.load(), 0);
    EXPECT_EQ(target.lastNow, 8 << 20);
    // Each notice makes the worker wait for this thread: not one per piece of
    // data, only the first, the first bytes, the end and one per interval.
    EXPECT_LE(target.calls.load(), static_cast<int>(4 + elapsed / ProgressThrottle::kIntervalMs));
}

TEST(Progress, ANonZeroAnswerAbortsTheTransfer) {
    LocalFile file(4u << 20);
    rg_WangLaoFangWenLei access;
    ProgressTarget target;
    target.abortAt = 1;
    access.progressEvent.bind(&ProgressTarget::onProgress, target.target());
    const auto response = access.Post(file.url(), nullptr, defaultHeaderList());
    EXPECT_EQ(response.curlResult(), CURLE_ABORTED_BY_CALLBACK);
    EXPECT_LT(response.body().size(), 4u << 20);
}

TEST(Progress, WithoutAHandlerTheTransferRunsOn) {
    LocalFile file(1u << 20);
    rg_WangLaoFangWenLei access;
    const auto response = access.Post(file.url(), nullptr, defaultHeaderList());
    EXPECT_TRUE(bodyMatches(response.body(), 1u << 20));
}

TEST(SharedHandle, ACopyOutlivesItsOriginal) {
    LocalFile file(300000);
    auto* original = new rg_WangLaoFangWenLei();
    rg_WangLaoFangWenLei copy(*original);
    EXPECT_EQ(&copy.transfer().handle(), &original->transfer().handle());
    EXPECT_EQ(copy.transfer().handle().refCount(), 2);
    delete original;
    EXPECT_EQ(copy.transfer().handle().refCount(), 1);
    // The progress callback must reach the copy, not the freed original.
    ProgressTarget target;
    copy.progressEvent.bind(&ProgressTarget::onProgress, target.target());
    const auto response = copy.Post(file.url(), nullptr, defaultHeaderList());
    EXPECT_TRUE(bodyMatches(response.body(), 300000));
    EXPECT_GT(target.calls.load(), 0);
}

TEST(SharedHandle, TheOriginalGetsItsProgressBackWhenACopyGoes) {
    LocalFile file(300000);
    rg_WangLaoFangWenLei original;
    ProgressTarget target;
    original.progressEvent.bind(&ProgressTarget::onProgress, target.target());
    { rg_WangLaoFangWenLei copy(original); }
    // The copy took the callback over and gave it up; the original takes it back
    // for its next transfer.
    const auto response = original.Post(file.url(), nullptr, defaultHeaderList());
    EXPECT_TRUE(bodyMatches(response.body(), 300000));
    EXPECT_GT(target.calls.load(), 0);
}

} // namespace
