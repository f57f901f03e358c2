#include <gtest/gtest.h>

#include "online/EcrLine.h"

namespace kos {
namespace {

TEST(MessageTest, DecimalNumbersBecomeThousandths) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"2", true, 2000},
        {"0.5", true, 500},
        {"-1.25", true, -1250},
        {"1.23456", true, 1234},
        {" \t+3.\t ", true, 3000},
        {"123456789", false, 0},
        {"2147483", true, 2147483000},
        {"-2147483.648", true, INT32_MIN},
        {"2147483.648", false, 0},
        {"1234567890", false, 0},
        {"200001000120001000124", false, 0},  // 21 digits once overflowed the sum
        {".5", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"1,5", false, 0},
        {"1.5x", false, 0},
        {"1 .5", false, 0},
        {"1.1234567890", false, 0},
        {"1.123456789", true, 1123},
        {"--1", false, 0},
    };
    for (const auto& c : cases) {
        int32_t v = 0;
        EXPECT_EQ(c.ok, parseDecimal(c.text, v)) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(c.value, v) << c.text;
        }
    }
}

TEST(MessageTest, IntegerFields) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"", true, 0},      {"  ", true, 0},
        {" 42 ", true, 42}, {"-7", true, -7},
        {"42x", false, 0},  {"4 2", false, 0},
        {"+", false, 0},    {"2147483648", false, 0},
        {"\t1", false, 0},  {"-2147483648", true, INT32_MIN},
    };
    for (const auto& c : cases) {
        int32_t v = 99;
        EXPECT_EQ(c.ok, parseInteger(c.text, v)) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(c.value, v) << c.text;
        }
    }
}

std::string end20(const std::string& fields3to19) {
    return "S;1;3;" + fields3to19;
}

TEST(MessageTest, ValidMessagesAndTheirFields) {
    EcrLine l;
    ASSERT_TRUE(l.parse("  SN 1  ;7;0;00012;3.20;1.5;extra"));
    EXPECT_EQ(LINE_SALE, l.type);
    EXPECT_EQ("SN 1", l.serialNumber);
    EXPECT_EQ(7, l.seq);
    EXPECT_EQ("00000000000012", l.plu.toString());
    EXPECT_EQ(1500, l.quantity);

    EcrLine noPlu;
    ASSERT_TRUE(noPlu.parse("S;;;;x;-2;"));
    EXPECT_EQ(LINE_SALE_NO_PLU, noPlu.type);
    EXPECT_EQ(0, noPlu.seq);
    EXPECT_EQ(-2000, noPlu.quantity);

    EcrLine percent;
    ASSERT_TRUE(percent.parse("S;2;2;a;b;c;"));
    EXPECT_EQ(LINE_PERCENT, percent.type);

    EcrLine other;
    ASSERT_TRUE(other.parse("S;3;Z;"));
    EXPECT_EQ(LINE_OTHER, other.type);

    EcrLine end;
    ASSERT_TRUE(end.parse(end20(" 6 ;a;b;c;d; 0 ;-3;e;f;g;h;i;j;k;l;m;n;")));
    EXPECT_EQ(LINE_END, end.type);
    EXPECT_EQ(6, end.closeKind);
    EXPECT_EQ(0, end.receiptNumber);
    EXPECT_EQ(-3, end.receiptSeries);

    EcrLine idle;
    ASSERT_TRUE(idle.parse(" S ;"));
    EXPECT_EQ(LINE_IDLE, idle.type);
    EXPECT_EQ("S", idle.serialNumber);
    EXPECT_EQ(NO_SEQ, idle.seq);
    EXPECT_EQ(" S ;", idle.text);
}

TEST(MessageTest, InvalidMessages) {
    const std::string invalid[] = {
        "",
        "S",
        "  ;",
        ";1;0;5;1;1;",
        "S;12;0;5;1;1;",
        "S;a;0;5;1;1;",
        "S;1",
        "S;1;00;5;1;1;",
        "S;1;0;5;1;",
        "S;1;0;5;1;x;",
        "S;1;0;0;1;1;",
        "S;1;0;123456789012345;1;1;",
        "S;1;0; 5;1;1;",
        "S;1;2;a;b;",
        end20("1;a;b;c;d;1;1;e;f;g;h;i;j;k;l;m;"),  // 19 fields
        end20("1x;a;b;c;d;1;1;e;f;g;h;i;j;k;l;m;n;"),
        end20("1;a;b;c;d;1.5;1;e;f;g;h;i;j;k;l;m;n;"),
        "../x;1;0;5;1;1;",
        "..;",
        "a/b;",
        std::string("a\0b;", 4),
    };
    for (const std::string& m : invalid) {
        EcrLine l;
        EXPECT_FALSE(l.parse(m)) << '"' << m << '"';
    }
}

}  // namespace
}  // namespace kos
