// A receipt file into the plug-in's reader, under a name that carries valid numbers.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "plugin/ReceiptReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;  // fmemopen refuses an empty buffer
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    tarvel::ReceiptFile receipt = tarvel::readReceiptFile(file, "20261206_00001_123456_1_15.txt");
    std::fclose(file);
    unsigned char line[tarvel::SALES_LINE_SIZE];
    for (const tarvel::SalesSlot& slot : receipt.slots)
        tarvel::salesLineOf(slot, line);
    return 0;
}
