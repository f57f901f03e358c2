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

constexpr int RECEIPTS_PER_REGISTER = 70;
constexpr size_t RECEIPTS = 3 * RECEIPTS_PER_REGISTER;

std::string receiptName(const std::vector<std::string>& files, const ecrsim::JournalReceipt& r) {
    const std::string suffix =
        "_" + r.serial + "_" + std::to_string(r.series) + "_" + std::to_string(r.number) + ".txt";
    std::string found;
    int count = 0;
    for (const std::string& f : files) {
        if (f.size() > suffix.size() &&
            f.compare(f.size() - suffix.size(), suffix.size(), suffix) == 0) {
            found = f;
            ++count;
        }
    }
    EXPECT_EQ(1, count) << suffix;
    return found;
}

TEST(EndToEndTest, EveryJournalReceiptIsOnDiskOnceInBothCopiesAndTheExportAddsUp) {
    TempDir tmp;
    const std::string receipts = tmp.file("receipts");
    const std::string backup = tmp.file("backup");

    ecrsim::SimOptions o;
    o.registers = {1, 2, 3};
    o.receiptEveryMs = 20;
    o.receiptLines = 2;
    o.maxReceipts = RECEIPTS_PER_REGISTER;
    o.seed = 11;
    o.articles = ecrsim::sampleArticles();
    ecrsim::Simulator sim(o);
    std::string error;
    ASSERT_TRUE(sim.open(error)) << error;
    sim.start();

    FixedDateClock clock;
    TarvelServerDoc doc(clock);
    Recorder recorder;
    doc.addStatusListener(&recorder);
    ScriptedPrompt prompt;
    prompt.answers = {true, true};  // create both directories
    for (int nr : o.registers)
        ASSERT_NE(-1, doc.addRegister(nr));
    ASSERT_TRUE(startOnline(doc, onlineSettings(sim.slavePath(), 9600, receipts, backup), prompt));

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
        const std::string name = receiptName(files, r);
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
    doc.removeStatusListener(&recorder);
}

}  // namespace
}  // namespace kos::test
