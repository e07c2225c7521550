#include "runtime/gui/KeyCodes.h"

#include <gtest/gtest.h>

using namespace quelt_gui;

TEST(KeyCodesTest, KeypadKeysBecomeTheMainKeyboardKeys) {
    EXPECT_EQ(normaliseKeyCode(0x65, false), '5'); // keypad 5
    EXPECT_EQ(normaliseKeyCode(0x69, false), '9');
    EXPECT_EQ(normaliseKeyCode(0x60, false), '0');  // keypad 0 too
    EXPECT_EQ(normaliseKeyCode(0x6D, false), 0xBD); // keypad minus
    EXPECT_EQ(normaliseKeyCode(0x6E, false), 0xBE); // keypad decimal
    EXPECT_EQ(normaliseKeyCode(0x6F, false), 0xBF); // keypad divide
}

TEST(KeyCodesTest, UnnamedKeysAreNotReportedAndCtrlAddsItsBit) {
    EXPECT_EQ(normaliseKeyCode(0x07, false), 0);
    EXPECT_EQ(normaliseKeyCode(0xFF, true), 0);
    EXPECT_EQ(normaliseKeyCode('A', false), 'A');
    EXPECT_EQ(normaliseKeyCode('C', true), 'C' + 0x2000);
    EXPECT_EQ(normaliseKeyCode(0x1B, false), 0x1B);
    EXPECT_EQ(normaliseKeyCode(0x70, false), 0x70); // F1
    EXPECT_EQ(std::u16string(keyName(0x0D)), u"Enter");
    EXPECT_EQ(keyName(0x88), nullptr);
}
