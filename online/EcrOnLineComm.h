// One register position of an online document: its connection state, the receipt being
// collected from its messages, the receipts finished but not yet on disk, and the members of an
// article job that runs inside its polls.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "link/Plu.h"
#include "online/EcrLine.h"
#include "online/ServerArticleJob.h"

namespace kos {

class TarvelServerDoc;

// A finished receipt on its way to the disk. Its name, paths and bytes are fixed when its end
// line arrives, so a later attempt writes exactly the same file.
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

class EcrOnLineComm {
public:
    static constexpr int MAX_FAILED_POLLS = 100;

    EcrOnLineComm() = default;
    EcrOnLineComm(const EcrOnLineComm&) = delete;
    EcrOnLineComm& operator=(const EcrOnLineComm&) = delete;

    // Every member back to its initial value (a document being cleared or loaded).
    void reset();

    // The stored form: the logical number alone.
    void serialize(ByteWriter& out) const;
    bool deserialize(ByteReader& in);

    // One poll of this register on the document's link; the caller holds registerLock.
    void poll(int slotIndex, TarvelServerDoc& doc);
    void handleMessage(const std::string& message, int slotIndex, TarvelServerDoc& doc);
    void writeReceipt(int slotIndex, TarvelServerDoc& doc);
    // Tries the finished receipts not yet on disk, oldest first; stops at the first failure.
    void writePendingReceipts(int slotIndex, TarvelServerDoc& doc);
    // The same for any queue: a written receipt has its uncounted sales added under its slot,
    // is reported and leaves the queue.
    static void writeReceiptQueue(std::deque<PendingReceipt>& queue, TarvelServerDoc& doc);
    void discardReceipt(TarvelServerDoc& doc);
    void clearReceipt();

    int connected = 0;
    std::string serialNumber;
    uint8_t expectedSeq = NO_SEQ;
    int32_t logicalNumber = -1;
    int failedPolls = 0;
    int32_t lastReceiptSeries = -1;
    int32_t lastReceiptNumber = -1;
    int lastReceiptFileNumber = -1;
    std::vector<EcrLine> lines;
    // The article job placed in this register's polls.
    ServerArticleJob job;

    // Finished receipts whose main copy could not be written yet.
    std::deque<PendingReceipt> unwritten;

private:
    void forgetLastReceipt();
    static bool writeOne(PendingReceipt& r, TarvelServerDoc& doc);
    static void countSales(PendingReceipt& r, TarvelServerDoc& doc);
};

}  // namespace kos
