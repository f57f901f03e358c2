// The decimal entry field: one parser for every price, quantity and value typed or pasted.
// Text: optional blanks, optional sign, 1-9 digits, optionally "," or "." and up to 9 decimals,
// optional blanks; only the first 99 characters are read. A value is then checked against the
// field's limits: sign first, integer digits (leading zeros do not count), then decimals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kos {

struct DecimalLimits {
    int integerDigits = 5;
    int decimals = 2;
    bool negativeAllowed = false;
};

struct DecimalNumber {
    bool negative = false;
    uint32_t integer = 0;
    uint32_t fraction = 0;   // the decimals as typed, as a number
    int fractionDigits = 0;  // how many were typed

    // integer * 10^scale plus the typed decimals scaled to scale digits (fractionDigits <=
    // scale), with the sign.
    int64_t scaled(int scale) const;
};

enum class DecimalError { None, Format, Negative, IntegerDigits, Decimals };

inline constexpr size_t DECIMAL_TEXT_LIMIT = 99;

std::optional<DecimalNumber> parseDecimal(const std::string& text);
DecimalError checkDecimal(const DecimalNumber& number, const DecimalLimits& limits);

// Parses and checks; on success value holds the number scaled to limits.decimals.
DecimalError readDecimal(const std::string& text, const DecimalLimits& limits, int64_t& value);

// The field's message for an error (UTF-8); empty for None.
std::string decimalMessage(DecimalError error);

// How a field shows value (scaled by decimals): integer part, then a comma and the decimals
// zero-padded when the field has any, "-" in front of a negative value. 1250, 2 -> "12,50".
std::string formatDecimal(int64_t value, int decimals);

}  // namespace kos
