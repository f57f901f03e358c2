#include "link/FrameCrc.h"

#include <array>

namespace kos {

namespace {

// Entry i is the CRC of the single byte i under the polynomial x^16 + x^15 + 1.
std::array<uint16_t, 256> makeCrcTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x8001)
                                 : static_cast<uint16_t>(crc << 1);
        table[i] = crc;
    }
    return table;
}

}  // namespace

uint16_t frameCrc(const void* data, size_t len, uint16_t start) {
    static const std::array<uint16_t, 256> table = makeCrcTable();
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t crc = start;
    for (size_t i = 0; i < len; ++i)
        crc = ((crc << 8) ^ table[((crc >> 8) ^ p[i]) & 0xFF]) & 0xFFFF;
    return static_cast<uint16_t>(crc);
}

}  // namespace kos
