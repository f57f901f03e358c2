#include "plugin/ExactDecimal.h"

#include <limits>

namespace tarvel {
namespace {

constexpr int DIGITS = 9;
constexpr int64_t LARGEST = DECIMAL_ONE * DECIMAL_ONE - 1;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Products of two billionths need more than 64 bits, and 32-bit targets have no 128-bit type:
// the magnitude of a product as two 64-bit halves.
struct Magnitude {
    uint64_t high;
    uint64_t low;
};

uint64_t magnitudeOf(int64_t value) {
    return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

Magnitude multiply(uint64_t a, uint64_t b) {
    uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
    uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
    uint64_t lowLow = aLow * bLow;
    uint64_t middle1 = aHigh * bLow + (lowLow >> 32);
    uint64_t middle2 = aLow * bHigh + (middle1 & 0xFFFFFFFFu);
    uint64_t high = aHigh * bHigh + (middle1 >> 32) + (middle2 >> 32);
    return {high, (middle2 << 32) | (lowLow & 0xFFFFFFFFu)};
}

// The quotient cut toward zero, or more than INT32_MAX when it does not fit 32 bits.
uint64_t divide(Magnitude dividend, uint64_t divisor) {
    uint64_t remainder = 0;
    uint64_t quotient = 0;
    for (int bit = 127; bit >= 0; --bit) {
        uint64_t next = bit >= 64 ? (dividend.high >> (bit - 64)) & 1 : (dividend.low >> bit) & 1;
        bool carry = remainder >> 63;
        remainder = (remainder << 1) | next;
        bool subtract = carry || remainder >= divisor;
        if (subtract)
            remainder -= divisor;
        if (quotient >> 40)  // far beyond 32 bits: the rest no longer matters
            return quotient;
        quotient = (quotient << 1) | (subtract ? 1 : 0);
    }
    return quotient;
}

// a × b ÷ divisor, cut toward zero (as C++ division cuts); int32 limits saturate.
int32_t cutToInt32(int64_t a, int64_t b, uint64_t divisor) {
    bool negative = (a < 0) != (b < 0);
    uint64_t quotient = divide(multiply(magnitudeOf(a), magnitudeOf(b)), divisor);
    constexpr uint64_t MAX = std::numeric_limits<int32_t>::max();
    if (!negative)
        return quotient > MAX ? std::numeric_limits<int32_t>::max()
                              : static_cast<int32_t>(quotient);
    return quotient > MAX + 1 ? std::numeric_limits<int32_t>::min()
                              : static_cast<int32_t>(0 - static_cast<int64_t>(quotient));
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
    return cutToInt32(quantity, 1, DECIMAL_ONE / 1000);
}

int32_t saleValue(int64_t quantity, int64_t price) {
    // billionths × billionths are 10^-18; the value is in 10^-4.
    return cutToInt32(quantity, price, uint64_t(DECIMAL_ONE) * DECIMAL_ONE / 10000);
}

int32_t changedByPercent(int32_t value, int64_t percent) {
    // 1 + percent / 100 in hundredths of billionths.
    const int64_t hundred = 100 * DECIMAL_ONE;
    return cutToInt32(value, hundred + percent, hundred);
}

}  // namespace tarvel
