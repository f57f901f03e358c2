// The length-prefixed string of the document files (code page 1250 bytes, no terminator).
// Prefix: one byte n < 255; else 0xFF + uint16 n < 0xFFFE; else 0xFF, 0xFFFF, uint32 n.
// Reading also accepts 0xFF 0xFFFE, a UTF-16LE string converted to code page 1250.
#pragma once

#include <string>

#include "base/Bytes.h"

namespace kos {

void writeArchiveString(ByteWriter& out, const std::string& text);
// False on a short read or a UTF-16 string that cannot be converted.
bool readArchiveString(ByteReader& in, std::string& text);

}  // namespace kos
