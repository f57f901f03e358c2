#include "base/ArchiveString.h"

#include "base/Codepage.h"

namespace kos {

namespace {

constexpr uint16_t WIDE_MARK = 0xFFFE;
constexpr uint16_t LONG_MARK = 0xFFFF;

enum class Prefix { Length, Wide, Error };

// One length prefix; Wide for the UTF-16 mark (which has no length of its own).
Prefix readPrefix(ByteReader& in, uint32_t& n) {
    uint8_t b = 0;
    if (!in.u8(b))
        return Prefix::Error;
    if (b < 0xFF) {
        n = b;
        return Prefix::Length;
    }
    uint16_t w = 0;
    if (!in.u16(w))
        return Prefix::Error;
    if (w == WIDE_MARK)
        return Prefix::Wide;
    if (w < WIDE_MARK) {
        n = w;
        return Prefix::Length;
    }
    return in.u32(n) ? Prefix::Length : Prefix::Error;
}

}  // namespace

void writeArchiveString(ByteWriter& out, const std::string& text) {
    size_t n = text.size();
    if (n < 0xFF) {
        out.u8(static_cast<uint8_t>(n));
    } else if (n < WIDE_MARK) {
        out.u8(0xFF);
        out.u16(static_cast<uint16_t>(n));
    } else {
        out.u8(0xFF);
        out.u16(LONG_MARK);
        out.u32(static_cast<uint32_t>(n));
    }
    out.bytes(text.data(), n);
}

bool readArchiveString(ByteReader& in, std::string& text) {
    uint32_t n = 0;
    Prefix kind = readPrefix(in, n);
    if (kind == Prefix::Error)
        return false;
    if (kind == Prefix::Length)
        return in.bytes(text, n);
    // UTF-16: a second prefix counts code units; a second wide mark is not a length.
    if (readPrefix(in, n) != Prefix::Length)
        return false;
    std::string wide;
    if (!in.bytes(wide, static_cast<size_t>(n) * 2))
        return false;
    return utf16leToCp1250(wide, text);
}

}  // namespace kos
