#include "runtime/gui/ListViewDefinitions.h"

#include <limits>

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {

namespace {

constexpr std::size_t kColumnFields = 5;
constexpr std::size_t kItemFields = 7;

bool isBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

} // namespace

std::uint32_t ListColumnDefinition::format() const {
    std::uint32_t fmt = kColumnFormatLeft;
    if (alignment == 1)
        fmt = kColumnFormatCentre;
    else if (alignment == 2)
        fmt = kColumnFormatRight;
    if (imageOnRight != 0)
        fmt |= kColumnFormatBitmapOnRight;
    if (imageIndex != -1)
        fmt |= kColumnFormatImage;
    return fmt;
}

std::uint32_t ListColumnDefinition::mask() const {
    std::uint32_t m = kColumnMaskFormat | kColumnMaskWidth | kColumnMaskText | kColumnMaskSubItem;
    if (imageIndex != -1)
        m |= kColumnMaskImage;
    return m;
}

std::int32_t readDefinitionInteger(std::u16string_view field) {
    std::size_t i = 0;
    while (i < field.size() && isBlank(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == u'+' || field[i] == u'-')) {
        negative = field[i] == u'-';
        ++i;
    }
    // Accumulate past 32 bits so that an overlong number saturates instead of wrapping.
    std::int64_t value = 0;
    const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < field.size() && field[i] >= u'0' && field[i] <= u'9'; ++i) {
        value = value * 10 + (field[i] - u'0');
        if (value > limit)
            value = limit;
    }
    if (negative)
        return static_cast<std::int32_t>(-value);
    return value >= limit ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(value);
}

std::vector<std::u16string_view> splitDefinitionFields(std::u16string_view text) {
    std::vector<std::u16string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::vector<ListColumnDefinition> parseColumnDefinition(std::u16string_view text) {
    std::vector<ListColumnDefinition> columns;
    if (text.empty())
        return columns;
    const auto fields = splitDefinitionFields(text);
    for (std::size_t i = 0; i + kColumnFields <= fields.size(); i += kColumnFields) {
        ListColumnDefinition column;
        column.imageOnRight = readDefinitionInteger(fields[i]);
        column.imageIndex = readDefinitionInteger(fields[i + 1]);
        column.alignment = readDefinitionInteger(fields[i + 2]);
        column.width = readDefinitionInteger(fields[i + 3]);
        column.title = CWString(fields[i + 4]);
        columns.push_back(std::move(column));
    }
    return columns;
}

std::vector<ListItemDefinition> parseItemsDefinition(std::u16string_view text) {
    std::vector<ListItemDefinition> items;
    if (text.empty())
        return items;
    const auto fields = splitDefinitionFields(text);
    for (std::size_t i = 0; i + kItemFields <= fields.size(); i += kItemFields) {
        ListItemDefinition item;
        item.subItem = readDefinitionInteger(fields[i]);
        item.imageIndex = readDefinitionInteger(fields[i + 1]);
        item.stateImageIndex = readDefinitionInteger(fields[i + 2]);
        item.indent = readDefinitionInteger(fields[i + 3]);
        item.itemData = readDefinitionInteger(fields[i + 4]);
        item.text = CWString(fields[i + 5]);
        item.toolTip = CWString(fields[i + 6]);
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<ListToolTipEntry> toolTipsOf(const std::vector<ListItemDefinition>& items) {
    std::vector<ListToolTipEntry> tips;
    tips.reserve(items.size());
    for (const auto& item : items)
        tips.push_back({item.subItem, item.toolTip});
    return tips;
}

const CWString* toolTipForRow(const std::vector<ListToolTipEntry>& tips, std::int32_t row) {
    if (row < 0)
        return nullptr;
    std::int32_t seen = 0;
    for (const auto& tip : tips) {
        if (tip.subItem != 0)
            continue;
        if (seen == row)
            return &tip.toolTip;
        ++seen;
    }
    return nullptr;
}

std::int32_t effectiveImageIndex(std::int32_t index, std::int32_t imageCount) {
    return index >= 0 && index < imageCount ? index : -1;
}

} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian
