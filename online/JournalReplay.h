// Replaying an online document's journal after its file was read: unfinished receipts go back
// into their slots, finished ones into the receipt writer, and what the journal says was written
// but the saved file does not count is counted once.
#pragma once

#include <cstdint>
#include <vector>

#include "online/Journal.h"

namespace kos {

class TarvelServerDoc;

// The caller holds registerLock and no worker runs. imageCrc and imageSize describe the file
// just read. Receipts whose files are known are written at once. Returns the next free id.
uint32_t replayJournal(TarvelServerDoc& doc, const std::vector<JournalRecord>& records,
                       uint32_t imageCrc, uint64_t imageSize);

}  // namespace kos
