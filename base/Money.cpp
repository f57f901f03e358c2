#include "base/Money.h"

#include <cinttypes>
#include <cstdio>

namespace kos {

namespace {

// Integer part, comma, fraction of `digits` digits; the sign also for an integer part of 0.
std::string formatFixed(int32_t value, int64_t scale, int digits) {
    int64_t v = value;
    const char* sign = v < 0 ? "-" : "";
    if (v < 0)
        v = -v;
    char buf[32];
    snprintf(buf, sizeof buf, "%s%" PRId64 ",%0*" PRId64, sign, v / scale, digits, v % scale);
    return buf;
}

}  // namespace

std::string formatMoney(int32_t hundredths) {
    return formatFixed(hundredths, 100, 2);
}

std::string formatQuantity(int32_t thousandths) {
    return formatFixed(thousandths, 1000, 3);
}

}  // namespace kos
