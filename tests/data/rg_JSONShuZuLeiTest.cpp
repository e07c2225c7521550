#include "runtime/data/rg_JSONShuZuLei.h"

#include "runtime/data/rg_JSONDuiXiangLei.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace rg_QueltShiChuang_JSONCaoZuo;

namespace {

TEST(JsonClasses, EachAnswersForItselfAndItsBaseUnderItsNamespacedName) {
    const rg_JSONShuZuLei array;
    const rg_JSONDuiXiangLei object;
    EXPECT_STREQ(rg_JSONJiChuLei::staticClassRecord().name, "rg_QueltShiChuang_JSONCaoZuo::rg_JSONJiChuLei");
    EXPECT_STREQ(array.classRecord().name, "rg_QueltShiChuang_JSONCaoZuo::rg_JSONShuZuLei");
    EXPECT_STREQ(object.classRecord().name, "rg_QueltShiChuang_JSONCaoZuo::rg_JSONDuiXiangLei");

    EXPECT_TRUE(array.isInstanceOf(rg_JSONShuZuLei::staticClassRecord()));
    EXPECT_TRUE(array.isInstanceOf(rg_JSONJiChuLei::staticClassRecord()));
    EXPECT_TRUE(array.isInstanceOf(CQueltObject::staticClassRecord()));
    EXPECT_FALSE(array.isInstanceOf(rg_JSONDuiXiangLei::staticClassRecord()));
    EXPECT_TRUE(object.isInstanceOf(rg_JSONJiChuLei::staticClassRecord()));
    EXPECT_FALSE(object.isInstanceOf(rg_JSONShuZuLei::staticClassRecord()));

    // A record built elsewhere under the same name denotes the same class.
    const char* name = "rg_QueltShiChuang_JSONCaoZuo::rg_JSONDuiXiangLei";
    const CQueltClassRecord twin = makeClassRecord(name, nullptr, &rg_JSONJiChuLei::staticClassRecord);
    EXPECT_TRUE(object.isInstanceOf(twin));
}

TEST(JsonClasses, NewObjectsHoldNullAndCopiesAreIndependent) {
    rg_JSONDuiXiangLei object;
    EXPECT_TRUE(object.jsonValue().isNull());
    ASSERT_TRUE(object.ParseText(CWString(u"{\"a\":1}")));

    CQueltObject* copy = object.clone();
    ASSERT_TRUE(copy->isInstanceOf(rg_JSONDuiXiangLei::staticClassRecord()));
    EXPECT_TRUE(copy->equals(object));
    auto* typed = static_cast<rg_JSONDuiXiangLei*>(copy);
    typed->GetInteger(CWString(u"b")); // adds "b" to the copy only
    EXPECT_FALSE(copy->equals(object));
    EXPECT_EQ(object.ElementCount(), 1u);
    copy->destroyAndFree();

    CQueltObject* fresh = object.createDefault();
    EXPECT_TRUE(static_cast<rg_JSONJiChuLei*>(fresh)->jsonValue().isNull());
    fresh->destroyAndFree();

    CWString text;
    object.toText(text);
    EXPECT_EQ(text, u"{\"a\":1}");
    object.reset();
    EXPECT_TRUE(object.jsonValue().isNull());
}

TEST(JsonClasses, AbsentTargetsAreLeftAlone) {
    rg_JSONJiChuLei json;
    ASSERT_TRUE(json.ParseText(CWString(u"{\"data\":[{\"a\":1}]}")));
    rg_JSONShuZuLei absent;
    absent.setNullInstance(true);
    json.GetArray(CWString(u"data"), absent);
    EXPECT_TRUE(absent.jsonValue().isNull());

    rg_JSONShuZuLei data;
    json.GetArray(CWString(u"data"), data);
    rg_JSONDuiXiangLei absentObject;
    absentObject.setNullInstance(true);
    data.ElementAt(0, absentObject);
    EXPECT_TRUE(absentObject.jsonValue().isNull());
}

} // namespace
