#include "online/EcrOnLineComm.h"

#include "online/TarvelServerDoc.h"

namespace kos {

void EcrOnLineComm::reset() {
    connected = 0;
    serialNumber.clear();
    expectedSeq = NO_SEQ;
    job.reset();
    logicalNumber = -1;
    failedPolls = 0;
    forgetLastReceipt();
    lines.clear();
    unwritten.clear();
}

void EcrOnLineComm::serialize(ByteWriter& out) const {
    out.i32(logicalNumber);
}

bool EcrOnLineComm::deserialize(ByteReader& in) {
    return in.i32(logicalNumber);
}

void EcrOnLineComm::poll(int slotIndex, TarvelServerDoc& doc) {
    if (!doc.removedReceipts.empty())
        writeReceiptQueue(doc.removedReceipts, doc);
    if (!unwritten.empty())
        writePendingReceipts(slotIndex, doc);

    // A number the line cannot call must not wrap onto another register.
    doc.link.selectEcr(
        logicalNumber >= 0 && logicalNumber <= 255 ? static_cast<uint8_t>(logicalNumber) : 0);
    std::string message;
    if (doc.link.receiveFrame(message, true) != TX310_OK) {
        if (++failedPolls > MAX_FAILED_POLLS) {
            failedPolls = 0;
            connected = 0;
            job.fail();
        }
        doc.link.leaveInLineMode();
        return;
    }
    connected = 1;
    failedPolls = 0;
    job.step(doc.link, doc.clock());
    doc.link.leaveInLineMode();
    handleMessage(message, slotIndex, doc);
}

void EcrOnLineComm::handleMessage(const std::string& message, int slotIndex, TarvelServerDoc& doc) {
    EcrLine line;
    if (!line.parse(message)) {
        doc.serverLog.print("\n%t Błąd podczas analizy wiadomości z kasy\n\t%s", message.c_str());
        return;
    }
    if (line.type == LINE_IDLE)
        return;

    if (serialNumber.empty()) {
        serialNumber = line.serialNumber;
    } else if (serialNumber != line.serialNumber) {
        doc.serverLog.print("\n%t Zmiana numeru seryjnego kasy %d z %s na %s", slotIndex,
                            serialNumber.c_str(), line.serialNumber.c_str());
        serialNumber = line.serialNumber;
        discardReceipt(doc);
    }

    if (expectedSeq != NO_SEQ && line.seq != expectedSeq) {
        // The register sends its last message again when it missed our acknowledgement.
        if (line.seq == (expectedSeq + 9) % 10)
            return;
        doc.serverLog.print(
            "\n%t Odebrano ramkę z niepoprawnym numerem sekwencyjnym (w ramce %d, spodziewany nr "
            "%d).",
            line.seq, expectedSeq);
        discardReceipt(doc);
    }
    expectedSeq = static_cast<uint8_t>((line.seq + 1) % 10);

    const bool isEnd = line.type == LINE_END;
    lines.push_back(std::move(line));
    if (isEnd) {
        writeReceipt(slotIndex, doc);
        clearReceipt();
    }
}

void EcrOnLineComm::forgetLastReceipt() {
    lastReceiptFileNumber = -1;
    lastReceiptSeries = -1;
    lastReceiptNumber = -1;
}

void EcrOnLineComm::discardReceipt(TarvelServerDoc& doc) {
    forgetLastReceipt();
    if (lines.empty())
        return;
    doc.serverLog.print("\n%t Usunięcie paragonu:");
    for (const EcrLine& l : lines)
        doc.serverLog.print("\n\t%s", l.text.c_str());
    lines.clear();
}

void EcrOnLineComm::clearReceipt() {
    lines.clear();
}

}  // namespace kos
