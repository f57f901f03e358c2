#include "plugin/ExactDecimal.h"

#include <limits>

namespace tarvel {
namespace {

// Products of two billionths need more than 64 bits.
using Wide = __int128;

constexpr int DIGITS = 9;
constexpr int64_t LARGEST = DECIMAL_ONE * DECIMAL_ONE - 1;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Division in C++ cuts toward zero, which is the rounding wanted here.
int32_t cutToInt32(Wide numerator, Wide denominator) {
    Wide value = numerator / denominator;
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

int64_t parseDecimal(const char* text) {
    while (*text == ' ' || *text == '\t')
        ++text;
    bool negative = *text == '-';
    if (*text == '+' || *text == '-')
        ++text;
    int64_t whole = 0;
    bool saturated = false;
    for (; isDigit(*text); ++text) {
        whole = whole * 10 + (*text - '0');
        if (whole >= DECIMAL_ONE) {
            saturated = true;
            whole = DECIMAL_ONE - 1;
        }
    }
    int64_t fraction = 0;
    int fractionDigits = 0;
    if (*text == '.') {
        for (++text; isDigit(*text); ++text) {
            if (fractionDigits < DIGITS) {
                fraction = fraction * 10 + (*text - '0');
                ++fractionDigits;
            }
        }
    }
    for (; fractionDigits < DIGITS; ++fractionDigits)
        fraction *= 10;
    int64_t value = saturated ? LARGEST : whole * DECIMAL_ONE + fraction;
    return negative ? -value : value;
}

int32_t quantityThousandths(int64_t quantity) {
    return cutToInt32(quantity, DECIMAL_ONE / 1000);
}

int32_t saleValue(int64_t quantity, int64_t price) {
    // billionths × billionths are 10^-18; the value is in 10^-4.
    return cutToInt32(Wide(quantity) * price, Wide(DECIMAL_ONE) * DECIMAL_ONE / 10000);
}

int32_t changedByPercent(int32_t value, int64_t percent) {
    // 1 + percent / 100 in hundredths of billionths.
    const Wide hundred = Wide(100) * DECIMAL_ONE;
    return cutToInt32(Wide(value) * (hundred + percent), hundred);
}

}  // namespace tarvel
