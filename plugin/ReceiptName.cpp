#include "plugin/ReceiptName.h"

#include <cstdlib>

namespace tarvel {

ReceiptNumbers receiptNumbers(const std::string& fileName) {
    ReceiptNumbers numbers;
    size_t last = fileName.rfind('_');
    if (last == std::string::npos)
        return numbers;
    numbers.receipt = std::strtol(fileName.c_str() + last + 1, nullptr, 10);
    if (last == 0)
        return numbers;
    size_t previous = fileName.rfind('_', last - 1);
    if (previous != std::string::npos)
        numbers.before = std::strtol(fileName.c_str() + previous + 1, nullptr, 10);
    return numbers;
}

}  // namespace tarvel
