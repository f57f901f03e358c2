// A finished receipt on its way to the disk. Its name, paths and bytes are fixed when its end
// line arrives, so a later attempt writes exactly the same file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "online/EcrLine.h"

namespace kos {

struct PendingReceipt {
    std::vector<EcrLine> lines;  // lines whose sales are counted once the main copy is written
    std::string data;            // every line's text followed by CR LF
    std::string mainPath;
    std::string backupDir;     // empty: no backup copy
    std::string backupFolder;  // backupDir/YYYYMMDD
    std::string backupPath;
    bool backupDone = false;
    int32_t receiptNumber = -1;
    int slotIndex = -1;  // the slot whose register sent it
    // A failure is logged once per copy, not at every retry, so retries cannot flood the log.
    bool backupFailureLogged = false;
    bool mainFailureLogged = false;
};

}  // namespace kos
