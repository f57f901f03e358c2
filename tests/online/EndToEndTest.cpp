// Three simulated registers ring receipts over a pseudo-terminal while the document polls them:
// every receipt of the simulator's journal must be on disk exactly once, byte for byte, in the
// receipt directory and in the day's backup folder, and the export must add up to the journal.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "CommSupport.h"
#include "CommandLine.h"
#include "online/OnlineComm.h"
#include "online/SalesExport.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

// Runs the document against registers 1, 2 and 3 until each rang perRegister receipts, then
// compares the receipt files, their backup copies and the export with the journal.
void collectAndCompare(ecrsim::SimOptions o, int perRegister) {
    const size_t RECEIPTS = 3 * static_cast<size_t>(perRegister);
    TempDir tmp;
    const std::string receipts = tmp.file("receipts");
    const std::string backup = tmp.file("backup");

    o.registers = {1, 2, 3};
    o.receiptEveryMs = 20;
    o.receiptLines = 2;
    o.maxReceipts = perRegister;
    o.articles = ecrsim::sampleArticles();
    OnlineRun run(o);
    ecrsim::Simulator& sim = run.sim;
    TarvelServerDoc& doc = run.doc;
    Recorder& recorder = run.recorder;
    ScriptedPrompt& prompt = run.prompt;
    prompt.answers = {true, true};  // create both directories
    for (int nr : o.registers)
        ASSERT_NE(-1, doc.addRegister(nr));
    ASSERT_TRUE(run.start(receipts, backup));

    ASSERT_TRUE(sim.waitForJournal(RECEIPTS, 100000)) << sim.journal().size();
    ASSERT_TRUE(recorder.waitForReceipts(RECEIPTS, 20000)) << recorder.receipts().size();
    stopOnline(doc, prompt);
    sim.stop();

    const std::vector<ecrsim::JournalReceipt> journal = sim.journal();
    ASSERT_EQ(RECEIPTS, journal.size());
    std::vector<std::string> files = filesIn(receipts);
    files.erase(std::remove(files.begin(), files.end(), "TarvelServer.log"), files.end());
    EXPECT_EQ(RECEIPTS, files.size());
    EXPECT_EQ(RECEIPTS, recorder.receipts().size());

    std::set<std::string> named;
    for (const ecrsim::JournalReceipt& r : journal) {
        const std::string name = receiptFileOf(files, r);
        if (name.empty())
            continue;
        named.insert(name);
        const std::string text = receiptText(r.lines);
        EXPECT_EQ(text, readFile(receipts + "/" + name)) << name;
        EXPECT_EQ(text, readFile(backup + "/20261206/" + name)) << name;
    }
    EXPECT_EQ(RECEIPTS, named.size());
    EXPECT_EQ(files, filesIn(backup + "/20261206"));

    const std::string exportPath = tmp.file("sprzedaz.txt");
    ASSERT_TRUE(exportSales(doc, exportPath, false, prompt));
    SalesSums exported;
    addExportSums(readFile(exportPath), exported);
    EXPECT_EQ(withoutZeros(journalSums(journal)), withoutZeros(exported));

    // Each register was reported connected, and not connected at the stop.
    const auto statuses = recorder.statuses();
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(1, std::count(statuses.begin(), statuses.end(), std::make_pair(slot, 1)));
        EXPECT_EQ(1, std::count(statuses.begin(), statuses.end(), std::make_pair(slot, 0)));
    }
    EXPECT_EQ(2u, prompt.shown.size());  // the two questions, no failure
}

TEST(EndToEndTest, EveryJournalReceiptIsOnDiskOnceInBothCopiesAndTheExportAddsUp) {
    ecrsim::SimOptions o;
    o.seed = 11;
    collectAndCompare(o, 70);
}

// Corrupted frames, ACKs the register missed (so it repeats), unanswered calls and new serial
// numbers between receipts: still every receipt once.
TEST(EndToEndTest, AFaultyLineLosesAndDoublesNothing) {
    ecrsim::SimOptions o;
    o.seed = 3;
    o.faults.corruptEvery = 7;
    o.faults.loseAckEvery = 5;
    o.faults.silentEvery = 11;
    o.faults.repeatEvery = 13;
    o.faults.serialChangeEvery = 4;
    collectAndCompare(o, 12);
}

}  // namespace
}  // namespace kos::test
