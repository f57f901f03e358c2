// The text of the "Dodaj kasy" dialog: register numbers separated by commas ("8,2,56").
#pragma once

#include <cstdint>
#include <string>

namespace kos {

// Cuts the next token off `text` (the part before the first comma, trimmed; all of it when
// there is no comma). Call while `text` is not empty.
std::string takeRegisterToken(std::string& text);

// A decimal integer that fills the token completely (optional sign); false otherwise, also
// for a number outside int32.
bool parseRegisterNumber(const std::string& token, int32_t& number);

}  // namespace kos
