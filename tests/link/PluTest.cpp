#include <gtest/gtest.h>

#include <cstring>

#include "link/Plu.h"

namespace kos {
namespace {

Plu plu(const char* text) {
    Plu p;
    EXPECT_TRUE(p.parse(text)) << text;
    return p;
}

TEST(PluTest, RefusesTextsThatAreNoCode) {
    const char* refused[] = {
        "", "0", "00000000000000", "123456789012345", " 12", "12a", "+12", "-1", "1 2", "12\n"};
    for (const char* text : refused) {
        Plu p;
        EXPECT_FALSE(p.parse(text)) << '"' << text << '"';
    }
    Plu p;
    EXPECT_FALSE(
        p.parse(std::string_view("1\0"
                                 "2",
                                 3)));
}

TEST(PluTest, ParsesRightAlignedWithLeadingZerosKept) {
    EXPECT_EQ(plu("1"), plu("00000000000001"));
    EXPECT_EQ(plu("1").toString(), "00000000000001");
    EXPECT_EQ(plu("00012"), plu("12"));
    EXPECT_EQ(plu("99999999999999").toString(), "99999999999999");
    EXPECT_EQ(plu("12345678901234").toString(), "12345678901234");
}

TEST(PluTest, StoresPackedBcdAndHashesTheLastFourBytes) {
    Plu p = plu("12");
    const uint8_t expected[7] = {0, 0, 0, 0, 0, 0, 0x12};
    EXPECT_EQ(0, std::memcmp(p.bcd().data(), expected, 7));
    EXPECT_EQ(0x12000000u, p.hashKey());

    Plu q = plu("12345678901234");
    const uint8_t expectedQ[7] = {0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34};
    EXPECT_EQ(0, std::memcmp(q.bcd().data(), expectedQ, 7));
    EXPECT_EQ(0x34129078u, q.hashKey());
}

TEST(PluTest, IncrementCarriesAndWraps) {
    struct Case {
        const char* from;
        const char* to;
    } cases[] = {
        {"9", "00000000000010"},
        {"99", "00000000000100"},
        {"00000000000001", "00000000000002"},
        {"1999999", "00000002000000"},
        {"99999999999998", "99999999999999"},
    };
    for (const auto& c : cases) {
        Plu p = plu(c.from);
        p.increment();
        EXPECT_EQ(c.to, p.toString()) << c.from;
    }
    Plu max = plu("99999999999999");
    max.increment();
    EXPECT_TRUE(max.isZero());
    EXPECT_EQ("00000000000000", max.toString());
}

TEST(PluTest, OrdersNumerically) {
    EXPECT_TRUE(plu("100") > plu("99"));
    EXPECT_TRUE(plu("99") < plu("100"));
    EXPECT_FALSE(plu("100") < plu("100"));
    EXPECT_TRUE(plu("10000000000000") > plu("9999999999999"));
    EXPECT_TRUE(plu("5") != plu("6"));
    EXPECT_FALSE(plu("5") != plu("00005"));
}

TEST(PluTest, SerializesTheSevenBytesRaw) {
    ByteWriter out;
    plu("12345678901234").serialize(out);
    EXPECT_EQ(std::string("\x12\x34\x56\x78\x90\x12\x34", 7), out.data());

    Plu back;
    ByteReader in(out.data());
    ASSERT_TRUE(back.deserialize(in));
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(plu("12345678901234"), back);

    std::string shortData("\x12\x34", 2);
    ByteReader shortIn(shortData);
    Plu untouched = plu("7");
    EXPECT_FALSE(untouched.deserialize(shortIn));
}

}  // namespace
}  // namespace kos
