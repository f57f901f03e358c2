// Helpers of the online communication tests: a clock with real ticks on a fixed date, the
// settings of a run on a pseudo-terminal, a recording listener, and the sums of a simulator's
// journal and of a sales export to compare them.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Simulator.h"
#include "base/Settings.h"
#include "online/TarvelServerDoc.h"
#include "support/ScriptedPrompt.h"

namespace kos::test {

// Real ticks and sleeps, so the line time-outs run; the date stays 6 December 2026 so file
// names and the backup folder do not depend on when the test runs.
class FixedDateClock final : public Clock {
public:
    uint32_t tickCount() override { return systemClock().tickCount(); }
    void sleepMs(uint32_t ms) override { systemClock().sleepMs(ms); }
    LocalTime localTime() override { return {2026, 12, 6, 12, 0, 0}; }
};

// Port 1 on device, at speed, receipts in receiptDir, backup copies in backupDir.
Settings onlineSettings(const std::string& device, int speed, const std::string& receiptDir,
                        const std::string& backupDir);

// Records status changes and written receipts; waits for a count of receipts.
class Recorder final : public EcrStatusListener {
public:
    void ecrStatusChanged(int slotIndex, int connected) override;
    void receiptWritten(int slotIndex, const std::string& path) override;
    void lineChanged(bool lost, const std::string& device) override;
    bool waitForReceipts(size_t count, int timeoutMs);
    bool waitForLineEvents(size_t count, int timeoutMs);
    // Waits until (slotIndex, connected) was reported count times.
    bool waitForStatus(int slotIndex, int connected, size_t count, int timeoutMs);
    std::vector<std::pair<int, int>> statuses();
    std::vector<std::string> receipts();
    // "lost device" and "back device", in order.
    std::vector<std::string> lineEvents();

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<std::pair<int, int>> statuses_;
    std::vector<std::string> receipts_;
    std::vector<std::string> lineEvents_;
};

// A simulator on its pseudo-terminal and a document with a fixed date and a recorder listening,
// ready to poll it: add registers, set the prompt's answers, then start.
struct OnlineRun {
    explicit OnlineRun(const ecrsim::SimOptions& options) : sim(options) {}
    ~OnlineRun() { doc.removeStatusListener(&recorder); }
    // Opens and starts the simulator and starts online communication at 9600 bit/s.
    ::testing::AssertionResult start(const std::string& receiptDir, const std::string& backupDir);

    ecrsim::Simulator sim;
    FixedDateClock clock;
    Recorder recorder;
    ScriptedPrompt prompt;
    TarvelServerDoc doc{clock};  // last, so its worker ends before the rest goes
};

// Per register number: quantity per 14-digit PLU, and "" for the value of sales without a
// code, all in thousandths as the document counts them.
using SalesSums = std::map<int, std::map<std::string, long long>>;

// The one file of files named for receipt r (a failure unless exactly one is); "" when none.
std::string receiptFileOf(const std::vector<std::string>& files, const ecrsim::JournalReceipt& r);

SalesSums journalSums(const std::vector<ecrsim::JournalReceipt>& journal);
// Adds the content of one export file to sums (register numbers from its first line).
void addExportSums(const std::string& exportText, SalesSums& sums);
// The same sums without the zero values (an export lists 0.000 for the other registers).
SalesSums withoutZeros(SalesSums sums);

// A receipt file's content: every line followed by CR LF.
std::string receiptText(const std::vector<std::string>& lines);

// Names of the files in dir (not folders), sorted.
std::vector<std::string> filesIn(const std::string& dir);

}  // namespace kos::test
