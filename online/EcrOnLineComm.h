// One register position of an online document: its connection state, the receipt being
// collected from its messages, and the article job that runs inside its polls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "link/Plu.h"
#include "online/EcrLine.h"
#include "online/PollContext.h"
#include "online/ServerArticleJob.h"

namespace kos {

class LogFile;

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
    void poll(int slotIndex, const PollContext& ctx);
    void handleMessage(const std::string& message, int slotIndex, const PollContext& ctx);
    // The receipt that ended with the last line: its file name and number, then to the writer.
    void writeReceipt(int slotIndex, const PollContext& ctx);
    void discardReceipt(LogFile& log);
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

private:
    void forgetLastReceipt();
};

}  // namespace kos
