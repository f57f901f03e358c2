#include "base/Bytes.h"

#include <cstring>

namespace kos {

void ByteWriter::u8(uint8_t v) {
    data_.push_back(static_cast<char>(v));
}

void ByteWriter::u16(uint16_t v) {
    u8(static_cast<uint8_t>(v));
    u8(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::u32(uint32_t v) {
    u16(static_cast<uint16_t>(v));
    u16(static_cast<uint16_t>(v >> 16));
}

void ByteWriter::bytes(const void* data, size_t n) {
    data_.append(static_cast<const char*>(data), n);
}

bool ByteReader::u8(uint8_t& v) {
    if (remaining() < 1)
        return false;
    v = static_cast<uint8_t>(data_[pos_++]);
    return true;
}

bool ByteReader::u16(uint16_t& v) {
    if (remaining() < 2)
        return false;
    uint8_t lo = 0, hi = 0;
    u8(lo);
    u8(hi);
    v = static_cast<uint16_t>(lo | (hi << 8));
    return true;
}

bool ByteReader::u32(uint32_t& v) {
    if (remaining() < 4)
        return false;
    uint16_t lo = 0, hi = 0;
    u16(lo);
    u16(hi);
    v = static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16);
    return true;
}

bool ByteReader::i32(int32_t& v) {
    uint32_t u = 0;
    if (!u32(u))
        return false;
    v = static_cast<int32_t>(u);
    return true;
}

bool ByteReader::bytes(void* out, size_t n) {
    if (remaining() < n)
        return false;
    if (n)
        std::memcpy(out, data_.data() + pos_, n);
    pos_ += n;
    return true;
}

bool ByteReader::bytes(std::string& out, size_t n) {
    if (remaining() < n)
        return false;
    out.assign(data_, pos_, n);
    pos_ += n;
    return true;
}

}  // namespace kos
