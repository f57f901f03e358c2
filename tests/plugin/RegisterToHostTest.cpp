// The whole road of a receipt: rung on a simulated register, polled over a pseudo-terminal into
// receipt files, imported by the plug-in into a simulated host. Every sale reaches the host once.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "PluginHarness.h"
#include "Simulator.h"
#include "online/TarvelServerDoc.h"

namespace kos::test {
namespace {

using ecrsim::ReceiptLine;
using ecrsim::ReceiptMaker;
using ecrsim::SimArticle;

// Real ticks for the line timing, the import's day for the file names.
class ImportDayClock final : public Clock {
public:
    uint32_t tickCount() override { return systemClock().tickCount(); }
    void sleepMs(uint32_t ms) override { systemClock().sleepMs(ms); }
    LocalTime localTime() override { return {2026, 12, 7, 10, 0, 0}; }
};

const SimArticle BREAD{"00000000000012", "CHLEB", 1, 350};
const SimArticle MILK{"00000000000077", "MLEKO", 2, 290};
const SimArticle SALT{"00000000000005", "SOL", 1, 115};

// Receipt 32 is rung twice, as a register repeats a receipt; both go into one file.
const std::vector<std::vector<ReceiptLine>> RUNG = {
    {ReceiptMaker::sale(BREAD, 1000), ReceiptMaker::sale(MILK, 2500),
     ReceiptMaker::saleWithoutPlu(1200), ReceiptMaker::percentChange(1, -500),
     ReceiptMaker::end(1, 31, 0)},
    {ReceiptMaker::sale(MILK, 1001), ReceiptMaker::percentChange(0, 1500),
     ReceiptMaker::end(1, 32, 0)},
    {ReceiptMaker::sale(BREAD, -500), ReceiptMaker::end(1, 32, 0)},
    {ReceiptMaker::saleWithoutPlu(250), ReceiptMaker::sale(SALT, 2300),
     ReceiptMaker::end(1, 33, 0)},
};

// A sale without PLU carries its value in the quantity field and is read like any sale.
const std::string PARAMETER_FILE =
    "$1\t31\t1\t0\t00000000000012\t1.000\t332\n"
    "$1\t31\t2\t0\t00000000000077\t2.500\t689\n"
    "$1\t31\t3\t0\t\t12.000\t13680\n"
    "$1\t32\t1\t0\t00000000000077\t1.001\t334\n"
    "$1\t32\t2\t0\t00000000000012\t-0.500\t-175\n"
    "$1\t33\t1\t0\t\t2.500\t625\n"
    "$1\t33\t2\t0\t00000000000005\t2.300\t264\n";

// One line per slot: the sales, and an empty line for each receipt end.
const std::vector<DocumentLine> DOCUMENT = {
    {"............12", 1000, 33250},
    {"............77", 2500, 68875},
    {"", 12000, 1368000},
    {"", 0, 0},
    {"............77", 1001, 33383},
    {"", 0, 0},
    {"............12", -500, -17500},
    {"", 0, 0},
    {"", 2500, 62500},
    {".............5", 2300, 26450},
    {"", 0, 0},
};

// The sale lines of the journal, with serial number and sequence digit cut off.
std::vector<std::string> journalSales(const std::vector<ecrsim::JournalReceipt>& journal) {
    std::vector<std::string> sales;
    for (const auto& receipt : journal)
        for (const std::string& line : receipt.lines) {
            std::string body = line.substr(line.find(';', line.find(';') + 1) + 1);
            if (body.rfind("0;", 0) == 0)
                sales.push_back(body);
        }
    return sales;
}

TEST(RegisterToHost, EverySaleRungReachesTheHostOnce) {
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        hostsim::Options options;
        options.registerNumber = 7;
        PluginHarness plugin(options);

        ecrsim::SimOptions simOptions;
        simOptions.registers = {7};
        simOptions.faults.loseAckEvery = 3;
        simOptions.faults.repeatEvery = 4;
        simOptions.faults.corruptEvery = 5;
        ecrsim::Simulator sim(simOptions);
        std::string error;
        ASSERT_TRUE(sim.open(error)) << error;
        sim.start();
        for (const auto& lines : RUNG)
            sim.ringReceipt(7, lines);

        ImportDayClock clock;
        TarvelServerDoc doc(clock);
        doc.setDirectories(plugin.receiptDir(), doc.backupDir());
        ASSERT_TRUE(
            doc.serverLog().open(plugin.path("TarvelServer.log"), LogFile::LOG_CLOSE_EACH_WRITE));
        ASSERT_TRUE(doc.link().openDevice(sim.slavePath(), 9600));
        ASSERT_TRUE(doc.link().setReadTimeouts(50, 2));
        doc.link().setBeginFrameTimeout(400);
        ASSERT_EQ(0, doc.addRegister(7));
        for (int poll = 0; poll < 500; ++poll) {
            if (sim.journal().size() == RUNG.size() && doc.slotAt(0)->lines.empty())
                break;
            doc.pollSlot(0);
        }
        doc.link().close();
        sim.stop();

        const auto journal = sim.journal();
        ASSERT_EQ(journal.size(), RUNG.size());
        std::vector<std::string> rungSales;
        for (const auto& lines : RUNG)
            for (const ReceiptLine& line : lines)
                if (line.body.rfind("0;", 0) == 0)
                    rungSales.push_back(line.body);
        ASSERT_EQ(journalSales(journal), rungSales);
        ASSERT_EQ(plugin.receiptFiles().size(), 3u);

        const std::string unique = "ABCDE" + journal[0].serial;
        EXPECT_EQ(plugin.import("20261207", "20261207", unique, mode), hostsim::HANDLER_RESULT + 2);
        std::string written = plugin.parameterFile();
        EXPECT_EQ(static_cast<size_t>(std::count(written.begin(), written.end(), '\n')),
                  rungSales.size());
        EXPECT_EQ(written, PARAMETER_FILE);
        EXPECT_EQ(documentLines(plugin.host()), mode == 1 ? DOCUMENT : std::vector<DocumentLine>{});
        EXPECT_TRUE(plugin.receiptFiles().empty());
        EXPECT_EQ(plugin.report(),
                  "\nWczytanie danych z dnia:07.12.2026\nZakres wczytanych paragonów:31-33\n");
        EXPECT_TRUE(plugin.host().faults.empty());
    }
}

}  // namespace
}  // namespace kos::test
