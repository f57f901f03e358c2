#include "plugin/ReceiptReader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plugin/ExactDecimal.h"
#include "plugin/HostCalls.h"
#include "plugin/ReceiptName.h"

namespace tarvel {
namespace {

constexpr int LINE_LIMIT = 255;
constexpr int KIND_SALE = 0;
constexpr int KIND_PERCENTAGE = 2;
constexpr int KIND_END = 3;

// Drops what is left of a line that did not fit, through its line end, so that the rest of it
// is never taken for a line of its own.
void skipRestOfLine(FILE* file) {
    int c;
    do {
        c = std::getc(file);
    } while (c != EOF && c != '\n');
}

// A line of at most 255 characters as a text-mode read gives it: CR LF becomes LF. Characters
// beyond the 255th are dropped. Returns false at the end of the file or on a read error.
bool readLine(FILE* file, char (&line)[LINE_LIMIT + 1]) {
    int length = 0;
    while (length < LINE_LIMIT) {
        int c = std::getc(file);
        if (c == EOF)
            break;
        if (c == '\r') {
            int next = std::getc(file);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, file);
            }
        }
        line[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    line[length] = '\0';
    if (length == LINE_LIMIT && line[length - 1] != '\n')
        skipRestOfLine(file);
    return length > 0;
}

class Reader {
public:
    Reader(const std::string& fileName, ReceiptFile& out)
        : numbers_(receiptNumbers(fileName)), out_(out) {}

    // The online server writes a receipt file only when the receipt has ended; a file without
    // that end is still being written or was left broken.
    bool complete() const { return lastKind_ == KIND_END; }

    // False once the 300 slots are taken.
    bool hasRoom() const { return out_.slots.size() < MAX_SLOTS; }

    void takeLine(const char* line) {
        char field[LINE_LIMIT + 1] = {};
        host::dajParametrEx(2, line, field, ';', static_cast<int32_t>(std::strlen(line)));
        int kind = std::atoi(field);
        lastKind_ = kind;
        if (kind == KIND_PERCENTAGE) {
            applyPercentage(line);
            return;
        }
        SalesSlot slot;
        if (kind == KIND_SALE)
            fillSale(line, slot);
        out_.slots.push_back(slot);
        if (kind == KIND_END) {
            writeReceipt();
            receiptStart_ = out_.slots.size();
        }
    }

private:
    static void fillSale(const char* line, SalesSlot& slot) {
        char field[LINE_LIMIT + 1] = {};
        host::dajParametr(3, line, field);
        // The code field holds 15 characters and the NUL; a longer code is cut.
        std::memcpy(slot.code, field, strnlen(field, sizeof(slot.code) - 1));
        std::memset(field, 0, sizeof(field));
        host::dajParametr(5, line, field);
        int64_t quantity = parseDecimal(field);
        std::memset(field, 0, sizeof(field));
        host::dajParametr(4, line, field);
        int64_t price = parseDecimal(field);
        slot.quantity = quantityThousandths(quantity);
        slot.value = saleValue(quantity, price);
    }

    // Scope 0 changes the last slot, any other scope every slot of the receipt so far.
    void applyPercentage(const char* line) {
        char field[LINE_LIMIT + 1] = {};
        host::dajParametr(3, line, field);
        int scope = std::atoi(field);
        std::memset(field, 0, sizeof(field));
        host::dajParametr(5, line, field);
        int64_t percent = parseDecimal(field);
        size_t end = out_.slots.size();
        if (end == receiptStart_)
            return;
        size_t first = scope == 0 ? end - 1 : receiptStart_;
        for (size_t i = first; i < end; ++i)
            out_.slots[i].value = changedByPercent(out_.slots[i].value, percent);
    }

    // The sales of the receipt that just ended; ordinals go on across receipts of one file so
    // that a receipt written twice keeps every line distinct.
    void writeReceipt() {
        for (size_t i = receiptStart_; i < out_.slots.size(); ++i) {
            const SalesSlot& slot = out_.slots[i];
            if (slot.quantity == 0)
                continue;
            char line[128];
            std::snprintf(line, sizeof(line), "$%ld\t%ld\t%d\t%d\t%s\t%.3f\t%.f\n", numbers_.before,
                          numbers_.receipt, ++ordinal_, 0, slot.code, slot.quantity / 1000.0,
                          slot.value * 0.01);
            out_.parameterLines += line;
        }
    }

    ReceiptNumbers numbers_;
    ReceiptFile& out_;
    size_t receiptStart_ = 0;
    int ordinal_ = 0;
    int lastKind_ = -1;
};

}  // namespace

ReceiptFile readReceiptFile(FILE* file, const std::string& fileName) {
    ReceiptFile out;
    Reader reader(fileName, out);
    char line[LINE_LIMIT + 1];
    bool more = true;
    while (reader.hasRoom() && (more = readLine(file, line)))
        reader.takeLine(line);
    if (std::ferror(file))
        out.status = ReceiptFileStatus::ReadError;
    else if (more && readLine(file, line))
        out.status = ReceiptFileStatus::TooLong;
    else if (std::ferror(file))
        out.status = ReceiptFileStatus::ReadError;
    else if (!reader.complete())
        out.status = ReceiptFileStatus::Incomplete;
    if (out.status != ReceiptFileStatus::Read) {
        out.slots.clear();
        out.parameterLines.clear();
    }
    return out;
}

void salesLineOf(const SalesSlot& slot, unsigned char* line) {
    std::memset(line, 0, SALES_LINE_SIZE);
    std::memcpy(line + SALES_LINE_CODE, slot.code, sizeof(slot.code));
    std::memcpy(line + SALES_LINE_QUANTITY, &slot.quantity, sizeof(slot.quantity));
    std::memcpy(line + SALES_LINE_VALUE, &slot.value, sizeof(slot.value));
}

}  // namespace tarvel
