#include "plugin/DocumentLines.h"

#include <algorithm>
#include <cstring>

#include "plugin/HostCalls.h"
#include "plugin/Plugin.h"

namespace tarvel {
namespace {

// Right-aligned in 13 characters, leading characters up to '0' shown as dots.
void formatCode(char* code) {
    host::delSpaces(code);
    size_t length = strnlen(code, SALES_LINE_CODE_SIZE - 1);
    code[length] = '\0';
    if (length == 0)
        return;
    constexpr size_t FIELD = 13;
    if (length < FIELD) {
        std::memmove(code + FIELD - length, code, length + 1);
        std::memset(code, ' ', FIELD - length);
        length = FIELD;
    }
    for (size_t i = 0; i < FIELD && i < length; ++i) {
        if (static_cast<unsigned char>(code[i]) > '0')
            break;
        code[i] = '.';
    }
}

}  // namespace

void appendDocumentLines(const std::vector<SalesSlot>& slots, const DocumentArguments& doc) {
    const TableDescriptor* table = replacedTable(2).descriptor;
    if (!table || !table->recordBuffer)
        return;
    auto* buffer = static_cast<unsigned char*>(table->recordBuffer);
    size_t length = table->recordLength;
    unsigned char line[SALES_LINE_SIZE];
    for (const SalesSlot& slot : slots) {
        salesLineOf(slot, line);
        // A host record of another length gets what fits, never more.
        std::memset(buffer, 0, length);
        std::memcpy(buffer, line, std::min<size_t>(length, SALES_LINE_SIZE));
        if (length >= SALES_LINE_CODE + SALES_LINE_CODE_SIZE)
            formatCode(reinterpret_cast<char*>(buffer + SALES_LINE_CODE));
        host::appendLine(doc.lineCounter, doc.sums, doc.document);
        intptr_t columns = *reinterpret_cast<const intptr_t*>(doc.sums + SUMS_COLUMN_DATA);
        intptr_t record =
            *reinterpret_cast<const intptr_t*>(doc.document + DOCUMENT_CURRENT_RECORD);
        host::mathCol(doc.sums, columns, 1, record);
    }
}

}  // namespace tarvel
