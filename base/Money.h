// Money in hundredths and quantities in thousandths, rendered as the integer part, a comma
// and exactly two or three digits. The sign is kept also when the integer part is 0:
// -500 thousandths is "-0,500".
#pragma once

#include <cstdint>
#include <string>

namespace kos {

std::string formatMoney(int32_t hundredths);      // "%ld,%02ld"
std::string formatQuantity(int32_t thousandths);  // "%ld,%03ld"

}  // namespace kos
