// Decimal fields of receipt lines: exact reading, products and percentage changes cut toward zero.
#include <gtest/gtest.h>

#include <climits>

#include "plugin/ExactDecimal.h"

namespace kos::test {
namespace {

using tarvel::DECIMAL_ONE;

TEST(ExactDecimal, ReadsFieldsExactly) {
    struct Case {
        const char* text;
        int64_t billionths;
    };
    const Case cases[] = {
        {"1.001", 1001000000},
        {" \t+2.5 ", 2500000000},
        {"-0.5", -500000000},
        {"-.25", -250000000},
        {"1.9999999999", 1999999999},  // digits beyond the ninth are cut
        {"12;", 12 * DECIMAL_ONE},
        {"3.5x", 3500000000},
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"123456789012", DECIMAL_ONE * DECIMAL_ONE - 1},
        {"-123456789012", -(DECIMAL_ONE * DECIMAL_ONE - 1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tarvel::parseDecimal(c.text), c.billionths) << '"' << c.text << '"';
}

TEST(ExactDecimal, ProductsAreCutTowardZeroFromTheExactValue) {
    auto d = tarvel::parseDecimal;
    EXPECT_EQ(tarvel::quantityThousandths(d("1.001")), 1001);
    EXPECT_EQ(tarvel::quantityThousandths(d("1.005")), 1005);
    EXPECT_EQ(tarvel::quantityThousandths(d("-0.0019")), -1);
    EXPECT_EQ(tarvel::quantityThousandths(d("3000000")), INT32_MAX);
    EXPECT_EQ(tarvel::quantityThousandths(d("-3000000")), INT32_MIN);
    EXPECT_EQ(tarvel::saleValue(d("2.3"), d("1.15")), 26450);
    EXPECT_EQ(tarvel::saleValue(d("-1.5"), d("1.999")), -29985);
    EXPECT_EQ(tarvel::saleValue(d("0.00001"), d("1.5")), 0);
    EXPECT_EQ(tarvel::saleValue(d("-0.00001"), d("15")), -1);
    EXPECT_EQ(tarvel::saleValue(d("999999"), d("999999")), INT32_MAX);
    EXPECT_EQ(tarvel::changedByPercent(3000, d("15")), 3450);
    EXPECT_EQ(tarvel::changedByPercent(26450, d("-10")), 23805);
    EXPECT_EQ(tarvel::changedByPercent(-3000, d("15")), -3450);
    EXPECT_EQ(tarvel::changedByPercent(999, d("-10")), 899);
    EXPECT_EQ(tarvel::changedByPercent(-999, d("-10")), -899);
    EXPECT_EQ(tarvel::changedByPercent(10000, d("-100")), 0);
    EXPECT_EQ(tarvel::changedByPercent(INT32_MAX, d("50")), INT32_MAX);
}

}  // namespace
}  // namespace kos::test
