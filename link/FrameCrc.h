// The check sum of a register frame.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kos {

// CRC-16, polynomial 0x8001, initial value given, MSB first, no reflection, no final XOR.
uint16_t frameCrc(const void* data, size_t len, uint16_t start = 0);

}  // namespace kos
