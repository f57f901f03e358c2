#include "ReceiptMaker.h"

namespace kos::ecrsim {

uint32_t ReceiptMaker::next(uint32_t bound) {
    // xorshift: deterministic per seed, so a run can be repeated.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ % bound;
}

ReceiptLine ReceiptMaker::sale(const SimArticle& article, int32_t quantity) {
    ReceiptLine line;
    line.plu = article.plu;
    line.quantity = quantity;
    line.amount = static_cast<int32_t>((static_cast<int64_t>(article.price) * quantity) / 1000);
    line.body = "0;" + article.plu + ";" + formatDecimal(article.price, 100) + ";" +
                formatDecimal(quantity, 1000) + ";" + formatDecimal(line.amount, 100) + ";";
    return line;
}

ReceiptLine ReceiptMaker::saleWithoutPlu(int32_t value) {
    ReceiptLine line;
    line.amount = value;
    line.body = "0;;" + formatDecimal(value, 100) + ";" + formatDecimal(value, 100) + ";";
    return line;
}

ReceiptLine ReceiptMaker::percentChange(int scope, int32_t hundredthsOfPercent) {
    ReceiptLine line;
    line.body = "2;" + std::to_string(scope) + ";;" + formatDecimal(hundredthsOfPercent, 100) + ";";
    return line;
}

// Fields 3 to 19 of the end line: close kind, total and payments, number, series, the rest 0.
ReceiptLine ReceiptMaker::end(long series, long number, int32_t total, int closeKind) {
    ReceiptLine line;
    line.end = true;
    line.series = series;
    line.number = number;
    line.body = "3;" + std::to_string(closeKind) + ";" + formatDecimal(total, 100) + ";" +
                formatDecimal(total, 100) + ";0.00;0;" + std::to_string(number) + ";" +
                std::to_string(series) + ";";
    for (int field = 10; field <= 19; ++field)
        line.body += "0;";
    return line;
}

std::vector<ReceiptLine> ReceiptMaker::make(const std::map<std::string, SimArticle>& articles,
                                            long series, long number, int saleLines) {
    std::vector<ReceiptLine> lines;
    int64_t total = 0;
    for (int i = 0; i < saleLines; ++i) {
        ReceiptLine line;
        if (articles.empty() || next(6) == 0) {
            line = saleWithoutPlu(static_cast<int32_t>(100 + next(5000)));
        } else {
            auto it = articles.begin();
            std::advance(it, next(static_cast<uint32_t>(articles.size())));
            // Whole pieces mostly, now and then a weighed half.
            int32_t quantity = next(4) == 0 ? 500 : static_cast<int32_t>(1000 * (1 + next(3)));
            line = sale(it->second, quantity);
        }
        total += line.amount;
        lines.push_back(line);
    }
    if (saleLines > 0 && next(5) == 0)
        lines.push_back(percentChange(0, -500));
    lines.push_back(end(series, number, static_cast<int32_t>(total)));
    return lines;
}

}  // namespace kos::ecrsim
