#include "articles/DecimalField.h"

namespace kos {

namespace {

constexpr int MAX_DIGITS = 9;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int64_t power10(int n) {
    int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Up to MAX_DIGITS digits at text[i]; false when there are more.
bool readDigits(const std::string& text, size_t& i, uint32_t& value, int& digits) {
    value = 0;
    digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (++digits > MAX_DIGITS)
            return false;
        value = value * 10 + static_cast<uint32_t>(text[i] - '0');
        ++i;
    }
    return true;
}

}  // namespace

int64_t DecimalNumber::scaled(int scale) const {
    const int64_t v = static_cast<int64_t>(integer) * power10(scale) +
                      static_cast<int64_t>(fraction) * power10(scale - fractionDigits);
    return negative ? -v : v;
}

std::optional<DecimalNumber> parseDecimal(const std::string& whole) {
    const std::string text = whole.substr(0, DECIMAL_TEXT_LIMIT);
    DecimalNumber n;
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        n.negative = text[i++] == '-';
    int digits = 0;
    if (!readDigits(text, i, n.integer, digits) || digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == ',' || text[i] == '.')) {
        ++i;
        if (!readDigits(text, i, n.fraction, n.fractionDigits))
            return std::nullopt;
    }
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i != text.size())
        return std::nullopt;
    return n;
}

DecimalError checkDecimal(const DecimalNumber& n, const DecimalLimits& limits) {
    if (n.negative && !limits.negativeAllowed)
        return DecimalError::Negative;
    if (static_cast<int64_t>(n.integer) >= power10(limits.integerDigits))
        return DecimalError::IntegerDigits;
    if (n.fractionDigits > limits.decimals)
        return DecimalError::Decimals;
    return DecimalError::None;
}

DecimalError readDecimal(const std::string& text, const DecimalLimits& limits, int64_t& value) {
    const std::optional<DecimalNumber> n = parseDecimal(text);
    if (!n)
        return DecimalError::Format;
    const DecimalError e = checkDecimal(*n, limits);
    if (e == DecimalError::None)
        value = n->scaled(limits.decimals);
    return e;
}

std::string decimalMessage(DecimalError error) {
    switch (error) {
        case DecimalError::Format:
            return "Niepoprawny format liczby.";
        case DecimalError::Negative:
            return "Liczba nie może być ujemna.";
        case DecimalError::IntegerDigits:
            return "Za dużo cyfr w części całkowitej.";
        case DecimalError::Decimals:
            return "Za dużo cyfr w części ułamkowej.";
        case DecimalError::None:
            break;
    }
    return {};
}

std::string formatDecimal(int64_t value, int decimals) {
    const bool negative = value < 0;
    const uint64_t v =
        negative ? static_cast<uint64_t>(-(value + 1)) + 1 : static_cast<uint64_t>(value);
    const uint64_t scale = static_cast<uint64_t>(power10(decimals));
    std::string out = negative ? "-" : "";
    out += std::to_string(v / scale);
    if (decimals > 0) {
        std::string frac = std::to_string(v % scale);
        out += ',' + std::string(static_cast<size_t>(decimals) - frac.size(), '0') + frac;
    }
    return out;
}

}  // namespace kos
