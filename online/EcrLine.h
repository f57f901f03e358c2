// One message received from a register in online mode, and its parser.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/Plu.h"

namespace kos {

enum EcrLineType : int {
    LINE_NONE = 0,
    LINE_OTHER = 1,
    LINE_SALE = 2,
    LINE_SALE_NO_PLU = 3,
    LINE_PERCENT = 4,
    LINE_END = 5,
    LINE_IDLE = 6,
};

inline constexpr uint8_t NO_SEQ = 255;

struct EcrLine {
    std::string text;  // the message exactly as received
    uint8_t seq = NO_SEQ;
    int type = LINE_NONE;
    std::string serialNumber;
    Plu plu;
    int32_t quantity = 0;  // thousandths
    bool counted = false;
    int32_t receiptNumber = -1;
    int32_t receiptSeries = -1;
    int32_t closeKind = -1;

    // Fills this line from a message; false when the message is invalid.
    bool parse(const std::string& message);
};

// "[blanks][sign]digits[.digits][blanks]" in thousandths; extra fraction digits are cut off.
// False for anything else or a value outside int32.
bool parseDecimal(std::string_view text, int32_t& thousandths);
// Trimmed of spaces; empty reads 0; an optional sign and digits, nothing after.
bool parseInteger(std::string_view text, int32_t& value);
// A serial number that can be part of a file name: no "/", "\", NUL or control byte, not "."
// or "..", and short enough for a file name.
bool isSafeSerialNumber(std::string_view serial);

}  // namespace kos
