// The polling worker: a stop ends it within the poll in progress, an empty register list costs
// no CPU, and the register list and the export may be used from another thread while it polls
// without a deadlock or a lost receipt.
#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <future>
#include <thread>

#include "CommSupport.h"
#include "CommandLine.h"
#include "online/OnlineComm.h"
#include "online/RegisterListText.h"
#include "online/SalesExport.h"
#include "support/Pty.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

using Ms = std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

size_t callsIn(const std::string& bytes) {
    size_t n = 0;
    for (size_t at = 0; (at = bytes.find("\x11\x11", at)) != std::string::npos; at += 2)
        ++n;
    return n;
}

// The worker's sleep over an empty register list: another thread's use of the lock wakes it
// with the lock held, the stop wakes it without; its own release does not count.
TEST(RegisterLockWaitTest, WakesForAnotherThreadsChangeOrTheStop) {
    using namespace std::chrono_literals;
    RegisterLock lock;
    ASSERT_TRUE(lock.lockUnlessStopped());
    auto waiter = std::async(std::launch::async, [&] { return lock.unlockAndWaitForChange(); });
    EXPECT_EQ(std::future_status::timeout, waiter.wait_for(100ms));
    lock.lock();
    lock.unlock();
    ASSERT_EQ(std::future_status::ready, waiter.wait_for(10s));
    EXPECT_TRUE(waiter.get());
    EXPECT_FALSE(lock.try_lock());  // the waiter holds it again

    waiter = std::async(std::launch::async, [&] { return lock.unlockAndWaitForChange(); });
    EXPECT_EQ(std::future_status::timeout, waiter.wait_for(100ms));
    lock.setStop();
    ASSERT_EQ(std::future_status::ready, waiter.wait_for(10s));
    EXPECT_FALSE(waiter.get());
    EXPECT_TRUE(lock.try_lock());  // released, and the stop was used up
    lock.unlock();
    EXPECT_TRUE(lock.lockUnlessStopped());
    lock.unlock();
}

class WorkerTest : public ::testing::Test {
protected:
    TempDir tmp;
    Pty pty;  // nobody answers on it
    FixedDateClock clock;
    TarvelServerDoc doc{clock};
    ScriptedPrompt prompt;
    Settings settings = onlineSettings(pty.slavePath(), 2400, tmp.path(), "");
};

TEST_F(WorkerTest, StopDuringPollingEndsWithinOnePoll) {
    // Twelve silent registers at 2400 bit/s: 400 ms per poll, about 5 s per round.
    for (int nr = 1; nr <= 12; ++nr)
        ASSERT_NE(-1, doc.addRegister(nr));
    ASSERT_TRUE(startOnline(doc, settings, prompt));
    const std::string first = pty.read(6, 5000);
    ASSERT_EQ(std::string("\xff\xff\xff\xff\x11\x11", 6), first);

    const auto begin = SteadyClock::now();
    stopOnline(doc, prompt);
    const auto took = std::chrono::duration_cast<Ms>(SteadyClock::now() - begin).count();
    EXPECT_LT(took, 2000);
    EXPECT_FALSE(doc.isOnline());
    // The poll in progress ends with its release; no second register was called.
    const std::string rest = pty.drain(300);
    EXPECT_EQ(0u, callsIn(rest)) << rest.size();
}

TEST_F(WorkerTest, WithoutRegistersItWaitsWithoutCpuAndWakesForANewOne) {
    ASSERT_TRUE(startOnline(doc, settings, prompt));
    const double cpuBefore = processCpuSeconds();
    std::this_thread::sleep_for(Ms(1000));
    const double cpu = processCpuSeconds() - cpuBefore;
    // Going round an empty list would take a whole core; a waiting worker takes nothing.
    EXPECT_LT(cpu, 0.2);
    EXPECT_EQ("", pty.drain(100));

    ASSERT_EQ(0, doc.addRegister(7));
    EXPECT_EQ(std::string("\xff\xff\xff\xff\x11\x11"
                          "07",
                          8),
              pty.read(8, 5000));
    doc.removeRegister(0);
    pty.drain(600);  // the poll in progress ends
    EXPECT_EQ("", pty.drain(600));

    const auto begin = SteadyClock::now();
    stopOnline(doc, prompt);
    EXPECT_LT(std::chrono::duration_cast<Ms>(SteadyClock::now() - begin).count(), 2000);
}

// Registers added and removed and exports with reset taken while the worker polls: nothing
// waits forever, and the exports together hold exactly the journal's sales.
TEST(WorkerConcurrencyTest, ListChangesAndExportsWhilePollingLoseNothing) {
    constexpr int PER_REGISTER = 15;
    constexpr size_t RECEIPTS = 3 * PER_REGISTER;
    TempDir tmp;
    ecrsim::SimOptions o;
    o.registers = {1, 2, 3};
    o.receiptEveryMs = 50;
    o.receiptLines = 2;
    o.maxReceipts = PER_REGISTER;
    o.seed = 5;
    o.articles = ecrsim::sampleArticles();
    OnlineRun run(o);
    ecrsim::Simulator& sim = run.sim;
    TarvelServerDoc& doc = run.doc;
    Recorder& recorder = run.recorder;
    ScriptedPrompt& prompt = run.prompt;
    ASSERT_EQ(3u, addRegistersFromText(doc, "1,2,3", prompt).size());
    ASSERT_TRUE(run.start(tmp.path(), ""));

    SalesSums exported;
    auto ui = std::async(std::launch::async, [&] {
        ScriptedPrompt uiPrompt;
        int exports = 0;
        while (recorder.receipts().size() < RECEIPTS) {
            // Register 42 is not on the line: it only costs its silent polls.
            const std::vector<int> added = addRegistersFromText(doc, "42", uiPrompt);
            uiPrompt.answers = {true};
            removeRegisters(doc, added, uiPrompt);
            const std::string path = tmp.file("export" + std::to_string(exports++) + ".txt");
            if (writeSalesExport(doc, path, true) != ExportResult::Ok)
                return -1;
            addExportSums(readFile(path), exported);
            std::this_thread::sleep_for(Ms(20));
        }
        return exports;
    });
    ASSERT_EQ(std::future_status::ready, ui.wait_for(std::chrono::seconds(90)));
    EXPECT_GT(ui.get(), 3);
    ASSERT_TRUE(sim.waitForJournal(RECEIPTS, 10000));
    stopOnline(doc, prompt);
    sim.stop();

    const std::string last = tmp.file("last.txt");
    ASSERT_EQ(ExportResult::Ok, writeSalesExport(doc, last, true));
    addExportSums(readFile(last), exported);
    EXPECT_EQ(withoutZeros(journalSums(sim.journal())), withoutZeros(exported));
    EXPECT_EQ(RECEIPTS, sim.journal().size());
    EXPECT_EQ(RECEIPTS, recorder.receipts().size());
    std::vector<std::string> files = filesIn(tmp.path());
    EXPECT_EQ(RECEIPTS, static_cast<size_t>(std::count_if(
                            files.begin(), files.end(),
                            [](const std::string& f) { return f.rfind("20261206_", 0) == 0; })));
    EXPECT_TRUE(prompt.shown.empty());
}

// Register 2 drips a 240-byte line at 10 ms a byte, inside the 22 ms per-byte time-out of
// 9600 bit/s: 2.4 s a poll uncut. The frame is cut after 542 ms, so in 6 s the other two are
// called about ten times each, against two or three without the cut.
TEST(DrippingRegisterTest, IsCutOffAndTheOthersKeepTheirPollRate) {
    TempDir tmp;
    ecrsim::SimOptions options;
    options.registers = {1, 2, 3};
    options.dripMs[2] = 10;
    ecrsim::Simulator sim(options);
    std::string error;
    ASSERT_TRUE(sim.open(error)) << error;
    ecrsim::ReceiptLine line;
    line.body = "1;" + std::string(230, 'X') + ";";
    sim.ringReceipt(2, {line});
    sim.start();
    FixedDateClock clock;
    TarvelServerDoc doc{clock};
    ScriptedPrompt prompt;
    for (int nr : {1, 2, 3})
        ASSERT_NE(-1, doc.addRegister(nr));
    ASSERT_TRUE(startOnline(doc, onlineSettings(sim.slavePath(), 9600, tmp.path(), ""), prompt));
    std::this_thread::sleep_for(Ms(6000));
    stopOnline(doc, prompt);
    sim.stop();
    const ecrsim::LineStats stats = sim.stats();
    EXPECT_GE(stats.callsOf.at(1), 5);
    EXPECT_GE(stats.callsOf.at(3), 5);
    EXPECT_EQ(doc.slotAt(1)->lines.size(), 0u);  // never taken
}

}  // namespace
}  // namespace kos::test
