// The replay of a journal: the slot states of the last cut, the acknowledged frames since,
// passed once more through the slots' message handling, and the finished receipts with the
// files they went to.
#include "online/JournalReplay.h"

#include <set>

#include "base/LogFile.h"
#include "online/TarvelServerDoc.h"

namespace kos {

namespace {

void restoreSlot(EcrOnLineComm& slot, const JournalSlotState& s) {
    slot.serialNumber = s.serialNumber;
    slot.expectedSeq = s.expectedSeq;
    slot.lastReceiptSeries = s.lastReceiptSeries;
    slot.lastReceiptNumber = s.lastReceiptNumber;
    slot.lastReceiptFileNumber = s.lastReceiptFileNumber;
    slot.discarding = s.discarding;
    slot.lines.clear();
    for (const std::string& text : s.lines) {
        EcrLine line;
        if (line.parse(text))
            slot.lines.push_back(std::move(line));
    }
}

// The ids written and counted before the save of the file that was read: the file counts them.
std::set<uint32_t> countedInFile(const std::vector<JournalRecord>& records, uint32_t imageCrc,
                                 uint64_t imageSize) {
    size_t mark = records.size();
    for (size_t i = records.size(); i-- > 0;) {
        const JournalRecord& r = records[i];
        if (r.type == JournalRecordType::SaveMark && r.imageCrc == imageCrc &&
            r.imageSize == imageSize) {
            mark = i;
            break;
        }
    }
    std::set<uint32_t> ids;
    for (size_t i = 0; i < mark && mark < records.size(); ++i)
        if (records[i].type == JournalRecordType::Done)
            ids.insert(records[i].id);
    return ids;
}

}  // namespace

uint32_t replayJournal(TarvelServerDoc& doc, const std::vector<JournalRecord>& records,
                       uint32_t imageCrc, uint64_t imageSize) {
    ReceiptWriter& writer = doc.receiptWriter();
    // What the slots log again of lines already logged once goes nowhere.
    LogFile quiet(doc.clock());
    PollContext ctx{doc.link(), quiet, writer, doc.clock(), nullptr};
    std::set<uint32_t> done;
    uint32_t maxId = 0;
    writer.setReplaying(true);
    for (const JournalRecord& r : records) {
        switch (r.type) {
            case JournalRecordType::Slot:
                if (EcrOnLineComm* slot = doc.slotAt(r.slotState.slot))
                    if (slot->logicalNumber == r.slotState.logicalNumber)
                        restoreSlot(*slot, r.slotState);
                break;
            case JournalRecordType::Received:
                if (EcrOnLineComm* slot = doc.slotAt(r.slot))
                    if (slot->logicalNumber == r.logicalNumber)
                        slot->handleMessage(r.text, r.slot, ctx);
                break;
            case JournalRecordType::Finished: {
                const JournalReceipt& f = r.receipt;
                writer.applyJournaled(f);
                maxId = std::max(maxId, f.id);
                EcrOnLineComm* slot = doc.slotAt(f.slot);
                // The file number the slot remembers for its last receipt.
                if (slot && !(f.flags & JOURNAL_QUEUED) && slot->lastReceiptFileNumber == -1 &&
                    slot->lastReceiptNumber == f.receiptNumber && f.receiptNumber != 0)
                    slot->lastReceiptFileNumber = f.fileNumber;
                break;
            }
            case JournalRecordType::Done:
                done.insert(r.id);
                break;
            case JournalRecordType::SaveMark:
                break;
        }
    }
    writer.setReplaying(false);
    writer.settleReplayed(done, countedInFile(records, imageCrc, imageSize));
    writer.writeAll();
    return maxId + 1;
}

}  // namespace kos
