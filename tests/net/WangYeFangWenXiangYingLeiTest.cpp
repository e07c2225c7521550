#include "runtime/core/MemoryStream.h"
#include "runtime/net/rg_WangYeFangWenXiangYingLei.h"

#include <gtest/gtest.h>

namespace {

using rg_quelt_windows_WangLao::rg_WangYeFangWenXiangYingLei;

rg_WangYeFangWenXiangYingLei parsed(std::initializer_list<std::u16string_view> lines) {
    rg_WangYeFangWenXiangYingLei response;
    for (auto line : lines)
        response.headerLines().Append(line);
    response.ParseHeaderLines();
    return response;
}

TEST(ResponseHeaders, CookiesAccumulateAndLaterValuesWin) {
    const auto response =
        parsed({u"HTTP/1.1 302 Found\r\n", u"Set-Cookie: a=1; Path=/\r\n", u"Content-Type: text/html\r\n",
                u"Location: /next\r\n", u"\r\n", u"HTTP/1.1 200 OK\r\n", u"Set-Cookie: b=2\r\n",
                u"Content-Type: application/json\r\n", u"\r\n"});
    ASSERT_EQ(response.cookies().Count(), 2u);
    EXPECT_EQ(response.cookies().At(0), u"a=1; Path=/");
    EXPECT_EQ(response.cookies().At(1), u"b=2");
    EXPECT_EQ(response.contentType(), u"application/json");
    EXPECT_EQ(response.location(), u"/next");
    EXPECT_EQ(response.headerLines().Count(), 9u);
}

TEST(ResponseHeaders, NamesMatchExactlyAndCaseSensitively) {
    const auto response =
        parsed({u"content-type: text/plain\r\n", u"CONTENT-LENGTH: 5\r\n", u"set-cookie: x=1\r\n"});
    EXPECT_TRUE(response.contentType().isEmpty());
    EXPECT_EQ(response.contentLength(), 0);
    EXPECT_EQ(response.cookies().Count(), 0u);
    EXPECT_EQ(response.headerLines().Count(), 3u);
}

TEST(ResponseHeaders, ContentLengthDecimalOrHexadecimal) {
    EXPECT_EQ(parsed({u"Content-Length: 0x1F\r\n"}).contentLength(), 31);
    EXPECT_EQ(parsed({u"Content-Length:   1234  \r\n"}).contentLength(), 1234);
    EXPECT_EQ(parsed({u"Content-Length: 0X10\r\n"}).contentLength(), 16);
    EXPECT_EQ(parsed({u"Content-Length: 7\r\n", u"Content-Length: 8\r\n"}).contentLength(), 8);
}

TEST(ResponseHeaders, TrimmingTakesControlsAndIdeographicSpaces) {
    const auto response = parsed({u"\t Content-MD5 \t:\u3000abc==\u3000\r\n", u"Content-Encoding:gzip\r\n",
                                  u"no colon here\r\n", u"", u":\r\n", u"Location: http://h/a:b\r\n"});
    EXPECT_EQ(response.contentMd5(), u"abc==");
    EXPECT_EQ(response.contentEncoding(), u"gzip");
    // The value runs from the first colon; later colons belong to it.
    EXPECT_EQ(response.location(), u"http://h/a:b");
}

TEST(ResponseBody, DecodedAsUtf8UpToTheFirstZero) {
    rg_WangYeFangWenXiangYingLei response;
    EXPECT_TRUE(response.BodyAsText().isEmpty());
    response.body().append("{\"code\":200,\"msg\":\"\xE6\x88\x90\xE5\x8A\x9F\"}", 28);
    EXPECT_EQ(response.BodyAsText(), u"{\"code\":200,\"msg\":\"成功\"}");
    response.body().append("\0tail", 5);
    EXPECT_EQ(response.BodyAsText(), u"{\"code\":200,\"msg\":\"成功\"}");
    rg_WangYeFangWenXiangYingLei broken;
    broken.body().append("a\xFF"
                         "b",
                         3);
    EXPECT_EQ(broken.BodyAsText(), u"a\uFFFDb");
}

TEST(ResponseValue, CopyStreamAndShortWrite) {
    rg_WangYeFangWenXiangYingLei response =
        parsed({u"Set-Cookie: s=1\r\n", u"Content-Type: text/plain\r\n", u"Content-Length: 3\r\n"});
    response.body().append("abc", 3);
    response.setResponseCode(200);
    response.setRedirectCount(2);
    response.setTotalTime(123456);

    const rg_WangYeFangWenXiangYingLei copy(response);
    EXPECT_TRUE(copy.equals(response));
    EXPECT_NE(copy.body().data(), response.body().data());

    CQueltMemoryStream stream;
    ASSERT_TRUE(response.save(stream));
    CQueltMemoryStream in(stream.buffer());
    rg_WangYeFangWenXiangYingLei back;
    ASSERT_TRUE(back.load(in));
    EXPECT_TRUE(back.equals(response));

    // A stream that fills up inside an integer field ends in error -3.
    for (std::size_t limit = 0; limit < stream.buffer().size(); limit += 7) {
        CQueltMemoryStream full;
        full.setWriteLimit(limit);
        EXPECT_FALSE(response.save(full)) << limit;
        EXPECT_EQ(full.error(), CQueltObjectStream::kShortWrite);
    }
    // A stream already in error is left alone.
    CQueltMemoryStream failed;
    failed.setWriteLimit(0);
    failed.writeInt32(1);
    const std::size_t before = failed.buffer().size();
    EXPECT_FALSE(response.save(failed));
    EXPECT_EQ(failed.buffer().size(), before);

    response.reset();
    EXPECT_TRUE(response.equals(rg_WangYeFangWenXiangYingLei()));
}

} // namespace
