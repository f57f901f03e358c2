#include "link/Plu.h"

namespace kos {

int Plu::digit(int position) const {
    uint8_t b = bcd_[(position - 1) / 2];
    return (position % 2) ? (b >> 4) : (b & 0x0F);
}

void Plu::setDigit(int position, int value) {
    uint8_t& b = bcd_[(position - 1) / 2];
    if (position % 2)
        b = static_cast<uint8_t>((b & 0x0F) | (value << 4));
    else
        b = static_cast<uint8_t>((b & 0xF0) | value);
}

bool Plu::parse(std::string_view text) {
    bcd_.fill(0);
    const size_t k = text.size();
    if (k == 0 || k > DIGITS)
        return false;
    for (size_t j = 0; j < k; ++j) {
        char c = text[j];
        if (c < '0' || c > '9')
            return false;
        setDigit(static_cast<int>(DIGITS + 1 - k + j), c - '0');
    }
    return !isZero();
}

char* Plu::text(char* out) const {
    for (int p = 1; p <= DIGITS; ++p)
        out[p - 1] = static_cast<char>('0' + digit(p));
    out[DIGITS] = '\0';
    return out;
}

std::string Plu::toString() const {
    char buf[TEXT_SIZE];
    return text(buf);
}

void Plu::increment() {
    for (int p = DIGITS; p >= 1; --p) {
        int d = digit(p) + 1;
        if (d < 10) {
            setDigit(p, d);
            return;
        }
        setDigit(p, 0);
    }
}

bool Plu::isZero() const {
    for (uint8_t b : bcd_)
        if (b)
            return false;
    return true;
}

uint32_t Plu::hashKey() const {
    return static_cast<uint32_t>(bcd_[3]) | (static_cast<uint32_t>(bcd_[4]) << 8) |
           (static_cast<uint32_t>(bcd_[5]) << 16) | (static_cast<uint32_t>(bcd_[6]) << 24);
}

void Plu::setBcd(const uint8_t* bytes) {
    for (int i = 0; i < BYTES; ++i)
        bcd_[i] = bytes[i];
}

void Plu::serialize(ByteWriter& out) const {
    out.bytes(bcd_.data(), BYTES);
}

bool Plu::deserialize(ByteReader& in) {
    return in.bytes(bcd_.data(), BYTES);
}

}  // namespace kos
