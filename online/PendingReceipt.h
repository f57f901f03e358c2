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
    int slotIndex = -1;      // the slot whose register sent it
    uint32_t journalId = 0;  // 0: not in the journal
    int32_t fileNumber = -1;
    int64_t mainBase = -1;  // length of the main file before this receipt
    int64_t backupBase = -1;
    // Finished while its file name could not be given (journal replay): named when written.
    bool unnamed = false;
    // A failure is logged once per copy, not at every retry, so retries cannot flood the log.
    bool backupFailureLogged = false;
    bool mainFailureLogged = false;
};

}  // namespace kos
