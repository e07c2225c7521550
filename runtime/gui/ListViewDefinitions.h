#pragma once
// The declarative texts of the super list box, read into plain records that the
// window layer turns into columns and rows. Fields are separated by a line feed
// only (no trimming); five fields make a column, seven an item entry, and a
// trailing group that is too short is ignored. Integers read like _wtoi: leading
// blanks, an optional sign, the leading digits, 0 when there are none.
#include "runtime/core/WString.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace rg_quelt_WTLJieMian_KuoZhanZuJian {

// Column format and mask bits as the native list view knows them.
inline constexpr std::uint32_t kColumnFormatLeft = 0x0000;
inline constexpr std::uint32_t kColumnFormatRight = 0x0001;
inline constexpr std::uint32_t kColumnFormatCentre = 0x0002;
inline constexpr std::uint32_t kColumnFormatImage = 0x0800;
inline constexpr std::uint32_t kColumnFormatBitmapOnRight = 0x1000;
inline constexpr std::uint32_t kColumnMaskFormat = 0x0001;
inline constexpr std::uint32_t kColumnMaskWidth = 0x0002;
inline constexpr std::uint32_t kColumnMaskText = 0x0004;
inline constexpr std::uint32_t kColumnMaskSubItem = 0x0008;
inline constexpr std::uint32_t kColumnMaskImage = 0x0010;

struct ListColumnDefinition {
    std::int32_t imageOnRight = 0;
    std::int32_t imageIndex = -1;
    std::int32_t alignment = 0;
    std::int32_t width = 0;
    CWString title;

    std::uint32_t format() const;
    std::uint32_t mask() const;
};

struct ListItemDefinition {
    // Non-zero: the entry fills the next column of the row started last.
    std::int32_t subItem = 0;
    std::int32_t imageIndex = -1;
    // 0-based into the state image list; -1 for none.
    std::int32_t stateImageIndex = -1;
    std::int32_t indent = 0;
    std::int32_t itemData = 0;
    CWString text;
    CWString toolTip;
};

// What the tool-tip lookup keeps of the items text once the rows exist.
struct ListToolTipEntry {
    std::int32_t subItem = 0;
    CWString toolTip;
};

// The integer at the start of `field`, read like _wtoi (saturating at 32 bits).
std::int32_t readDefinitionInteger(std::u16string_view field);

// The text split at every line feed; an empty text is one empty field.
std::vector<std::u16string_view> splitDefinitionFields(std::u16string_view text);

std::vector<ListColumnDefinition> parseColumnDefinition(std::u16string_view text);
std::vector<ListItemDefinition> parseItemsDefinition(std::u16string_view text);

std::vector<ListToolTipEntry> toolTipsOf(const std::vector<ListItemDefinition>& items);
// The tip of `row`: the tool-tip field of the row-th entry that starts a row;
// null for a negative row or one the items text did not define.
const CWString* toolTipForRow(const std::vector<ListToolTipEntry>& tips, std::int32_t row);

// An image index that is negative or not below `imageCount` means none (-1).
std::int32_t effectiveImageIndex(std::int32_t index, std::int32_t imageCount);

} // namespace rg_quelt_WTLJieMian_KuoZhanZuJian
