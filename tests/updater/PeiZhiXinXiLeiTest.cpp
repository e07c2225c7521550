#include "updater/rg_PeiZhiXinXiLei.h"

#include "runtime/core/MemoryStream.h"

#include <gtest/gtest.h>

namespace {

using rg_quelt_app::rg_PeiZhiXinXiLei;

// The ten fields in their declared order.
CWString rg_PeiZhiXinXiLei::*const kFields[] = {
    &rg_PeiZhiXinXiLei::domain,        &rg_PeiZhiXinXiLei::androidQq, &rg_PeiZhiXinXiLei::androidPassword,
    &rg_PeiZhiXinXiLei::androidFolder, &rg_PeiZhiXinXiLei::serverQq,  &rg_PeiZhiXinXiLei::serverPassword,
    &rg_PeiZhiXinXiLei::serverFolder,  &rg_PeiZhiXinXiLei::windowsQq, &rg_PeiZhiXinXiLei::windowsPassword,
    &rg_PeiZhiXinXiLei::windowsFolder,
};

rg_PeiZhiXinXiLei numbered() {
    rg_PeiZhiXinXiLei record;
    int n = 0;
    for (const auto field : kFields)
        record.*field = CWString(u"值") + CWString::fromInteger(++n).view();
    return record;
}

TEST(PeiZhiXinXiLei, StartsEmptyAndNamesItsClass) {
    const rg_PeiZhiXinXiLei record;
    for (const auto field : kFields)
        EXPECT_TRUE((record.*field).isEmpty());
    EXPECT_STREQ(rg_PeiZhiXinXiLei::staticClassRecord().name, "rg_quelt_app::rg_PeiZhiXinXiLei");
}

TEST(PeiZhiXinXiLei, EqualOnlyWhenAllTenTextsAre) {
    const rg_PeiZhiXinXiLei base = numbered();
    EXPECT_TRUE(base.equals(numbered()));
    for (const auto field : kFields) {
        rg_PeiZhiXinXiLei changed = base;
        EXPECT_TRUE(changed.equals(base));
        changed.*field += u"x";
        EXPECT_FALSE(changed.equals(base));
        EXPECT_FALSE(base.equals(changed));
    }
    EXPECT_FALSE(base.equals(CWString(u"值1"))) << "another class is never equal";
}

TEST(PeiZhiXinXiLei, CopyAssignAndReset) {
    const rg_PeiZhiXinXiLei source = numbered();
    CQueltObject* copy = source.clone();
    EXPECT_TRUE(copy->equals(source));
    copy->destroyAndFree();

    rg_PeiZhiXinXiLei target;
    EXPECT_TRUE(target.assign(source));
    EXPECT_TRUE(target.equals(source));
    EXPECT_FALSE(target.assign(CWString(u"text")));
    EXPECT_TRUE(target.equals(source)) << "a failed assign changes nothing";

    target.reset();
    EXPECT_TRUE(target.equals(rg_PeiZhiXinXiLei()));
}

TEST(PeiZhiXinXiLei, StreamsTheTenTextsInOrder) {
    const rg_PeiZhiXinXiLei source = numbered();
    CQueltMemoryStream stream;
    ASSERT_TRUE(source.save(stream));

    CQueltMemoryStream reader(stream.buffer());
    int n = 0;
    for ([[maybe_unused]] const auto field : kFields) {
        CWString text;
        ASSERT_TRUE(reader.readText(text));
        EXPECT_EQ(text, (CWString(u"值") + CWString::fromInteger(++n).view()).view());
    }

    CQueltMemoryStream again(stream.buffer());
    rg_PeiZhiXinXiLei loaded;
    ASSERT_TRUE(loaded.load(again));
    EXPECT_TRUE(loaded.equals(source));
}

TEST(PeiZhiXinXiLei, ShortStreamsFail) {
    const rg_PeiZhiXinXiLei source = numbered();
    CQueltMemoryStream full;
    ASSERT_TRUE(source.save(full));

    // A stream that ends inside the eighth text leaves the record untouched.
    CQueltMem cut = full.buffer();
    cut.setSize(cut.size() - 20);
    CQueltMemoryStream truncated(cut);
    rg_PeiZhiXinXiLei target;
    target.domain = CWString(u"kept");
    EXPECT_FALSE(target.load(truncated));
    EXPECT_EQ(target.domain, u"kept");
    EXPECT_TRUE(target.androidQq.isEmpty());

    CQueltMemoryStream limited;
    limited.setWriteLimit(40);
    EXPECT_FALSE(source.save(limited));
    EXPECT_EQ(limited.error(), CQueltObjectStream::kShortWrite);
}

} // namespace
