// The register's article code: up to 14 decimal digits held as 7 bytes of packed BCD, digit 1
// (the most significant) in the high nibble of byte 0. Byte-wise order is numeric order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Bytes.h"

namespace kos {

class Plu {
public:
    static constexpr int DIGITS = 14;
    static constexpr int BYTES = 7;
    // Size of the caller's buffer for text(): 14 digits and a terminating NUL.
    static constexpr size_t TEXT_SIZE = DIGITS + 1;

    Plu() = default;

    // True for 1 to 14 ASCII digits, not all zero; the value is right-aligned. After a refusal
    // the value is unspecified and must be discarded.
    bool parse(std::string_view text);

    // Writes the 14 digits and a NUL into out (TEXT_SIZE bytes, owned by the caller: several
    // threads format codes at once). Returns out.
    char* text(char* out) const;
    std::string toString() const;

    // Adds 1; fourteen nines wrap to zero.
    void increment();
    bool isZero() const;

    uint32_t hashKey() const;

    int digit(int position) const;  // position 1..14
    const std::array<uint8_t, BYTES>& bcd() const { return bcd_; }
    void setBcd(const uint8_t* bytes);

    // The 7 bytes in order, nothing else.
    void serialize(ByteWriter& out) const;
    bool deserialize(ByteReader& in);

    bool operator==(const Plu& o) const { return bcd_ == o.bcd_; }
    bool operator!=(const Plu& o) const { return bcd_ != o.bcd_; }
    bool operator<(const Plu& o) const { return bcd_ < o.bcd_; }
    bool operator>(const Plu& o) const { return o.bcd_ < bcd_; }

private:
    void setDigit(int position, int value);

    std::array<uint8_t, BYTES> bcd_{};
};

struct PluHash {
    size_t operator()(const Plu& plu) const { return plu.hashKey(); }
};

}  // namespace kos
