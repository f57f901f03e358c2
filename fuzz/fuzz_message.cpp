// A register's online message, as the poll step parses it, and its number fields.
#include <cstddef>
#include <cstdint>
#include <string>

#include "online/EcrLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string message(reinterpret_cast<const char*>(data), size);
    kos::EcrLine line;
    if (line.parse(message) && (line.type < kos::LINE_OTHER || line.type > kos::LINE_IDLE))
        __builtin_trap();  // a parsed line always has a type
    int32_t value = 0;
    kos::parseDecimal(message, value);
    kos::parseInteger(message, value);
    kos::isSafeSerialNumber(message);
    return 0;
}
