#pragma once
// The numbers the framework shares with the native window system: window styles,
// the messages the control objects translate, and the framework's private messages.
// They are plain integers here so that portable code needs no system header.
#include <cstdint>

namespace quelt_gui {

// Carried as lparam by every private message and returned by a window that
// handled one; also the GWLP_USERDATA value of windows that take part in
// pre-translation.
inline constexpr std::intptr_t kFrameworkMagic = 0x12D12AB;

// Private framework messages.
inline constexpr std::uint32_t kMsgGetVisibleFlag = 0x9FF5;
inline constexpr std::uint32_t kMsgSetVisibleFlag = 0x9FF6;
inline constexpr std::uint32_t kMsgTabSelectionChanged = 0x9FF7;
inline constexpr std::uint32_t kMsgGetTabSelection = 0x9FF8;
inline constexpr std::uint32_t kMsgRemoveWindowFilter = 0x9FFA;
inline constexpr std::uint32_t kMsgAddWindowFilter = 0x9FFB;
inline constexpr std::uint32_t kMsgSetPageIndex = 0x9FFC;
inline constexpr std::uint32_t kMsgGetPageIndex = 0x9FFD;
inline constexpr std::uint32_t kMsgQueryObject = 0x9FFE;
inline constexpr std::uint32_t kMsgPreTranslate = 0x9FFF;
inline constexpr std::uint32_t kMsgDeferredNotify = 0xA000;
inline constexpr std::uint32_t kMsgHostWantsKey = 0xA005;

// A notification reflected back to the child it concerns.
inline constexpr std::uint32_t kReflectOffset = 0x2000;

// The value of x, y, width or height that asks for the default.
inline constexpr std::int32_t kDefaultCoordinate = static_cast<std::int32_t>(0x80000000u);

// Window styles.
inline constexpr std::uint32_t kWsPopup = 0x80000000u;
inline constexpr std::uint32_t kWsChild = 0x40000000u;
inline constexpr std::uint32_t kWsMinimize = 0x20000000u;
inline constexpr std::uint32_t kWsVisible = 0x10000000u;
inline constexpr std::uint32_t kWsDisabled = 0x08000000u;
inline constexpr std::uint32_t kWsClipSiblings = 0x04000000u;
inline constexpr std::uint32_t kWsClipChildren = 0x02000000u;
inline constexpr std::uint32_t kWsMaximize = 0x01000000u;
inline constexpr std::uint32_t kWsCaption = 0x00C00000u;
inline constexpr std::uint32_t kWsBorder = 0x00800000u;
inline constexpr std::uint32_t kWsDlgFrame = 0x00400000u;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000u;
inline constexpr std::uint32_t kWsThickFrame = 0x00040000u;
inline constexpr std::uint32_t kWsMinimizeBox = 0x00020000u;
inline constexpr std::uint32_t kWsMaximizeBox = 0x00010000u;
inline constexpr std::uint32_t kWsTabStop = 0x00010000u;
inline constexpr std::uint32_t kDefaultControlStyle = kWsVisible | kWsClipSiblings;
inline constexpr std::uint32_t kDefaultContainerStyle =
    kWsChild | kWsVisible | kWsClipSiblings | kWsClipChildren;

// Extended window styles.
inline constexpr std::uint32_t kWsExDlgModalFrame = 0x00000001u;
inline constexpr std::uint32_t kWsExTransparent = 0x00000020u;
inline constexpr std::uint32_t kWsExToolWindow = 0x00000080u;
inline constexpr std::uint32_t kWsExClientEdge = 0x00000200u;
inline constexpr std::uint32_t kWsExControlParent = 0x00010000u;
inline constexpr std::uint32_t kWsExStaticEdge = 0x00020000u;

// Dialog codes: the bits that mark an input control, and a static one.
inline constexpr std::uint32_t kDlgcInputBits = 0x87;
inline constexpr std::uint32_t kDlgcStatic = 0x100;

// Messages the control objects translate into events.
inline constexpr std::uint32_t kWmSetFocus = 0x0007;
inline constexpr std::uint32_t kWmKillFocus = 0x0008;
inline constexpr std::uint32_t kWmSetCursor = 0x0020;
inline constexpr std::uint32_t kWmKeyDown = 0x0100;
inline constexpr std::uint32_t kWmKeyUp = 0x0101;
inline constexpr std::uint32_t kWmChar = 0x0102;
inline constexpr std::uint32_t kWmSysKeyDown = 0x0104;
inline constexpr std::uint32_t kWmSysKeyUp = 0x0105;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmMouseMove = 0x0200;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;
inline constexpr std::uint32_t kWmRButtonUp = 0x0205;
inline constexpr std::uint32_t kWmMButtonDown = 0x0207;
inline constexpr std::uint32_t kWmMButtonUp = 0x0208;
inline constexpr std::uint32_t kWmMouseWheel = 0x020A;
inline constexpr std::uint32_t kWmDropFiles = 0x0233;

// Key flags of mouse messages.
inline constexpr std::uint32_t kMkShift = 0x0004;
inline constexpr std::uint32_t kMkControl = 0x0008;

// Modifier bits of the framework's key and mouse events.
inline constexpr std::int32_t kModCtrl = 0x2000;
inline constexpr std::int32_t kModAlt = 0x4000;
inline constexpr std::int32_t kModShift = 0x8000;

// Virtual keys the portable rules look at.
inline constexpr std::uint32_t kVkShift = 0x10;
inline constexpr std::uint32_t kVkControl = 0x11;
inline constexpr std::uint32_t kVkMenu = 0x12;

} // namespace quelt_gui
