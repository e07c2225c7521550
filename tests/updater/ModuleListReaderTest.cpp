#include "updater/ModuleListReader.h"
#include "runtime/core/MemoryStream.h"
#include "updater/FormBody.h"
#include "updater/rg_MoKuaiXinXiLei.h"
#include "updater/rg_XiaZaiShuJu.h"

#include <gtest/gtest.h>

namespace {

using namespace rg_quelt_app;

const rg_MoKuaiXinXiLei& at(const CQueltObjectArray& list, std::size_t i) {
    return *static_cast<const rg_MoKuaiXinXiLei*>(list.at(i));
}

TEST(ModuleListReader, ReadsTheFourKeysInOrder) {
    const auto list = readModuleList(CWString(
        u"{\"code\":200,\"msg\":\"ok\",\"data\":[{\"name\":\"a.ext\",\"path\":\"lib/a.ext\",\"size\":1024,"
        u"\"updateTime\":\"2024-01-31 "
        u"08:05:00\",\"extra\":1},{\"name\":\"界面.ext\",\"path\":\"界面.ext\",\"size\":-1,"
        u"\"updateTime\":\"x\"}]}"));
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(at(list, 0).ordinal, 1);
    EXPECT_EQ(at(list, 0).name, u"a.ext");
    EXPECT_EQ(at(list, 0).path, u"lib/a.ext");
    EXPECT_EQ(at(list, 0).size, 1024);
    EXPECT_EQ(at(list, 0).updateTime, u"2024-01-31 08:05:00");
    EXPECT_EQ(at(list, 1).ordinal, 2);
    EXPECT_EQ(at(list, 1).name, u"界面.ext");
    EXPECT_EQ(at(list, 1).size, -1);
}

TEST(ModuleListReader, CodeIsReadAsAnInteger) {
    EXPECT_EQ(readModuleList(CWString(u"{\"code\":\"200\",\"data\":[{}]}")).count(), 1u);
    EXPECT_EQ(readModuleList(CWString(u"{\"code\":200.7,\"data\":[{}]}")).count(), 1u);
    EXPECT_EQ(readModuleList(CWString(u"{\"code\":true,\"data\":[{}]}")).count(), 0u);
    EXPECT_EQ(readModuleList(CWString(u"{\"code\":401,\"data\":[{}]}")).count(), 0u);
    EXPECT_EQ(readModuleList(CWString(u"{\"data\":[{}]}")).count(), 0u);
}

TEST(ModuleListReader, ElementsThatAreNoObjectsStillTakeTheirOrdinal) {
    const auto list = readModuleList(CWString(u"{\"code\":200,\"data\":[5,\"text\",{\"name\":\"c\"}]}"));
    ASSERT_EQ(list.count(), 3u);
    EXPECT_EQ(at(list, 0).ordinal, 1);
    EXPECT_TRUE(at(list, 0).name.isEmpty());
    EXPECT_EQ(at(list, 0).size, 0);
    EXPECT_EQ(at(list, 1).ordinal, 2);
    EXPECT_EQ(at(list, 2).name, u"c");
    EXPECT_EQ(readModuleList(CWString(u"{\"code\":200,\"data\":[]}")).count(), 0u);
    EXPECT_EQ(readModuleList(CWString(u"{\"code\":200,\"data\":{\"a\":1}}")).count(), 0u);
}

TEST(ModuleListReader, BadAnswersGiveAnEmptyListWithoutThrowing) {
    for (const char16_t* answer :
         {u"", u"<html>not json</html>", u"[1,2]", u"\"text\"", u"42", u"true", u"null",
          u"{\"code\":4294967296,\"data\":[{}]}", u"{\"code\":200,\"data\":[{\"size\":4294967296}]}",
          u"{\"code\":200,\"data\":[{\"size\":1e12}]}"}) {
        CQueltObjectArray list;
        EXPECT_NO_THROW(list = readModuleList(CWString(answer)))
            << std::string(CWString(answer).toUtf8String());
        EXPECT_EQ(list.count(), 0u) << CWString(answer).toUtf8String();
    }
}

TEST(ModuleListReader, ACutOffAnswerKeepsWhatWasRead) {
    const auto list = readModuleList(
        CWString(u"{\"code\":200,\"data\":[{\"name\":\"a\",\"path\":\"a\",\"size\":1},{\"name\":\"b\",\"pa"));
    ASSERT_GE(list.count(), 1u);
    EXPECT_EQ(at(list, 0).name, u"a");
}

TEST(FormBody, StructureCharactersAreEscapedAndLettersGoAsTheyAre) {
    FormBody body;
    body.field("qq", "123").field("pwd", "a&b=c+d%e#f").field("file", "\xE7\x95\x8C x.ext");
    EXPECT_EQ(body.text(), "qq=123&pwd=a%26b%3Dc%2Bd%25e%23f&file=\xE7\x95\x8C x.ext");
    EXPECT_EQ(FormBody().field("qq", "").field("pwd", "").text(), "qq=&pwd=");
    EXPECT_EQ(FormBody::encodeValue(std::string("a\r\nb\0c", 6)), "a%0D%0Ab%00c");
}

rg_LianJieYuSuoYinLei link(const char16_t* remoteFolder, const char16_t* leaf, const char16_t* name) {
    rg_LianJieYuSuoYinLei l;
    l.remoteFolder = remoteFolder;
#if defined(_WIN32)
    l.localFile = CWString(u"C:\\mods\\") + leaf;
#else
    l.localFile = CWString(u"/mods/") + leaf;
#endif
    l.fileName = name;
    return l;
}

TEST(Records, StreamRoundTrip) {
    rg_XiaZaiShuJu job;
    job.qq = u"1";
    job.password = u"密码";
    job.kindLetter = u"w";
    job.appendLink(link(u"lib", u"a.ext", u"a.ext"));
    job.appendLink(link(u"", u"b.ext", u"b.ext"));
    CQueltMemoryStream out;
    ASSERT_TRUE(job.save(out));
    CQueltMemoryStream in(out.buffer());
    rg_XiaZaiShuJu back;
    ASSERT_TRUE(back.load(in));
    EXPECT_TRUE(back.equals(job));
    back.reset();
    EXPECT_EQ(back.linkCount(), 0u);

    rg_MoKuaiXinXiLei record;
    record.ordinal = 3;
    record.name = u"x";
    record.size = -7;
    CQueltMemoryStream recordOut;
    ASSERT_TRUE(record.save(recordOut));
    CQueltMemoryStream recordIn(recordOut.buffer());
    rg_MoKuaiXinXiLei recordBack;
    ASSERT_TRUE(recordBack.load(recordIn));
    EXPECT_TRUE(recordBack.equals(record));
}

} // namespace
