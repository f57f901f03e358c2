// Writing finished receipts: the main and backup copies, the queue of receipts not yet on disk
// (one per slot, and one for registers removed meanwhile), and the sales a written receipt adds
// to the document. Used on the worker thread or with the document's registerLock held.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "online/EcrLine.h"
#include "online/PendingReceipt.h"
#include "online/PluSale.h"

namespace kos {

class TarvelServerDoc;

class ReceiptWriter {
public:
    explicit ReceiptWriter(TarvelServerDoc& doc) : doc_(doc) {}
    ReceiptWriter(const ReceiptWriter&) = delete;
    ReceiptWriter& operator=(const ReceiptWriter&) = delete;

    // The day's next daily file number (the document's numbering).
    int nextFileNumber(const LocalTime& t);

    // Queues the finished receipt of a slot as the file name in the receipt directory and,
    // when one is set, in the backup directory's folder of now; then tries the slot's queue.
    void submit(int slotIndex, std::vector<EcrLine> lines, int32_t receiptNumber,
                const std::string& name, const LocalTime& now);
    // Tries a slot's queue, oldest first; stops at the first failure. A written receipt has its
    // uncounted sales added under its slot, is reported and leaves the queue.
    void writePending(int slotIndex);
    // The same for the receipts of removed registers.
    void writeRemoved();
    // Both, for every slot; true when nothing is left.
    bool writeAll();
    // A slot's register is removed: its receipts are tried once more (their sales counted under
    // it); the rest move to the removed queue with their sales marked counted, so they go to no
    // later register.
    void releaseSlot(int slotIndex);

    size_t pendingCount(int slotIndex) const;
    size_t removedCount() const { return removed_.size(); }
    size_t totalCount() const;
    void clear();

private:
    void writeQueue(std::deque<PendingReceipt>& queue);
    bool writeOne(PendingReceipt& r);
    void countSales(PendingReceipt& r);
    void logOutcome(const char* failure, const std::string& path, bool& failureLogged);

    TarvelServerDoc& doc_;
    std::array<std::deque<PendingReceipt>, SLOT_COUNT> unwritten_;
    std::deque<PendingReceipt> removed_;
};

}  // namespace kos
