// Reads one receipt file into sales slots and the lines of the parameter file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "plugin/HostApi.h"

namespace tarvel {

constexpr int MAX_SLOTS = 300;

struct SalesSlot {
    char code[SALES_LINE_CODE_SIZE] = {};
    int32_t quantity = 0;  // thousandths; 0 means empty
    int32_t value = 0;     // ten-thousandths of the currency unit
};

enum class ReceiptFileStatus { Read, ReadError, TooLong, Incomplete };

struct ReceiptFile {
    ReceiptFileStatus status = ReceiptFileStatus::Read;
    std::vector<SalesSlot> slots;  // every slot taken, empty ones included
    std::string parameterLines;    // "Kasa%d.par" lines of every completed receipt
};

// Reads an open receipt file to its end (the caller closes it); fileName is the bare name, which
// carries the receipt's numbers.
ReceiptFile readReceiptFile(FILE* file, const std::string& fileName);

// The 113-byte sales line of a slot.
void salesLineOf(const SalesSlot& slot, unsigned char* line);

}  // namespace tarvel
