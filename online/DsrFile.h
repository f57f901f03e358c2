// The ".dsr" file of the online document: its byte form, and reading and replacing the file.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/DocumentFile.h"
#include "online/EcrOnLineComm.h"
#include "online/SalesRecords.h"

namespace kos {

enum class DsrStatus {
    Ok,
    WrongSlotCount,  // opened with the two directories only; the user is told
    BadFormat,       // not opened
    ReadError,
    WriteError,
};

inline constexpr const char* TEXT_BAD_SLOT_COUNT = "Niepoprawny format pliku.";

inline constexpr int32_t DSR_FILE_VERSION = 1;

// What a ".dsr" file holds.
struct DsrContents {
    std::string receiptDir;
    std::string backupDir;
    std::array<int32_t, SLOT_COUNT> logicalNumbers{};
    SalesRecords sales;
};

// The byte form of a document's data.
std::string dsrImage(const std::string& receiptDir, const std::string& backupDir,
                     const std::array<EcrOnLineComm, SLOT_COUNT>& slots, const SalesRecords& sales);
// Reads the byte form. WrongSlotCount leaves the two directories only; BadFormat nothing.
DsrStatus parseDsr(const std::string& data, DsrContents& out);

}  // namespace kos
