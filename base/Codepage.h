// Code page 1250 (the data's encoding) <-> UTF-8 (what a person reads), through iconv.
#pragma once

#include <string>

namespace kos {

// Bytes without a UTF-8 counterpart become '?'.
std::string cp1250ToUtf8(const std::string& text);
// Characters without a code page 1250 counterpart become '?'.
std::string utf8ToCp1250(const std::string& text);
// False when a character has no code page 1250 counterpart or the UTF-8 is malformed.
bool utf8ToCp1250Exact(const std::string& text, std::string& out);
// UTF-16LE bytes (even length) to code page 1250; false when the input is malformed.
bool utf16leToCp1250(const std::string& utf16le, std::string& out);

}  // namespace kos
