#include "runtime/data/rg_JSONJiChuLei.h"

#include "runtime/data/rg_JSONDuiXiangLei.h"
#include "runtime/data/rg_JSONShuZuLei.h"
#include "runtime/platform/Event.h"
#include "runtime/platform/Thread.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

using namespace rg_QueltShiChuang_JSONCaoZuo;

namespace {

rg_JSONJiChuLei parsed(const char16_t* text) {
    rg_JSONJiChuLei json;
    EXPECT_TRUE(json.ParseText(CWString(text))) << CWString(text).toUtf8String();
    return json;
}

// The whole document as compact text: "//" with an empty path is the root.
std::u16string documentText(rg_JSONJiChuLei& json) { return std::u16string(json.GetText(CWString(u"//")).view()); }

// The message of the library error that reading `key` raises, or "" when none.
std::string integerError(rg_JSONJiChuLei& json, const char16_t* key) {
    try {
        json.GetInteger(CWString(key));
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

std::string nested(int depth, bool objects) {
    std::string text;
    text.reserve(static_cast<std::size_t>(depth) * 6 + 8);
    for (int i = 0; i < depth; ++i)
        text += objects ? "{\"a\":" : "[";
    text += "1";
    for (int i = 0; i < depth; ++i)
        text += objects ? '}' : ']';
    return text;
}

bool parses(const std::string& bytes) {
    rg_JSONJiChuLei json;
    return json.ParseBytes(bytes.data(), bytes.size());
}

TEST(JsonParse, AcceptsTheReadersDefaultLeniencyAndRejectsBrokenText) {
    EXPECT_TRUE(parses(R"({"a":[1,2,],})"));
    EXPECT_TRUE(parses("// list\n{\"code\": /* ok */ 200}"));
    EXPECT_TRUE(parses("\xEF\xBB\xBF{\"a\":1}"));
    EXPECT_TRUE(parses("{\"a\":1} trailing"));
    EXPECT_TRUE(parses("5"));
    EXPECT_FALSE(parses(""));
    EXPECT_FALSE(parses("{\"a\":"));
    EXPECT_FALSE(parses("{a:1}"));
    EXPECT_FALSE(parses("[NaN]"));

    rg_JSONJiChuLei json;
    EXPECT_FALSE(json.ParseBytes(nullptr, 4));
    EXPECT_FALSE(json.ParseBytes(nullptr, 0));
    const char bytes[] = "{\"k\":7}xx";
    EXPECT_TRUE(json.ParseBytes(bytes, 7));
    EXPECT_EQ(json.GetInteger(CWString(u"k")), 7);

    rg_JSONJiChuLei duplicate = parsed(u"{\"a\":1,\"a\":2}");
    EXPECT_EQ(duplicate.GetInteger(CWString(u"a")), 2);
}

TEST(JsonParse, ParseTextTakesUtf16AndRoundTripsNonAsciiKeysAndValues) {
    rg_JSONJiChuLei json = parsed(u"\uFEFF{\"名称\":\"模块\U0001F600\",\"大小\":\"12字节\",\"e\":\"\\u4e2d\"}");
    EXPECT_EQ(json.GetText(CWString(u"名称")), u"模块\U0001F600");
    EXPECT_EQ(json.GetText(CWString(u"//名称")), u"模块\U0001F600");
    EXPECT_EQ(json.GetInteger(CWString(u"大小")), 12);
    EXPECT_EQ(json.GetIntegerUtf8("\xE5\xA4\xA7\xE5\xB0\x8F"), 12);
    EXPECT_EQ(json.GetText(CWString(u"e")), u"中");
    // The writer keeps non-ASCII text as it is instead of escaping it.
    EXPECT_EQ(documentText(json), u"{\"e\":\"中\",\"名称\":\"模块\U0001F600\",\"大小\":\"12字节\"}");
}

TEST(JsonParse, NestingPastTheStackLimitFailsWithoutCrashing) {
    EXPECT_TRUE(parses(nested(999, false)));
    EXPECT_TRUE(parses(nested(999, true)));
    EXPECT_FALSE(parses(nested(1000, false)));
    EXPECT_FALSE(parses(nested(1000, true)));
    EXPECT_FALSE(parses(nested(100000, false)));
    EXPECT_FALSE(parses(nested(100000, true)));
    EXPECT_FALSE(parses(std::string(100000, '[')));

    // The deepest accepted document can be written and freed too.
    rg_JSONJiChuLei deep;
    const std::string text = nested(999, false);
    ASSERT_TRUE(deep.ParseBytes(text.data(), text.size()));
    EXPECT_EQ(deep.GetText(CWString(u"//")).toUtf8String(), text);
}

// The same on a thread with a 1 MiB stack, the smallest default among the
// platforms the program runs on. ThreadSanitizer keeps its per-thread state in
// static TLS, which glibc carves out of the thread's stack: that share is added.
#if defined(__SANITIZE_THREAD__)
constexpr std::size_t kSanitizerStackShare = std::size_t(1) << 20;
#else
constexpr std::size_t kSanitizerStackShare = 0;
#endif

struct DeepParseRun {
    platform::Event done{true, false};
    bool deepRejected = false;
    bool limitAccepted = false;
    bool limitWritten = false;
};

unsigned deepParseOnThread(void* parameter) {
    auto* run = static_cast<DeepParseRun*>(parameter);
    run->deepRejected = !parses(nested(100000, false)) && !parses(nested(100000, true));
    rg_JSONJiChuLei json;
    const std::string text = nested(999, true);
    run->limitAccepted = json.ParseBytes(text.data(), text.size());
    run->limitWritten = json.GetText(CWString(u"//")).toUtf8String() == text;
    run->done.set();
    return 0;
}

TEST(JsonParse, NestingLimitHoldsOnASmallThreadStack) {
    DeepParseRun run;
    ASSERT_TRUE(platform::startDetachedThread(&deepParseOnThread, &run, (std::size_t(1) << 20) + kSanitizerStackShare));
    ASSERT_EQ(run.done.wait(60000), platform::WaitResult::signalled);
    EXPECT_TRUE(run.deepRejected);
    EXPECT_TRUE(run.limitAccepted);
    EXPECT_TRUE(run.limitWritten);
}

TEST(JsonInteger, ConvertsEveryKindAsTabled) {
    rg_JSONJiChuLei json = parsed(uR"({
        "text": "200", "real": 200.7, "negReal": -200.7, "yes": true, "no": false,
        "nothing": null, "list": [1], "object": {"a": 1}, "prefix": "12abc", "letters": "abc",
        "signed": " -7", "max": 2147483647, "min": -2147483648, "minReal": -2147483648.0,
        "hugeText": "99999999999", "hugeNegText": "-99999999999"})");
    EXPECT_EQ(json.GetInteger(CWString(u"text")), 200);
    EXPECT_EQ(json.GetInteger(CWString(u"real")), 200);
    EXPECT_EQ(json.GetInteger(CWString(u"negReal")), -200);
    EXPECT_EQ(json.GetInteger(CWString(u"yes")), 1);
    EXPECT_EQ(json.GetInteger(CWString(u"no")), 0);
    EXPECT_EQ(json.GetInteger(CWString(u"nothing")), 0);
    EXPECT_EQ(json.GetInteger(CWString(u"list")), 0);
    EXPECT_EQ(json.GetInteger(CWString(u"object")), 0);
    EXPECT_EQ(json.GetInteger(CWString(u"prefix")), 12);
    EXPECT_EQ(json.GetInteger(CWString(u"letters")), 0);
    EXPECT_EQ(json.GetInteger(CWString(u"signed")), -7);
    EXPECT_EQ(json.GetInteger(CWString(u"max")), 2147483647);
    EXPECT_EQ(json.GetInteger(CWString(u"min")), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(json.GetInteger(CWString(u"minReal")), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(json.GetInteger(CWString(u"hugeText")), 2147483647);
    EXPECT_EQ(json.GetInteger(CWString(u"hugeNegText")), std::numeric_limits<std::int32_t>::min());
}

TEST(JsonInteger, CodeAsStringRealOrBooleanReadsAsTheReaderExpects) {
    EXPECT_EQ(parsed(u"{\"code\":\"200\"}").GetInteger(CWString(u"code")), 200);
    EXPECT_EQ(parsed(u"{\"code\":200.7}").GetInteger(CWString(u"code")), 200);
    EXPECT_EQ(parsed(u"{\"code\":true}").GetInteger(CWString(u"code")), 1);
}

TEST(JsonInteger, OutOfRangeNumbersRaiseTheLibrarysErrors) {
    rg_JSONJiChuLei json = parsed(uR"({"size": 4294967296, "big": 2147483648, "unsigned": 18446744073709551615,
        "real": 3e9, "lowReal": -2147483649.0, "neg": -4294967296})");
    EXPECT_EQ(integerError(json, u"size"), "LargestInt out of Int range");
    EXPECT_EQ(integerError(json, u"big"), "LargestInt out of Int range");
    EXPECT_EQ(integerError(json, u"neg"), "LargestInt out of Int range");
    EXPECT_EQ(integerError(json, u"unsigned"), "LargestUInt out of Int range");
    EXPECT_EQ(integerError(json, u"real"), "double out of Int range");
    EXPECT_EQ(integerError(json, u"lowReal"), "double out of Int range");
    // The same through a path and through the UTF-8 form, and as the library's type.
    EXPECT_EQ(integerError(json, u"//size"), "LargestInt out of Int range");
    EXPECT_THROW(json.GetIntegerUtf8("size"), Json::LogicError);
}

TEST(JsonInteger, MemberReadsInsertNullAndNonObjectsRaise) {
    rg_JSONJiChuLei json = parsed(u"{\"a\":1}");
    EXPECT_EQ(json.GetInteger(CWString(u"missing")), 0);
    EXPECT_EQ(documentText(json), u"{\"a\":1,\"missing\":null}");

    rg_JSONJiChuLei fresh;
    EXPECT_EQ(fresh.GetIntegerUtf8("k"), 0);
    EXPECT_EQ(documentText(fresh), u"{\"k\":null}");

    // A non-object root: the reader of the list has to catch this.
    rg_JSONJiChuLei text = parsed(u"\"just text\"");
    EXPECT_THROW(text.GetInteger(CWString(u"code")), Json::LogicError);
    EXPECT_THROW(text.GetText(CWString(u"code")), std::exception);
    rg_JSONJiChuLei number = parsed(u"200");
    EXPECT_THROW(number.GetInteger(CWString(u"code")), std::exception);
}

TEST(JsonInteger, IndexKeysOnAnArray) {
    rg_JSONJiChuLei json = parsed(u"[5, \"7\", true, {\"a\":1}]");
    EXPECT_EQ(json.GetInteger(CWString(u"0")), 5);
    EXPECT_EQ(json.GetInteger(CWString(u"1")), 7);
    EXPECT_EQ(json.GetInteger(CWString(u"2")), 1);
    EXPECT_EQ(json.GetInteger(CWString(u"3")), 0);
    EXPECT_EQ(json.GetInteger(CWString(u"x")), 5); // no digits: index 0
    EXPECT_EQ(json.GetInteger(CWString(u"-1")), 0);
    EXPECT_EQ(json.ElementCount(), 4u);
    // Reading past the end grows the array with nulls.
    EXPECT_EQ(json.GetInteger(CWString(u"6")), 0);
    EXPECT_EQ(json.ElementCount(), 7u);
    EXPECT_EQ(documentText(json), u"[5,\"7\",true,{\"a\":1},null,null,null]");
}

TEST(JsonText, GivesCompactJsonForContainersAndPlainTextOtherwise) {
    rg_JSONJiChuLei json = parsed(uR"({"obj": {"a" : 1}, "list": [ 1, "x", null ], "int": 200, "real": 2.5,
        "yes": true, "no": false, "nothing": null, "s": "plain", "empty": {}})");
    EXPECT_EQ(json.GetText(CWString(u"obj")), u"{\"a\":1}");
    EXPECT_EQ(json.GetText(CWString(u"list")), u"[1,\"x\",null]");
    EXPECT_EQ(json.GetText(CWString(u"int")), u"200");
    EXPECT_EQ(json.GetText(CWString(u"real")), u"2.5");
    EXPECT_EQ(json.GetText(CWString(u"yes")), u"true");
    EXPECT_EQ(json.GetText(CWString(u"no")), u"false");
    EXPECT_EQ(json.GetText(CWString(u"nothing")), u"");
    EXPECT_EQ(json.GetText(CWString(u"s")), u"plain");
    EXPECT_EQ(json.GetText(CWString(u"empty")), u"{}");
    EXPECT_EQ(json.ElementCount(), 9u);
    EXPECT_EQ(json.GetText(CWString(u"missing")), u"");
    EXPECT_EQ(json.ElementCount(), 10u); // added as null

    // A string holding a NUL keeps all of its characters.
    rg_JSONJiChuLei withNul = parsed(u"{\"s\":\"a\\u0000b\"}");
    EXPECT_EQ(withNul.GetText(CWString(u"s")).view(), std::u16string_view(u"a\0b", 3));
}

TEST(JsonText, ContainerTextLeavesCollectedCommentsOut) {
    rg_JSONJiChuLei json = parsed(u"{\"x\": [1, // one\n 2], \"y\": {\"a\": 1 /* k */}, // tail\n}");
    EXPECT_EQ(json.GetText(CWString(u"x")), u"[1,2]");
    EXPECT_EQ(json.GetText(CWString(u"y")), u"{\"a\":1}");
    // The text is JSON again.
    rg_JSONJiChuLei again = parsed(json.GetText(CWString(u"//")).text());
    EXPECT_TRUE(again.equals(json));
}

TEST(JsonText, IndexKeysOnAnArrayReadWithoutGrowingIt) {
    rg_JSONJiChuLei json = parsed(u"[{\"a\":1}, \"s\", [2]]");
    EXPECT_EQ(json.GetText(CWString(u"0")), u"{\"a\":1}");
    EXPECT_EQ(json.GetText(CWString(u"1")), u"s");
    EXPECT_EQ(json.GetText(CWString(u"2")), u"[2]");
    EXPECT_EQ(json.GetText(CWString(u"9")), u"");
    EXPECT_EQ(json.GetText(CWString(u"-1")), u"");
    EXPECT_EQ(json.ElementCount(), 3u);
}

const char16_t* const kListAnswer =
    uR"({"code":200,"data":[{"name":"a.ec","path":"sub/","size":10},{"name":"b.ec","size":"20"}]})";

TEST(JsonPath, ReadsThroughMembersAndIndicesWithoutChangingTheDocument) {
    rg_JSONJiChuLei json = parsed(kListAnswer);
    const std::u16string before = documentText(json);
    EXPECT_EQ(json.GetText(CWString(u"//data.[0].name")), u"a.ec");
    EXPECT_EQ(json.GetText(CWString(u"//data.[1].name")), u"b.ec");
    EXPECT_EQ(json.GetInteger(CWString(u"//data.[1].size")), 20);
    EXPECT_EQ(json.GetIntegerUtf8("//code"), 200);
    EXPECT_EQ(json.GetText(CWString(u"//data.[0]")), u"{\"name\":\"a.ec\",\"path\":\"sub/\",\"size\":10}");
    // Missing members and elements read as empty, and are not added.
    EXPECT_EQ(json.GetText(CWString(u"//data.[5].name")), u"");
    EXPECT_EQ(json.GetText(CWString(u"//data.[1].path")), u"");
    EXPECT_EQ(json.GetInteger(CWString(u"//absent.deeper")), 0);
    // Steps into a value that is neither object nor array find nothing.
    EXPECT_EQ(json.GetText(CWString(u"//code.x")), u"");
    EXPECT_EQ(json.GetText(CWString(u"//data.[0].name.[0]")), u"");
    // Malformed index segments fail.
    EXPECT_EQ(json.GetText(CWString(u"//data.[0")), u"");
    EXPECT_EQ(json.GetText(CWString(u"//data.[-1].name")), u"");
    EXPECT_EQ(json.GetInteger(CWString(u"//data.[-1].size")), 0);
    EXPECT_EQ(documentText(json), before);
    EXPECT_EQ(json.ElementCount(), 2u);
}

TEST(JsonPath, IndexSegmentsFollowTheirWrittenForm) {
    rg_JSONJiChuLei json = parsed(uR"({"list": [10, 20, 30], "map": {"1": "one"}})");
    EXPECT_EQ(json.GetInteger(CWString(u"//list.[2]")), 30);
    EXPECT_EQ(json.GetInteger(CWString(u"//list.[]")), 10); // no digits: 0
    EXPECT_EQ(json.GetInteger(CWString(u"//list.[1]junk")), 20);
    // The index is the text from the segment's second character to the first "]".
    EXPECT_EQ(json.GetInteger(CWString(u"//list.x[1]")), 10);
    // On an object an index names the member with that decimal name.
    EXPECT_EQ(json.GetText(CWString(u"//map.[1]")), u"one");
}

TEST(JsonArray, TakesOnlyArraysByNameOrIndexAndAnythingByPath) {
    rg_JSONJiChuLei json = parsed(uR"({"data": {"a": 1}, "list": [[1, 2], 3], "s": "x"})");
    const std::u16string before = documentText(json);

    rg_JSONShuZuLei fresh;
    json.GetArray(CWString(u"data"), fresh);
    EXPECT_TRUE(fresh.jsonValue().isNull());
    EXPECT_EQ(fresh.ElementCount(), 0u);

    rg_JSONShuZuLei list;
    json.GetArray(CWString(u"list"), list);
    EXPECT_EQ(list.GetText(CWString(u"//")), u"[[1,2],3]");
    EXPECT_EQ(list.ElementCount(), 2u);

    // A target that already holds something keeps it when nothing fits.
    json.GetArray(CWString(u"data"), list);
    json.GetArray(CWString(u"missing"), list);
    json.GetArray(CWString(u"s"), list);
    json.GetArray(CWString(u"//data.[0"), list);
    EXPECT_EQ(list.ElementCount(), 2u);

    rg_JSONShuZuLei inner;
    list.GetArray(CWString(u"0"), inner);
    EXPECT_EQ(inner.GetText(CWString(u"//")), u"[1,2]");
    list.GetArray(CWString(u"1"), inner);
    EXPECT_EQ(inner.GetText(CWString(u"//")), u"[1,2]");

    // A path hands over whatever it finds, null included.
    rg_JSONShuZuLei byPath;
    json.GetArray(CWString(u"//data"), byPath);
    EXPECT_EQ(byPath.GetText(CWString(u"//")), u"{\"a\":1}");
    json.GetArray(CWString(u"//nowhere"), byPath);
    EXPECT_TRUE(byPath.jsonValue().isNull());

    EXPECT_EQ(documentText(json), before);

    // Never raises, whatever the value.
    rg_JSONJiChuLei text = parsed(u"\"text\"");
    EXPECT_NO_THROW(text.GetArray(CWString(u"data"), fresh));
}

TEST(JsonElements, CountsAndCopiesObjectElements) {
    rg_JSONJiChuLei json = parsed(kListAnswer);
    rg_JSONShuZuLei data;
    json.GetArray(CWString(u"data"), data);
    ASSERT_EQ(data.ElementCount(), 2u);

    rg_JSONDuiXiangLei first;
    data.ElementAt(0, first);
    EXPECT_EQ(first.GetText(CWString(u"name")), u"a.ec");
    EXPECT_EQ(first.GetText(CWString(u"path")), u"sub/");
    EXPECT_EQ(first.GetIntegerUtf8("size"), 10);
    // The element is a copy: reading a missing member adds it there only.
    EXPECT_EQ(first.GetText(CWString(u"updateTime")), u"");
    EXPECT_EQ(data.GetText(CWString(u"//[0].updateTime")), u"");
    EXPECT_EQ(data.GetText(CWString(u"0")), u"{\"name\":\"a.ec\",\"path\":\"sub/\",\"size\":10}");

    rg_JSONDuiXiangLei beyond;
    data.ElementAt(2, beyond);
    EXPECT_TRUE(beyond.jsonValue().isNull());

    rg_JSONJiChuLei mixed = parsed(u"[1, {\"a\":2}]");
    rg_JSONDuiXiangLei target;
    mixed.ElementAt(1, target);
    mixed.ElementAt(0, target); // a number: the target keeps its object
    EXPECT_EQ(target.GetInteger(CWString(u"a")), 2);

    EXPECT_EQ(parsed(u"{\"a\":1,\"b\":2}").ElementCount(), 2u);
    EXPECT_EQ(parsed(u"\"text\"").ElementCount(), 0u);
    EXPECT_EQ(rg_JSONJiChuLei().ElementCount(), 0u);
}

// The module list answer read the way the list reader reads it, with a bad "size"
// caught around the element as that reader has to.
TEST(JsonElements, ListAnswerWithAnOversizedEntryCanBeReadSafely) {
    rg_JSONJiChuLei json = parsed(uR"({"code":"200","data":[{"name":"ok","size":5},{"name":"bad","size":1e12}]})");
    ASSERT_EQ(json.GetInteger(CWString(u"code")), 200);
    rg_JSONShuZuLei data;
    json.GetArray(CWString(u"data"), data);
    int good = 0, failed = 0;
    for (std::uint32_t i = 0; i < data.ElementCount(); ++i) {
        rg_JSONDuiXiangLei entry;
        data.ElementAt(i, entry);
        try {
            entry.GetIntegerUtf8("size");
            ++good;
        } catch (const std::exception&) {
            ++failed;
        }
    }
    EXPECT_EQ(good, 1);
    EXPECT_EQ(failed, 1);
}

} // namespace
