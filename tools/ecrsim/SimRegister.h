// One simulated cash register: its article table, receipt header, settings and sales counters,
// the receipt lines waiting to go out in online polls, and the answers to the PC's commands.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kos::ecrsim {

struct SimArticle {
    std::string plu;    // 14 digits
    std::string name;   // register characters
    int vat = 1;        // 1 (rate A) .. 7 (rate G)
    int32_t price = 0;  // hundredths
    int openPrice = 0;
    int32_t quantity = 0;  // thousandths sold since the counters were zeroed
    int32_t amount = 0;    // hundredths sold since the counters were zeroed
};

// One message of a receipt without the serial number and the sequence digit, with what it adds to
// the sales counters.
struct ReceiptLine {
    std::string body;
    std::string plu;  // empty when the line sells no article
    int32_t quantity = 0;
    int32_t amount = 0;
    bool end = false;
    long series = 0;  // of an end line
    long number = 0;
};

// A receipt whose end line the PC acknowledged, with every line exactly as it travelled.
struct JournalReceipt {
    int ecr = 0;
    std::string serial;
    long series = 0;
    long number = 0;
    std::vector<std::string> lines;
};

class SimRegister {
public:
    SimRegister(int number, std::string serial);

    int number() const { return number_; }
    const std::string& serial() const { return serial_; }
    void setSerial(const std::string& serial) { serial_ = serial; }

    // --- online messages -----------------------------------------------------------------
    // The frame the register sends when called: an unacknowledged message again, else the next
    // receipt line, else the idle message. A scripted first frame goes before all of them.
    std::string callMessage(bool repeatLastDelivered);
    // The PC acknowledged the call message. It counts as delivered once the PC goes on with
    // anything but "S" (confirmDelivery); "S" right after it gives it back (returnDelivery).
    void callMessageAcknowledged();
    // Returns the receipt completed by this delivery, if any.
    std::optional<JournalReceipt> confirmDelivery();
    void returnDelivery();

    void ringReceipt(const std::vector<ReceiptLine>& lines);
    size_t waitingLines() const { return outbox_.size() + (pending_ ? 1 : 0); }
    long nextReceiptNumber() const { return receiptNumber_ + 1; }
    long receiptSeries() const { return receiptSeries_; }
    void takeReceiptNumber() { ++receiptNumber_; }
    std::deque<std::string> scriptedFirstFrames;

    // --- commands ------------------------------------------------------------------------
    // The answer to one frame of the PC; none for "S".
    std::optional<std::string> answer(const std::string& request);

    std::map<std::string, SimArticle> articles;   // by 14-digit code
    std::vector<std::string> header;              // 5 lines, register characters
    std::map<std::string, std::string> settings;  // W38 settings by number
    std::vector<std::string> refusedPlus;         // W0 of these codes is answered "E"
    int countersZeroed = 0;

private:
    std::string withPrefix(const std::string& body) const;
    std::string articleAnswer(const SimArticle& a) const;
    std::optional<std::string> writeArticle(std::vector<std::string> fields);
    std::string listFrom(const std::string& plu, bool after);

    int number_;
    std::string serial_;
    int seq_ = 0;
    std::deque<ReceiptLine> outbox_;
    std::optional<std::string> pending_;  // sent, not yet acknowledged
    enum class Sent { Idle, ReceiptLine, Other };
    Sent sent_ = Sent::Idle;
    bool awaitingConfirm_ = false;
    std::string lastDelivered_;
    JournalReceipt building_;
    long receiptNumber_ = 0;
    long receiptSeries_ = 1;
    std::optional<std::string> listCursor_;  // last code listed by I0/G
};

std::string formatDecimal(int64_t value, int scale);

}  // namespace kos::ecrsim
