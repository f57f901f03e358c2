#include "base/ArchiveString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Bytes.h"

namespace kos {
namespace {

std::string bytesOf(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

TEST(BytesTest, LittleEndianRoundTripAndShortReadsLeaveValuesAlone) {
    ByteWriter w;
    w.u8(0xAB);
    w.u16(0x1234);
    w.u32(0xDEADBEEF);
    w.i32(-2);
    EXPECT_EQ(w.data(),
              bytesOf({0xAB, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE, 0xFE, 0xFF, 0xFF, 0xFF}));

    ByteReader r(w.data());
    uint8_t a = 0;
    uint16_t b = 0;
    uint32_t c = 0;
    int32_t d = 0;
    ASSERT_TRUE(r.u8(a) && r.u16(b) && r.u32(c) && r.i32(d));
    EXPECT_EQ(a, 0xAB);
    EXPECT_EQ(b, 0x1234);
    EXPECT_EQ(c, 0xDEADBEEFu);
    EXPECT_EQ(d, -2);
    EXPECT_TRUE(r.atEnd());

    const std::string three = bytesOf({1, 2, 3});
    ByteReader s(three);
    uint32_t untouched = 77;
    EXPECT_FALSE(s.u32(untouched));
    EXPECT_EQ(untouched, 77u);
    EXPECT_EQ(s.position(), 0u);
    std::string out = "keep";
    EXPECT_FALSE(s.bytes(out, 4));
    EXPECT_EQ(out, "keep");
    EXPECT_TRUE(s.bytes(out, 3));
    EXPECT_EQ(out, three);
    uint8_t one = 9;
    EXPECT_FALSE(s.u8(one));
    EXPECT_EQ(one, 9);
}

TEST(ArchiveStringTest, WriterPicksThePrefixByLengthAndReaderRoundTrips) {
    struct Case {
        size_t length;
        std::string prefix;
    };
    const std::vector<Case> cases = {
        {0, bytesOf({0})},
        {254, bytesOf({254})},
        {255, bytesOf({0xFF, 0xFF, 0x00})},
        {0xFFFD, bytesOf({0xFF, 0xFD, 0xFF})},
        {0xFFFE, bytesOf({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, bytesOf({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        std::string text(c.length, '\xB9');  // code page 1250 letter, kept as is
        ByteWriter w;
        writeArchiveString(w, text);
        ASSERT_EQ(w.data().size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(w.data().substr(0, c.prefix.size()), c.prefix) << c.length;

        ByteReader r(w.data());
        std::string back;
        ASSERT_TRUE(readArchiveString(r, back)) << c.length;
        EXPECT_EQ(back, text) << c.length;
        EXPECT_TRUE(r.atEnd()) << c.length;
    }
}

TEST(ArchiveStringTest, Utf16FormIsReadAsCodePage1250) {
    // "Łódź" + "€" in UTF-16LE behind the wide mark and a one-byte unit count.
    const std::string data = bytesOf(
        {0xFF, 0xFE, 0xFF, 5, 0x41, 0x01, 0xF3, 0x00, 0x64, 0x00, 0x7A, 0x01, 0xAC, 0x20, 'x'});
    ByteReader r(data);
    std::string text;
    ASSERT_TRUE(readArchiveString(r, text));
    EXPECT_EQ(text, bytesOf({0xA3, 0xF3, 0x64, 0x9F, 0x80}));
    EXPECT_EQ(r.remaining(), 1u);

    // A character outside code page 1250 becomes '?'; the count may use the long form too.
    const std::string wide = bytesOf({0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 0x16, 0x04, 'A', 0});
    ByteReader w(wide);
    ASSERT_TRUE(readArchiveString(w, text));
    EXPECT_EQ(text, "?A");
}

TEST(ArchiveStringTest, TruncatedOrMalformedInputIsAReadError) {
    const std::vector<std::string> bad = {
        "",
        bytesOf({5, 'a', 'b'}),
        bytesOf({0xFF}),
        bytesOf({0xFF, 0x00}),
        bytesOf({0xFF, 0x00, 0x01, 'a'}),
        bytesOf({0xFF, 0xFF, 0xFF, 0x00, 0x00}),
        bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}),  // 4 GB announced
        bytesOf({0xFF, 0xFE, 0xFF}),
        bytesOf({0xFF, 0xFE, 0xFF, 2, 'a', 0, 'b'}),
        bytesOf({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0}),  // wide mark twice
        bytesOf({0xFF, 0xFE, 0xFF, 1, 0x00, 0xD8}),        // lone high surrogate
        bytesOf({0xFF, 0xFE, 0xFF, 1, 0x00, 0xDC}),        // lone low surrogate
        bytesOf({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}),
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        ByteReader r(bad[i]);
        std::string text = "unchanged";
        EXPECT_FALSE(readArchiveString(r, text)) << "case " << i;
    }
}

}  // namespace
}  // namespace kos
