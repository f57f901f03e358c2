// Start-up with the compatibility tests, the replaced table handlers and shut-down.
#pragma once

#include "plugin/FileLayer.h"
#include "plugin/HostApi.h"

namespace tarvel {

struct ReplacedTable {
    TableDescriptor* descriptor = nullptr;  // null while the handler is not replaced
    TableHandler saved = nullptr;
};

// table 1 or 2
ReplacedTable& replacedTable(int table);

// DLLMain with a callback: 0 when ready, -1 when the host is refused.
int32_t startPlugin(HostCallback callback, char* buffer);
// DLLMain with a null callback: writes back the handlers that were replaced.
void shutDownPlugin();

// The handler put in place of table 2's (the sales import).
int32_t TARVEL_CALLEE_CLEANS importHandler(int32_t command, intptr_t a2, intptr_t a3, intptr_t a4,
                                           intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8,
                                           intptr_t a9, intptr_t a10, intptr_t a11);
// The same over a file layer of the caller's choosing.
int32_t importSales(FileLayer& files, int32_t command, intptr_t a2, intptr_t a3, intptr_t a4,
                    intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8, intptr_t a9, intptr_t a10,
                    intptr_t a11);

}  // namespace tarvel
