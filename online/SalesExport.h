// The sales export: a semicolon-separated text file of the registers, their totals and the
// quantities sold per article, optionally resetting what it wrote.
#pragma once

#include <string>

#include "base/Prompt.h"
#include "online/TarvelServerDoc.h"

namespace kos {

enum class ExportResult {
    Ok,
    OpenFailed,   // the file could not be created
    WriteFailed,  // a write or the close failed; what was written stays, as does any reset
};

// Writes the export to path (replaced when it exists). With reset, the totals of the exported
// registers and every exported article are zeroed as they are written. Safe while the worker
// polls: the register lines wait for the current poll, the article lines take salesLock one
// entry at a time.
ExportResult writeSalesExport(TarvelServerDoc& doc, const std::string& path, bool reset);

// "Zapisz sprzedaż" (reset false) and "Zapisz sprzedaż i wyzeruj" (reset true) after the save
// dialog: writes the export and shows a failure. True when the file was written.
bool exportSales(TarvelServerDoc& doc, const std::string& path, bool reset, Prompt& prompt);

}  // namespace kos
