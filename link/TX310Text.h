// Fields of a register message and the register's character set.
#pragma once

#include <string>

namespace kos {

// Takes the text before the first ";" from message into field and removes it with the ";".
// False when message holds no ";".
bool nextField(std::string& message, std::string& field);
// Code page 1250 text -> register characters (upper case, Polish letters as $'()[\]^_).
std::string toEcrText(const std::string& text);
// Register characters -> code page 1250 capitals.
std::string fromEcrText(const std::string& text);

}  // namespace kos
