// Rings up receipts as a register would report them online: sale lines, now and then a sale
// without an article code and a percentage change, and an end line with series and number.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "SimRegister.h"

namespace kos::ecrsim {

class ReceiptMaker {
public:
    explicit ReceiptMaker(uint32_t seed) : state_(seed ? seed : 1) {}

    // saleLines sale lines (from the article table; sales without a code when it is empty).
    std::vector<ReceiptLine> make(const std::map<std::string, SimArticle>& articles, long series,
                                  long number, int saleLines);

    static ReceiptLine sale(const SimArticle& article, int32_t quantity);
    static ReceiptLine saleWithoutPlu(int32_t value);
    static ReceiptLine percentChange(int scope, int32_t hundredthsOfPercent);
    static ReceiptLine end(long series, long number, int32_t total, int closeKind = 0);

private:
    uint32_t next(uint32_t bound);

    uint32_t state_;
};

}  // namespace kos::ecrsim
