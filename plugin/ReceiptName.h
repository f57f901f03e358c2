// The numbers at the end of a receipt file name ("..._<series>_<number>.txt").
#pragma once

#include <string>

namespace tarvel {

struct ReceiptNumbers {
    long receipt = 0;  // the number after the last '_'
    long before = 0;   // the number after the '_' before it, 0 when it is no number
};

ReceiptNumbers receiptNumbers(const std::string& fileName);

}  // namespace tarvel
