#include "articles/Article.h"

#include "base/ArchiveString.h"

namespace kos {

namespace {

bool isBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Upper case of one code page 1250 byte.
char upper1250(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 0x20);
    switch (c) {
        case 0x9A:  // š
        case 0x9C:  // ś
        case 0x9D:  // ť
        case 0x9E:  // ž
        case 0x9F:  // ź
            return static_cast<char>(c - 0x10);
        case 0xB3:  // ł
            return static_cast<char>(0xA3);
        case 0xB9:  // ą
            return static_cast<char>(0xA5);
        case 0xBE:  // ľ
            return static_cast<char>(0xBC);
        case 0xBF:  // ż
            return static_cast<char>(0xAF);
        default:
            break;
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<char>(c - 0x20);
    return ch;
}

}  // namespace

std::string nameKey(const std::string& name) {
    std::string key;
    key.reserve(name.size());
    for (char c : name)
        if (c != ' ')
            key += c;
    return key;
}

bool Article::nameEquals(const std::string& text) const {
    return nameKey(name) == nameKey(text);
}

std::string normalizeName(const std::string& cp1250) {
    size_t begin = 0;
    size_t end = cp1250.size();
    while (begin < end && isBlank(static_cast<unsigned char>(cp1250[begin])))
        ++begin;
    while (end > begin && isBlank(static_cast<unsigned char>(cp1250[end - 1])))
        --end;
    std::string out = cp1250.substr(begin, end - begin);
    for (char& c : out)
        c = upper1250(c);
    return out;
}

void Article::serialize(ByteWriter& out) const {
    plu.serialize(out);
    writeArchiveString(out, name);
    out.i32(price);
    out.u8(openPrice ? 1 : 0);
    out.u8(vat);
    out.u8(modified ? 1 : 0);
    out.i32(saleQuantity);
    out.i32(saleValue);
}

bool Article::deserialize(ByteReader& in, uint16_t schema) {
    uint8_t open = 0;
    if (!plu.deserialize(in) || !readArchiveString(in, name) || !in.i32(price) || !in.u8(open) ||
        !in.u8(vat))
        return false;
    openPrice = open == 1;
    if (schema >= 2) {
        uint8_t mod = 0;
        if (!in.u8(mod))
            return false;
        modified = mod == 1;
    }
    if (schema >= 3 && !(in.i32(saleQuantity) && in.i32(saleValue)))
        return false;
    return true;
}

}  // namespace kos
