#pragma once
// The style bits and messages of the standard controls (buttons, edit boxes, the
// label's private notification) as plain integers, so that the portable control
// objects need no system header. The values are the window system's own.
#include "runtime/gui/GuiConstants.h"

#include <cstdint>

namespace quelt_gui {

// Button styles.
inline constexpr std::uint32_t kBsDefPushButton = 0x0001u;
inline constexpr std::uint32_t kBsAutoCheckBox = 0x0003u;
inline constexpr std::uint32_t kBsGroupBox = 0x0007u;
inline constexpr std::uint32_t kBsMultiLine = 0x2000u;
// The low nibble of a button style is its kind.
inline constexpr std::uint32_t kBsKindMask = 0x000Fu;

// Edit styles.
inline constexpr std::uint32_t kEsMultiLine = 0x0004u;
inline constexpr std::uint32_t kEsPassword = 0x0020u;
inline constexpr std::uint32_t kEsAutoVScroll = 0x0040u;
inline constexpr std::uint32_t kEsAutoHScroll = 0x0080u;
inline constexpr std::uint32_t kEsReadOnly = 0x0800u;
inline constexpr std::uint32_t kEsWantReturn = 0x1000u;
// What the multi-line flag of an edit box stands for.
inline constexpr std::uint32_t kEsMultiLineSet = kEsMultiLine | kEsAutoVScroll | kEsWantReturn;

// The default styles of the standard controls.
inline constexpr std::uint32_t kButtonStyle = kDefaultControlStyle | kWsTabStop | kBsMultiLine;
inline constexpr std::uint32_t kCheckBoxStyle = kButtonStyle | kBsAutoCheckBox;
inline constexpr std::uint32_t kGroupBoxStyle = kDefaultControlStyle | kBsGroupBox | kBsMultiLine;
inline constexpr std::uint32_t kLabelStyle = kDefaultControlStyle & ~kWsBorder;
inline constexpr std::uint32_t kEditStyle = kDefaultControlStyle | kWsTabStop;
inline constexpr std::uint32_t kTabStyle = kDefaultControlStyle;

// Sent to a label, handed to its notification event; nothing in the program sends it.
inline constexpr std::uint32_t kMsgLabelNotify = 0xA002;

// The colour that stands for the system's own (window text, button face).
inline constexpr std::uint32_t kSystemColour = 0xFF000000u;

} // namespace quelt_gui
