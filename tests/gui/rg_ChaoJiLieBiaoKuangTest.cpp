#include "runtime/gui/rg_ChaoJiLieBiaoKuang.h"

#include "FakeWindowImpl.h"
#include "runtime/core/MemoryStream.h"
#include "runtime/gui/GuiConstants.h"
#include "runtime/gui/WinForm.h"

#include <gtest/gtest.h>

#include <vector>

using namespace rg_quelt_WTLJieMian_base;
using namespace rg_quelt_WTLJieMian_KuoZhanZuJian;
using namespace quelt_gui;

namespace {

class ListForm : public CQueltWinForm {
public:
    ~ListForm() override { teardown(); }
    std::vector<std::int32_t> seen;
    std::u16string text;
    std::int32_t answer = 0;

    static std::int32_t onDraw(CQueltObject* self, CQueltObject*, std::int32_t,
                               rg_ChaoJiLieBiaoKuangHuiZhiCanShu* p) {
        auto* f = static_cast<ListForm*>(self);
        f->seen.insert(f->seen.end(), {p->row, p->column, static_cast<std::int32_t>(p->textColour),
                                       static_cast<std::int32_t>(p->backgroundColour)});
        if (p->column == 2)
            p->textColour = 0x0000FF;
        return 0;
    }
    static std::int32_t onFill(CQueltObject* self, CQueltObject*, std::int32_t,
                               rg_ChaoJiLieBiaoKuangBiaoXiangTianChong* item) {
        auto* f = static_cast<ListForm*>(self);
        f->seen.insert(f->seen.end(), {item->row, item->column, item->checkState});
        item->text = CWString(u"第") + CWString::fromInteger(item->row).view();
        item->checkState = 1;
        return 0;
    }
    static std::int32_t onEndCell(CQueltObject* self, CQueltObject*, std::int32_t, std::int32_t row,
                                  std::int32_t column, CWString* text) {
        auto* f = static_cast<ListForm*>(self);
        f->seen.insert(f->seen.end(), {row, column});
        f->text = std::u16string(text->view());
        return f->answer;
    }
};

} // namespace

TEST(SuperListBoxControlTest, WithoutAWindowEveryRowOperationDoesNothing) {
    auto check = [](rg_ChaoJiLieBiaoKuang& list) {
        EXPECT_EQ(list.rowCount(), 0);
        list.clearRows();
        EXPECT_EQ(list.appendRow(u"a"), -1);
        EXPECT_FALSE(list.setCellText(0, 0, u"a"));
        EXPECT_TRUE(list.getCellText(0, 0).isEmpty());
        list.setRedraw(false);
        EXPECT_EQ(list.rowCount(), 0);
    };
    {
        // No window layer at all.
        WindowImplFactory previous = windowImplFactory();
        setWindowImplFactory(nullptr);
        rg_ChaoJiLieBiaoKuang list;
        check(list);
        setWindowImplFactory(previous);
    }
    // A window that is not a list view does not take row operations either.
    FakeWindowLayer layer;
    ListForm form;
    CQueltCreationRecord parent;
    ASSERT_TRUE(form.create(parent));
    rg_ChaoJiLieBiaoKuang list;
    check(list);
    CQueltCreationRecord record;
    record.parentWindow = form.window();
    ASSERT_TRUE(list.create(record));
    check(list);
}

TEST(SuperListBoxControlTest, CreationAddsTheStylesOfItsProperties) {
    FakeWindowLayer layer;
    ListForm form;
    CQueltCreationRecord parent;
    ASSERT_TRUE(form.create(parent));
    rg_ChaoJiLieBiaoKuang list;
    list.setView(kViewReport);
    list.setEditable(true);
    list.setSingleSelection(false);
    CQueltCreationRecord record;
    record.parentWindow = form.window();
    ASSERT_TRUE(list.create(record));
    const std::uint32_t style = FakeWindowLayer::of(list).createdRecord.style;
    EXPECT_EQ(style & (kWsChild | kWsVisible | kWsTabStop), kWsChild | kWsVisible | kWsTabStop);
    EXPECT_EQ(style & 0x3u, kLvsReport);
    EXPECT_TRUE(style & kLvsEditLabels);
    EXPECT_FALSE(style & kLvsSingleSel);
}

TEST(SuperListBoxControlTest, ListenerCallsReachTheSlotsAndCarryTheHandlersAnswersBack) {
    ListForm form;
    rg_ChaoJiLieBiaoKuang list;
    IListViewEventListener& listener = list;

    // Unbound: no answer, colours and cell text unchanged.
    std::uint32_t text = 0x111111, back = 0x222222;
    listener.onListDrawParameters(1, 2, text, back);
    EXPECT_EQ(text, 0x111111u);
    EXPECT_EQ(listener.onListEndCellEdit(0, 1, u"x"), 0);

    form.bindEvent(list, list.drawParameters, &ListForm::onDraw);
    form.bindEvent(list, list.itemFill, &ListForm::onFill);
    form.bindEvent(list, list.endCellEdit, &ListForm::onEndCell);

    listener.onListDrawParameters(4, 2, text, back);
    EXPECT_EQ(text, 0x0000FFu);
    EXPECT_EQ(back, 0x222222u);
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{4, 2, 0x111111, 0x222222}));

    form.seen.clear();
    rg_ChaoJiLieBiaoKuangBiaoXiangTianChong item;
    item.row = 7;
    item.column = 0;
    const CWString& kept = listener.onListItemFill(item);
    EXPECT_EQ(kept.view(), u"第7");
    EXPECT_EQ(item.checkState, 1);
    // The kept text is the control's own copy: it outlives the record.
    item.text = u"changed";
    EXPECT_EQ(kept.view(), u"第7");

    form.seen.clear();
    form.answer = 1;
    EXPECT_EQ(listener.onListEndCellEdit(3, 2, u"新值"), 1);
    EXPECT_EQ(form.seen, (std::vector<std::int32_t>{3, 2}));
    EXPECT_EQ(form.text, u"新值");
}

TEST(SuperListBoxRecordsTest, DrawParametersSaveFourValuesInOrderAndLoadBack) {
    rg_ChaoJiLieBiaoKuangHuiZhiCanShu p;
    p.row = 3;
    p.column = -1;
    p.textColour = 0xFF000000u;
    p.backgroundColour = 0x00ABCDEF;
    CQueltMemoryStream stream;
    ASSERT_TRUE(p.save(stream));
    ASSERT_EQ(stream.buffer().size(), 16u);
    const auto* bytes = static_cast<const unsigned char*>(stream.buffer().data());
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[4], 0xFF);
    EXPECT_EQ(bytes[11], 0xFF);
    EXPECT_EQ(bytes[12], 0xEF);

    CQueltMemoryStream in(stream.buffer());
    rg_ChaoJiLieBiaoKuangHuiZhiCanShu loaded;
    ASSERT_TRUE(loaded.load(in));
    EXPECT_TRUE(loaded.equals(p));

    // A stream cut short leaves the record unchanged.
    CQueltMem cut;
    cut.append(stream.buffer().data(), 12);
    CQueltMemoryStream shortStream(cut);
    rg_ChaoJiLieBiaoKuangHuiZhiCanShu untouched;
    untouched.row = 9;
    EXPECT_FALSE(untouched.load(shortStream));
    EXPECT_EQ(untouched.row, 9);
}

TEST(SuperListBoxRecordsTest, TheItemFillRecordSavesTextItemDataImageAndCheckState) {
    rg_ChaoJiLieBiaoKuangBiaoXiangTianChong item;
    item.row = 2;
    item.column = 5;
    item.text = u"大小";
    item.itemData = 0x0102030405060708LL;
    item.imageIndex = -1;
    item.checkState = 1;
    CQueltMemoryStream stream;
    ASSERT_TRUE(item.save(stream));
    // row, column, text (length + two units), 8-byte item data, image, check state.
    ASSERT_EQ(stream.buffer().size(), 4u + 4u + (4u + 4u) + 8u + 4u + 4u);
    const auto* bytes = static_cast<const unsigned char*>(stream.buffer().data());
    EXPECT_EQ(bytes[8], 2); // text length
    EXPECT_EQ(bytes[16], 0x08);
    EXPECT_EQ(bytes[23], 0x01);
    EXPECT_EQ(bytes[24], 0xFF);
    EXPECT_EQ(bytes[28], 1);

    CQueltMemoryStream in(stream.buffer());
    rg_ChaoJiLieBiaoKuangBiaoXiangTianChong loaded;
    ASSERT_TRUE(loaded.load(in));
    EXPECT_TRUE(loaded.equals(item));
    EXPECT_EQ(loaded.text.view(), u"大小");

    CQueltMem cut;
    cut.append(stream.buffer().data(), stream.buffer().size() - 2);
    CQueltMemoryStream shortStream(cut);
    rg_ChaoJiLieBiaoKuangBiaoXiangTianChong untouched;
    EXPECT_FALSE(untouched.load(shortStream));
    EXPECT_TRUE(untouched.text.isEmpty());
    EXPECT_EQ(untouched.checkState, -1);
}
