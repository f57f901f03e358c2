// Decimal numbers of receipt lines held exactly, so that quantities, values and percentage
// changes are cut toward zero from their exact decimal result, not from a binary approximation.
#pragma once

#include <cstdint>

namespace tarvel {

// A decimal number in billionths.
constexpr int64_t DECIMAL_ONE = 1000000000;

// Optional blanks and tabs, an optional sign, digits, then optionally '.' and digits; reading stops
// at the first other character and nothing readable gives 0, whatever locale the host has set.
// Fraction digits beyond the ninth are cut off; a whole part beyond nine digits saturates.
int64_t parseDecimal(const char* text);

// quantity × 1000, cut toward zero; int32 limits saturate.
int32_t quantityThousandths(int64_t quantity);
// quantity × price × 10000, cut toward zero; int32 limits saturate.
int32_t saleValue(int64_t quantity, int64_t price);
// value × (1 + percent × 0.01), cut toward zero; int32 limits saturate.
int32_t changedByPercent(int32_t value, int64_t percent);

}  // namespace tarvel
