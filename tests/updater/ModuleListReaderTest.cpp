#include "updater/ModuleListReader.h"
#include "runtime/data/rg_JSONDuiXiangLei.h"
#include "updater/FormBody.h"
#include "updater/rg_MoKuaiXinXiLei.h"
#include "updater/rg_XiaZaiShuJu.h"

#include "tests/support/StreamRoundTrip.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

namespace {

using namespace rg_quelt_app;

// The answer as the server would send it: its UTF-8 bytes.
CQueltObjectArray readText(const CWString& answer, ListReading* reading = nullptr) {
    const std::string bytes = answer.toUtf8String();
    return readModuleList(bytes.data(), bytes.size(), reading);
}

const rg_MoKuaiXinXiLei& at(const CQueltObjectArray& list, std::size_t i) {
    return *static_cast<const rg_MoKuaiXinXiLei*>(list.at(i));
}

TEST(ModuleListReader, ReadsTheFourKeysInOrder) {
    const auto list = readText(CWString(
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
    EXPECT_EQ(readText(CWString(u"{\"code\":\"200\",\"data\":[{}]}")).count(), 1u);
    EXPECT_EQ(readText(CWString(u"{\"code\":200.7,\"data\":[{}]}")).count(), 1u);
    EXPECT_EQ(readText(CWString(u"{\"code\":true,\"data\":[{}]}")).count(), 0u);
    EXPECT_EQ(readText(CWString(u"{\"code\":401,\"data\":[{}]}")).count(), 0u);
    EXPECT_EQ(readText(CWString(u"{\"data\":[{}]}")).count(), 0u);
}

TEST(ModuleListReader, ElementsThatAreNoObjectsStillTakeTheirOrdinal) {
    const auto list = readText(CWString(u"{\"code\":200,\"data\":[5,\"text\",{\"name\":\"c\"}]}"));
    ASSERT_EQ(list.count(), 3u);
    EXPECT_EQ(at(list, 0).ordinal, 1);
    EXPECT_TRUE(at(list, 0).name.isEmpty());
    EXPECT_EQ(at(list, 0).size, 0);
    EXPECT_EQ(at(list, 1).ordinal, 2);
    EXPECT_EQ(at(list, 2).name, u"c");
    EXPECT_EQ(readText(CWString(u"{\"code\":200,\"data\":[]}")).count(), 0u);
    EXPECT_EQ(readText(CWString(u"{\"code\":200,\"data\":{\"a\":1}}")).count(), 0u);
}

TEST(ModuleListReader, BadAnswersGiveAnEmptyListWithoutThrowing) {
    for (const char16_t* answer :
         {u"", u"<html>not json</html>", u"[1,2]", u"\"text\"", u"42", u"true", u"null",
          u"{\"code\":4294967296,\"data\":[{}]}", u"{\"code\":200,\"data\":[{\"size\":4294967296}]}",
          u"{\"code\":200,\"data\":[{\"size\":1e12}]}"}) {
        CQueltObjectArray list;
        EXPECT_NO_THROW(list = readText(CWString(answer))) << std::string(CWString(answer).toUtf8String());
        EXPECT_EQ(list.count(), 0u) << CWString(answer).toUtf8String();
    }
}

TEST(ModuleListReader, ACutOffAnswerKeepsWhatWasRead) {
    const auto list = readText(
        CWString(u"{\"code\":200,\"data\":[{\"name\":\"a\",\"path\":\"a\",\"size\":1},{\"name\":\"b\",\"pa"));
    ASSERT_GE(list.count(), 1u);
    EXPECT_EQ(at(list, 0).name, u"a");
}

// The bytes of a list with one element whose "name" is `name` (raw bytes).
std::string listNamed(const std::string& name) {
    return "{\"code\":200,\"data\":[{\"name\":\"" + name + "\",\"size\":1}]}";
}

TEST(ModuleListReader, InvalidUtf8ReadsAsReplacementCharactersAsThroughText) {
    const std::string cases[] = {
        "\xFF",                             // never a UTF-8 byte
        "a\xC3",                            // a sequence cut by the closing quote
        "\xE2\x82",                         // two of three bytes
        "\xED\xA0\x80",                     // an encoded surrogate
        "\xC0\xAF",                         // an overlong form
        "\xC3\\u00A9",                      // a lead byte before an escape
        "\xE2\x82\\n",                      // a cut sequence before an escape
        "\xF0\x9F\x98\x80 ok \xE7\x95\x8C", // valid four- and three-byte forms
    };
    for (const std::string& name : cases) {
        const std::string bytes = listNamed(name);
        const auto list = readModuleList(bytes.data(), bytes.size());
        ASSERT_EQ(list.count(), 1u) << name;
        // What the text took before: the answer decoded to text, then parsed from
        // that text made UTF-8 again.
        rg_QueltShiChuang_JSONCaoZuo::rg_JSONDuiXiangLei throughText;
        ASSERT_TRUE(throughText.ParseText(CWString::fromUtf8(bytes))) << name;
        EXPECT_EQ(at(list, 0).name, throughText.GetText(CWString(u"//data.[0].name")).view()) << name;
    }
    const std::string bad = listNamed("a\xFF\xFE"
                                      "b");
    EXPECT_EQ(at(readModuleList(bad.data(), bad.size()), 0).name, u"a\uFFFD\uFFFDb");
}

TEST(ModuleListReader, TheAnswerEndsAtItsFirstZeroByte) {
    const char wholeBytes[] = "{\"code\":200,\"data\":[{\"name\":\"a\"}]}\0garbage";
    const std::string whole(wholeBytes, sizeof wholeBytes - 1);
    ListReading reading;
    EXPECT_EQ(readModuleList(whole.data(), whole.size(), &reading).count(), 1u);
    EXPECT_EQ(reading.status, ListStatus::Ok);
    const char cutBytes[] = "{\"code\":200,\0\"data\":[{\"name\":\"a\"}]}";
    const std::string cut(cutBytes, sizeof cutBytes - 1);
    EXPECT_EQ(readModuleList(cut.data(), cut.size(), &reading).count(), 0u);
    EXPECT_EQ(reading.status, ListStatus::Incomplete);
}

TEST(ModuleListReader, MembersOfOtherTypesReadAsGetTextAndGetIntegerReadThem) {
    struct Case {
        const char16_t* element;
        const char16_t* name;
        const char16_t* path;
        std::int64_t size;
    };
    const Case cases[] = {
        {u"{\"name\":12,\"path\":true,\"size\":\"12abc\"}", u"12", u"true", 12},
        {u"{\"name\":{\"a\":[1,2]},\"path\":[1,\"x\"],\"size\":1e3}", u"{\"a\":[1,2]}", u"[1,\"x\"]", 1000},
        {u"{\"name\":null,\"path\":\"\",\"size\":true}", u"", u"", 1},
        {u"{\"name\":\"first\",\"name\":\"last\",\"size\":-7.9}", u"last", u"", -7},
        {u"{\"Name\":\"case counts\",\"size \":5}", u"", u"", 0},
    };
    for (const Case& c : cases) {
        const auto list = readText(CWString(u"{\"code\":200,\"data\":[") + c.element + u"]}");
        ASSERT_EQ(list.count(), 1u) << CWString(c.element).toUtf8String();
        EXPECT_EQ(at(list, 0).name, c.name) << CWString(c.element).toUtf8String();
        EXPECT_EQ(at(list, 0).path, c.path) << CWString(c.element).toUtf8String();
        EXPECT_EQ(at(list, 0).size, c.size) << CWString(c.element).toUtf8String();
    }
}

// Counts what reaches the sink and how often it is told to drop it.
class CountingSink final : public ModuleListSink {
public:
    void restart() override {
        ++restarts;
        entries = 0;
    }
    void entry(const ModuleEntry&) override { ++entries; }
    int restarts = 0;
    std::size_t entries = 0;
};

TEST(ModuleListReader, ANumberBeyond32BitsLateInTheListDropsTheEntriesBeforeIt) {
    const std::string bytes = "{\"code\":200,\"data\":[{\"size\":1},{\"size\":2},{\"size\":4294967296}]}";
    ModuleListReader reader(bytes.data(), bytes.size());
    CountingSink sink;
    EXPECT_EQ(reader.read(sink).status, ListStatus::NotUnderstood);
    EXPECT_EQ(sink.restarts, 2);
    EXPECT_EQ(sink.entries, 0u);
}

TEST(ModuleListReader, TheRootAndEachElementAreDelimitedAsTheParserWouldReadThem) {
    const struct {
        const char* answer;
        std::size_t entries;
        ListStatus status;
    } cases[] = {
        {"  /* lead */ {\"data\" : [ {} , // one\n {\"name\":\"]}\\\"[{\"} ] ,\"code\":200 } ", 2,
         ListStatus::Ok},
        {"{\"code\":200,\"d\\u0061ta\":[{},{},{}]}", 3, ListStatus::Ok},
        {"{\"code\":200,\"data\":[[1,{\"a\":[]}],\"x\",null,],\"msg\":{\"k\":[1]}}", 3, ListStatus::Ok},
        {"{\"code\":200,\"data\":[{},{}],\"data\":[{}]}", 1, ListStatus::Ok},
        {"{\"code\":200,\"data\":[{},{\"name\":}]}", 1, ListStatus::Incomplete},
        {"{\"code\":200,\"data\":[{},{\"name\":\"b", 1, ListStatus::Incomplete},
        {"{\"code\":200,\"data\":[{},{} {}]}", 2, ListStatus::Incomplete},
        {"{\"code\":200,\"data\":[{}]", 1, ListStatus::Incomplete},
        {"{\"data\":[{}],\"code\":20", 0, ListStatus::NotUnderstood},
        {"{\"code\":200 \"data\":[{}]}", 0, ListStatus::Incomplete},
        {"[{\"code\":200}]", 0, ListStatus::NotUnderstood},
    };
    for (const auto& c : cases) {
        ModuleListReader reader(c.answer, std::strlen(c.answer));
        CountingSink sink;
        EXPECT_EQ(reader.read(sink).status, c.status) << c.answer;
        EXPECT_EQ(sink.entries, c.entries) << c.answer;
    }
}

TEST(ModuleListReader, AListPastItsBoundsIsRefusedAndItsRowsDropped) {
    // Three entries of 4 units of text each: 48 + 2 * (4 + 22) = 100 bytes a row.
    const std::string three = "{\"code\":200,\"data\":[{\"name\":\"abcd\"},{\"path\":\"abcd\"},"
                              "{\"updateTime\":\"abcd\"}]}";
    const struct {
        std::size_t entries;
        std::size_t rowBytes;
        ListStatus status;
        std::size_t kept;
    } cases[] = {
        {3, 300, ListStatus::Ok, 3},
        {2, 300, ListStatus::TooManyEntries, 0},
        {3, 299, ListStatus::RowsTooLarge, 0},
        {0, 300, ListStatus::TooManyEntries, 0},
    };
    for (const auto& c : cases) {
        ModuleListReader reader(three.data(), three.size());
        CountingSink sink;
        const ListReading reading = reader.read(sink, {c.entries, c.rowBytes});
        EXPECT_EQ(reading.status, c.status) << c.entries << " " << c.rowBytes;
        EXPECT_EQ(sink.entries, c.kept) << c.entries << " " << c.rowBytes;
        EXPECT_EQ(reading.reason.failed(), c.status != ListStatus::Ok);
    }
}

TEST(ModuleListReader, FiveMillionEmptyElementsAreRefusedBeforeAnyRow) {
    std::string answer = "{\"code\":200,\"data\":[";
    constexpr std::size_t kElements = 5000000;
    answer.reserve(answer.size() + 3 * kElements + 2);
    for (std::size_t i = 0; i < kElements; ++i)
        answer += i ? ",{}" : "{}";
    answer += "]}";
    ModuleListReader reader(answer.data(), answer.size());
    answer = std::string();
    CountingSink sink;
    const ListReading reading = reader.read(sink);
    EXPECT_EQ(reading.status, ListStatus::TooManyEntries);
    EXPECT_EQ(reasonText(reading.reason).view(), u"列表的条目超过 1000000 项，不予接受");
    EXPECT_EQ(sink.entries, 0u);
}

TEST(ModuleListReader, AnAbandonedReadingEndsWithoutItsEntries) {
    class Abandoning final : public ModuleListSink {
    public:
        explicit Abandoning(std::atomic<bool>& flag) : flag_(flag) {}
        void restart() override { entries = 0; }
        void entry(const ModuleEntry&) override {
            if (++entries == 2)
                flag_.store(true);
        }
        std::size_t entries = 0;

    private:
        std::atomic<bool>& flag_;
    };
    const std::string answer = "{\"code\":200,\"data\":[{},{},{},{}]}";
    ModuleListReader reader(answer.data(), answer.size());
    std::atomic<bool> abandon{false};
    Abandoning sink(abandon);
    EXPECT_EQ(reader.read(sink, ListBounds(), &abandon).status, ListStatus::Incomplete);
    EXPECT_EQ(sink.entries, 0u);
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
    rg_XiaZaiShuJu back;
    EXPECT_TRUE(mireth_test::roundTrips(job, back));
    back.reset();
    EXPECT_EQ(back.linkCount(), 0u);

    rg_MoKuaiXinXiLei record;
    record.ordinal = 3;
    record.name = u"x";
    record.size = -7;
    rg_MoKuaiXinXiLei recordBack;
    EXPECT_TRUE(mireth_test::roundTrips(record, recordBack));
}

} // namespace
