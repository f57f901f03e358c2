#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "base/Codepage.h"
#include "base/Money.h"

namespace kos {
namespace {

TEST(MoneyTest, TwoAndThreeDigitFractionsKeepTheSign) {
    const std::vector<std::pair<int32_t, std::string>> money = {
        {0, "0,00"},
        {5, "0,05"},
        {-5, "-0,05"},
        {100, "1,00"},
        {-1234, "-12,34"},
        {123456, "1234,56"},
        {-99, "-0,99"},
        {INT32_MAX, "21474836,47"},
        {INT32_MIN, "-21474836,48"},
    };
    for (const auto& [v, s] : money)
        EXPECT_EQ(formatMoney(v), s) << v;

    const std::vector<std::pair<int32_t, std::string>> quantity = {
        {0, "0,000"},    {-500, "-0,500"},  {1, "0,001"},
        {1500, "1,500"}, {-2001, "-2,001"}, {INT32_MIN, "-2147483,648"},
    };
    for (const auto& [v, s] : quantity)
        EXPECT_EQ(formatQuantity(v), s) << v;
}

TEST(CodepageTest, PolishLettersRoundTripBetweenCodePage1250AndUtf8) {
    const std::string cp =
        "\xA5\xB9\xC6\xE6\xCA\xEA\xA3\xB3\xD1\xF1\xD3\xF3\x8C\x9C\x8F\x9F\xAF\xBF";
    const std::string utf8 = "ĄąĆćĘęŁłŃńÓóŚśŹźŻż";
    EXPECT_EQ(cp1250ToUtf8(cp), utf8);
    EXPECT_EQ(utf8ToCp1250(utf8), cp);
    EXPECT_EQ(cp1250ToUtf8("zw. 22%"), "zw. 22%");
    EXPECT_EQ(cp1250ToUtf8(""), "");
}

TEST(CodepageTest, WhatHasNoCounterpartBecomesAQuestionMark) {
    // 0x81 and 0x98 are unassigned in code page 1250.
    EXPECT_EQ(cp1250ToUtf8("a\x81"
                           "b\x98"),
              "a?b?");
    EXPECT_EQ(utf8ToCp1250("Żółw жук"), "\xAF\xF3\xB3w ???");
    // Broken UTF-8: one '?' per bad byte, the text around it survives.
    EXPECT_EQ(utf8ToCp1250("a\xC5"
                           "b\xE2\x82"),
              "a?b??");
    EXPECT_EQ(utf8ToCp1250("\x80x"), "?x");
}

TEST(CodepageTest, Utf16ConversionRejectsMalformedInput) {
    std::string out = "keep";
    EXPECT_FALSE(utf16leToCp1250(std::string("A\0B", 3), out));
    EXPECT_EQ(out, "keep");
    EXPECT_TRUE(utf16leToCp1250(std::string("A\0\x3D\xD8\x00\xDE", 6), out));  // emoji pair
    EXPECT_EQ(out, "A?");
    EXPECT_TRUE(utf16leToCp1250("", out));
    EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace kos
