// Read mode 1: the slots of a receipt file become new lines of the host's document.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/ReceiptReader.h"

namespace tarvel {

// Handler arguments 3, 6, 8 and 9.
struct DocumentArguments {
    int32_t* lineCounter;
    intptr_t sums;
    intptr_t document;
    intptr_t indexes;
};

// Appends one line per slot through table 2's record buffer and adds it into the sums.
void appendDocumentLines(const std::vector<SalesSlot>& slots, const DocumentArguments& doc);

}  // namespace tarvel
