#include "runtime/gui/EditInputModes.h"

#include <gtest/gtest.h>

#include <string>

using namespace quelt_gui;

namespace {

std::u16string normalised(std::int32_t mode, std::u16string_view text) {
    return std::u16string(normalisedInputText(mode, text).view());
}

bool acceptsAll(std::int32_t mode, std::u16string_view typed) {
    for (char16_t c : typed)
        if (!inputModeAccepts(mode, c))
            return false;
    return true;
}

TEST(EditInputModes, ModeValuesAboveTheLastCountAsTheLast) {
    EXPECT_EQ(clampInputMode(14), 13);
    EXPECT_EQ(clampInputMode(1000), 13);
    EXPECT_EQ(clampInputMode(-1), 0);
    EXPECT_EQ(clampInputMode(7), 7);
}

TEST(EditInputModes, ByteModeTakesDigitsOnlyAndClampsTo255) {
    EXPECT_TRUE(acceptsAll(kInputByte, u"300"));
    EXPECT_FALSE(inputModeAccepts(kInputByte, u'-'));
    EXPECT_FALSE(inputModeAccepts(kInputByte, u'.'));
    EXPECT_FALSE(inputModeAccepts(kInputByte, u'a'));
    EXPECT_EQ(normalised(kInputByte, u"300"), u"255");
    EXPECT_EQ(normalised(kInputByte, u"255"), u"255");
    EXPECT_EQ(normalised(kInputByte, u"-5"), u""); // clamps to 0, which reads as empty
    EXPECT_EQ(normalised(kInputByte, u"0"), u"");
    EXPECT_EQ(normalised(kInputByte, u"007"), u"7");
    EXPECT_EQ(normalised(kInputByte, u""), u"");
}

TEST(EditInputModes, ControlCharactersPassEveryFilter) {
    for (std::int32_t mode = 0; mode <= kInputModeLast; ++mode) {
        EXPECT_TRUE(inputModeAccepts(mode, u'\b')) << mode;
        EXPECT_TRUE(inputModeAccepts(mode, 0x16)) << mode; // Ctrl+V
    }
}

TEST(EditInputModes, FiltersOfTheNumericModes) {
    for (std::int32_t mode : {kInputSignedDigits, kInputShort, kInputInt, kInputLong}) {
        EXPECT_TRUE(acceptsAll(mode, u"-0123456789")) << mode;
        EXPECT_FALSE(inputModeAccepts(mode, u'.')) << mode;
        EXPECT_FALSE(inputModeAccepts(mode, u' ')) << mode;
    }
    for (std::int32_t mode : {kInputDecimalDigits, kInputFloat, kInputDouble}) {
        EXPECT_TRUE(acceptsAll(mode, u"-0123456789.")) << mode;
        EXPECT_FALSE(inputModeAccepts(mode, u'e')) << mode;
    }
    for (std::int32_t mode :
         {kInputFree, kInputReadOnly, kInputPassword, kInputDateTime, kInputDate, kInputCurrency})
        EXPECT_TRUE(acceptsAll(mode, u"a-.: 中")) << mode;
}

TEST(EditInputModes, IntegerModesClampToTheirWidth) {
    EXPECT_EQ(normalised(kInputShort, u"40000"), u"32767");
    EXPECT_EQ(normalised(kInputShort, u"-40000"), u"-32768");
    EXPECT_EQ(normalised(kInputShort, u"-12x3"), u"-12");
    EXPECT_EQ(normalised(kInputInt, u"2147483648"), u"2147483647");
    EXPECT_EQ(normalised(kInputInt, u"-99999999999"), u"-2147483648");
    EXPECT_EQ(normalised(kInputLong, u"99999999999999999999"), u"9223372036854775807");
    EXPECT_EQ(normalised(kInputLong, u"-9223372036854775808"), u"-9223372036854775808");
    EXPECT_EQ(normalised(kInputLong, u"--5"), u"");
}

TEST(EditInputModes, FilterOnlyModesLeaveTheText) {
    EXPECT_EQ(normalised(kInputSignedDigits, u"0"), u"0");
    EXPECT_EQ(normalised(kInputDecimalDigits, u"1.2.3"), u"1.2.3");
    EXPECT_EQ(normalised(kInputFree, u" any "), u" any ");
    EXPECT_EQ(normalised(kInputPassword, u"0"), u"0");
}

TEST(EditInputModes, FloatingModesUseSignificantDigits) {
    EXPECT_EQ(normalised(kInputFloat, u"3.14159265"), u"3.14159");
    EXPECT_EQ(normalised(kInputFloat, u"1234567"), u"1.23457E+06");
    EXPECT_EQ(normalised(kInputFloat, u"-0.5"), u"-0.5");
    EXPECT_EQ(normalised(kInputFloat, u"-0"), u"");
    EXPECT_EQ(normalised(kInputFloat, u"0.000"), u"");
    EXPECT_EQ(normalised(kInputDouble, u"3.14159265358979"), u"3.14159265359");
    EXPECT_EQ(normalised(kInputDouble, u"1.5.7"), u"1.5");
    EXPECT_EQ(normalised(kInputDouble, u"1e999"), u"1.797693134862E+308");
}

TEST(EditInputModes, DatesAreReformattedOrEmptied) {
    EXPECT_EQ(normalised(kInputDateTime, u"2024/2/29 7:05"), u"2024-02-29 07:05:00");
    EXPECT_EQ(normalised(kInputDateTime, u" 2023-12-31T23:59:59 "), u"2023-12-31 23:59:59");
    EXPECT_EQ(normalised(kInputDateTime, u"2023-02-29"), u""); // not a leap year
    EXPECT_EQ(normalised(kInputDateTime, u"2023-01-01 24:00"), u"");
    EXPECT_EQ(normalised(kInputDateTime, u"tomorrow"), u"");
    EXPECT_EQ(normalised(kInputDate, u"2023.7.4 12:00"), u"2023-07-04");
    EXPECT_EQ(normalised(kInputDate, u"2023-7/4"), u"");
    EXPECT_EQ(normalised(kInputDate, u"2023-13-01"), u"");
    EXPECT_EQ(normalised(kInputDate, u""), u"");
}

TEST(EditInputModes, CurrencyKeepsFourDecimalsAndReadsItsOwnOutput) {
    EXPECT_EQ(normalised(kInputCurrency, u"1,234.50"), u"1234.5");
    EXPECT_EQ(normalised(kInputCurrency, u"12.34567"), u"12.3457");
    EXPECT_EQ(normalised(kInputCurrency, u"-0.99995"), u"-1");
    EXPECT_EQ(normalised(kInputCurrency, u"0.00001"), u"");
    EXPECT_EQ(normalised(kInputCurrency, u"abc"), u"");
    const std::u16string once = normalised(kInputCurrency, u"-98,765.4321");
    EXPECT_EQ(once, u"-98765.4321");
    EXPECT_EQ(normalised(kInputCurrency, once), once);
    EXPECT_EQ(normalised(kInputCurrency, u"99999999999999999999"), u"922337203685477.5807");
}

} // namespace
