#include "online/EcrOnLineComm.h"

#include "base/Clock.h"
#include "base/LogFile.h"
#include "link/TX310Comm.h"
#include "online/ReceiptFile.h"
#include "online/ReceiptWriter.h"

namespace kos {

namespace {

constexpr int32_t CLOSE_KIND_ONE_NUMBER = 6;

}  // namespace

void EcrOnLineComm::reset() {
    connected = 0;
    serialNumber.clear();
    expectedSeq = NO_SEQ;
    job.reset();
    logicalNumber = -1;
    failedPolls = 0;
    forgetLastReceipt();
    lines.clear();
}

void EcrOnLineComm::serialize(ByteWriter& out) const {
    out.i32(logicalNumber);
}

bool EcrOnLineComm::deserialize(ByteReader& in) {
    return in.i32(logicalNumber);
}

void EcrOnLineComm::poll(int slotIndex, const PollContext& ctx) {
    ctx.receipts.writeRemoved();
    ctx.receipts.writePending(slotIndex);

    // A number the line cannot call must not wrap onto another register.
    ctx.link.selectEcr(
        logicalNumber >= 0 && logicalNumber <= 255 ? static_cast<uint8_t>(logicalNumber) : 0);
    std::string message;
    if (ctx.link.receiveFrame(message, true) != TX310_OK) {
        if (++failedPolls > MAX_FAILED_POLLS) {
            failedPolls = 0;
            connected = 0;
            job.fail();
        }
        ctx.link.leaveInLineMode();
        return;
    }
    connected = 1;
    failedPolls = 0;
    job.step(ctx.link, ctx.clock);
    ctx.link.leaveInLineMode();
    handleMessage(message, slotIndex, ctx);
}

void EcrOnLineComm::handleMessage(const std::string& message, int slotIndex,
                                  const PollContext& ctx) {
    EcrLine line;
    if (!line.parse(message)) {
        ctx.log.print("\n%t Błąd podczas analizy wiadomości z kasy\n\t%s", message.c_str());
        return;
    }
    if (line.type == LINE_IDLE)
        return;

    if (serialNumber.empty()) {
        serialNumber = line.serialNumber;
    } else if (serialNumber != line.serialNumber) {
        ctx.log.print("\n%t Zmiana numeru seryjnego kasy %d z %s na %s", slotIndex,
                      serialNumber.c_str(), line.serialNumber.c_str());
        serialNumber = line.serialNumber;
        discardReceipt(ctx.log);
    }

    if (expectedSeq != NO_SEQ && line.seq != expectedSeq) {
        // The register sends its last message again when it missed our acknowledgement.
        if (line.seq == (expectedSeq + 9) % 10)
            return;
        ctx.log.print(
            "\n%t Odebrano ramkę z niepoprawnym numerem sekwencyjnym (w ramce %d, spodziewany nr "
            "%d).",
            line.seq, expectedSeq);
        discardReceipt(ctx.log);
    }
    expectedSeq = static_cast<uint8_t>((line.seq + 1) % 10);

    const bool isEnd = line.type == LINE_END;
    lines.push_back(std::move(line));
    if (isEnd) {
        writeReceipt(slotIndex, ctx);
        clearReceipt();
    }
}

void EcrOnLineComm::writeReceipt(int slotIndex, const PollContext& ctx) {
    if (lines.empty())
        return;
    const EcrLine& end = lines.back();
    const int32_t receiptNumber = end.receiptNumber;
    const LocalTime now = ctx.clock.localTime();

    std::vector<EcrLine> written;
    std::string name;
    if (end.receiptNumber != 0) {
        if (lastReceiptFileNumber == -1 || lastReceiptSeries != end.receiptSeries ||
            lastReceiptNumber != end.receiptNumber) {
            lastReceiptFileNumber = ctx.receipts.nextFileNumber(now);
            lastReceiptSeries = end.receiptSeries;
            lastReceiptNumber = end.receiptNumber;
        }
        name = receiptFileName(now, lastReceiptFileNumber, serialNumber, end.receiptSeries,
                               end.receiptNumber);
        written = std::move(lines);
    } else if (end.closeKind == CLOSE_KIND_ONE_NUMBER) {
        forgetLastReceipt();
        name = singleLineFileName(now, ctx.receipts.nextFileNumber(now), serialNumber,
                                  end.receiptSeries);
        // Only the end line goes into this file; it adds no sales.
        written.push_back(end);
        written.back().counted = true;
    } else {
        discardReceipt(ctx.log);
        return;
    }
    lines.clear();
    ctx.receipts.submit(slotIndex, std::move(written), receiptNumber, name, now);
}

void EcrOnLineComm::forgetLastReceipt() {
    lastReceiptFileNumber = -1;
    lastReceiptSeries = -1;
    lastReceiptNumber = -1;
}

void EcrOnLineComm::discardReceipt(LogFile& log) {
    forgetLastReceipt();
    if (lines.empty())
        return;
    log.print("\n%t Usunięcie paragonu:");
    for (const EcrLine& l : lines)
        log.print("\n\t%s", l.text.c_str());
    lines.clear();
}

void EcrOnLineComm::clearReceipt() {
    lines.clear();
}

}  // namespace kos
