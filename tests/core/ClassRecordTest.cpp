#include "runtime/core/ClassRecord.h"
#include "runtime/core/QueltException.h"
#include "runtime/core/QueltObject.h"
#include "runtime/core/UserApp.h"
#include "runtime/core/WString.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The hash by its definition, computed independently of the runtime's code.
std::uint32_t referenceHash(const char* name) {
    // Wrapping 64-bit arithmetic, as two's complement.
    std::uint64_t h = 0;
    for (const char* p = name; *p; ++p)
        h = h * 5 + static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<signed char>(*p)));
    std::uint32_t low = static_cast<std::uint32_t>(h & 0xFFFFFFFFu);
    return (low | 1u) & ~0x80000000u;
}

TEST(ClassNameHash, MatchesTheDefinition) {
    for (const char* name : {"CQueltObject", "rg_quelt_app::rg_PeiZhiXinXiLei",
                             "rg_quelt_windows_WangLao::rg_WangLaoChuanShuLei", "a", ""}) {
        const std::uint32_t h = classNameHash(name, std::strlen(name));
        EXPECT_EQ(h, referenceHash(name)) << name;
        EXPECT_EQ(h & 1u, 1u);
        EXPECT_EQ(h & 0x80000000u, 0u);
    }
    // Small worked example: 'a' = 97 -> 97 | 1 = 97; "ab" = 5*97+98 = 583 -> 583.
    EXPECT_EQ(classNameHash("ab", 2), 583u);
    // Bytes count as signed: 0xE6 is -26.
    EXPECT_EQ(classNameHash("\xE6", 1), (static_cast<std::uint32_t>(-26) | 1u) & 0x7FFFFFFFu);
}

TEST(ClassRecord, RecordsWithTheSameNameDenoteTheSameClass) {
    const CQueltClassRecord& own = CWString::staticClassRecord();
    const CQueltClassRecord twin = makeClassRecord("CWString", nullptr, nullptr);
    EXPECT_NE(&own, &twin);
    EXPECT_TRUE(own.sameClassAs(twin));
    EXPECT_TRUE(CWString(u"x").isInstanceOf(twin));
    const CQueltClassRecord other = makeClassRecord("CWStrinG", nullptr, nullptr);
    EXPECT_FALSE(own.sameClassAs(other));
    EXPECT_FALSE(CWString(u"x").isInstanceOf(other));
}

TEST(ClassRecord, InstanceTestWalksTheBaseChain) {
    const CQueltException error;
    EXPECT_TRUE(error.isInstanceOf(CQueltException::staticClassRecord()));
    EXPECT_TRUE(error.isInstanceOf(CQueltObject::staticClassRecord()));
    EXPECT_FALSE(error.isInstanceOf(CWString::staticClassRecord()));
    const CQueltClassRecord& record = rg_quelt_base::rg_ChuangKouChengXuLei::staticClassRecord();
    EXPECT_STREQ(record.name, "rg_quelt_base::rg_ChuangKouChengXuLei");
    EXPECT_EQ(record.length, std::strlen(record.name));
    EXPECT_TRUE(record.derivesFrom(rg_quelt_base::rg_ChengXuLei::staticClassRecord()));
    EXPECT_TRUE(record.derivesFrom(CQueltUserApp::staticClassRecord()));
    EXPECT_FALSE(CQueltUserApp::staticClassRecord().derivesFrom(record));
}

TEST(ClassRecord, FactoryMakesADefaultInstance) {
    const CQueltClassRecord& record = CWString::staticClassRecord();
    ASSERT_NE(record.factory, nullptr);
    CQueltObject* made = record.factory();
    EXPECT_TRUE(made->isInstanceOf(record));
    EXPECT_TRUE(made->equals(CWString()));
    made->destroyAndFree();
}

TEST(QueltException, TextFormAndDefaults) {
    const CQueltException fromMessage(CWString(u"无效"));
    EXPECT_EQ(fromMessage.code(), -1);
    const CQueltException coded(404, CWString(u"未找到"));
    CWString text;
    coded.toText(text);
    EXPECT_EQ(text, u"代码: 404; 描述: 未找到");
    CQueltException copy(coded);
    EXPECT_TRUE(copy.equals(coded));
    copy.reset();
    EXPECT_EQ(copy.code(), -1);
    EXPECT_FALSE(copy.equals(coded));
}

TEST(QueltObject, NullFlagAndAssociatedWordTakePartInEquality) {
    CWString a(u"x");
    CWString b(u"x");
    b.setAssociatedWord(7);
    EXPECT_FALSE(a.equals(b));
    CWString c;
    EXPECT_TRUE(c.assign(b));
    EXPECT_EQ(c.associatedWord(), 7u);
    EXPECT_TRUE(c.equals(b));
    c.reset();
    EXPECT_EQ(c.associatedWord(), 0u);
    EXPECT_TRUE(c.isEmpty());
}

} // namespace
