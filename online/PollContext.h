// What a slot uses of its document during a poll: the serial link, the online log, the receipt
// writer and the clock. Handed out by the document to the worker, which holds registerLock.
#pragma once

namespace kos {

class Clock;
class LogFile;
class ReceiptWriter;
class TX310Comm;

struct PollContext {
    TX310Comm& link;
    LogFile& log;
    ReceiptWriter& receipts;
    Clock& clock;
};

}  // namespace kos
