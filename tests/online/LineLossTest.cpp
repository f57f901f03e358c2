// The serial adapter is pulled while the document polls: the registers drop at once, the
// worker waits without burning a core, a stop stays prompt, and when the adapter comes back
// under the same name collecting goes on with no receipt lost or doubled.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "CommSupport.h"
#include "CommandLine.h"
#include "OnlineFixture.h"
#include "online/OnlineComm.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

constexpr int PER_REGISTER = 4;
constexpr size_t RECEIPTS = 2 * PER_REGISTER;

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Registers 1 and 2 behind a symlink, the stable name an adapter has under /dev/serial/by-id.
ecrsim::SimOptions lineOptions(const std::string& link, uint32_t seed) {
    ecrsim::SimOptions o;
    o.registers = {1, 2};
    o.receiptEveryMs = 20;
    o.receiptLines = 2;
    o.maxReceipts = PER_REGISTER;
    o.seed = seed;
    o.articles = ecrsim::sampleArticles();
    o.linkPath = link;
    return o;
}

class LineLossTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, ::mkdir(receipts.c_str(), 0777));
        doc.addStatusListener(&recorder);
        ASSERT_NE(-1, doc.addRegister(1));
        ASSERT_NE(-1, doc.addRegister(2));
        first = std::make_unique<ecrsim::Simulator>(lineOptions(link, 5));
        std::string error;
        ASSERT_TRUE(first->open(error)) << error;
        first->start();
        ASSERT_TRUE(startOnline(doc, onlineSettings(link, 9600, receipts, ""), prompt));
        ASSERT_TRUE(first->waitForJournal(RECEIPTS, 60000)) << first->journal().size();
        ASSERT_TRUE(recorder.waitForReceipts(RECEIPTS, 20000)) << recorder.receipts().size();
    }

    void TearDown() override {
        stopOnline(doc, prompt);
        doc.removeStatusListener(&recorder);
    }

    // The adapter goes, and with it the pseudo-terminal and the name. The registers keep
    // their state (sequence digits, receipt numbers) for when it comes back.
    void pull() {
        first->stop();
        for (int nr : {1, 2})
            first->withRegister(nr, [&](ecrsim::SimRegister& r) { kept.emplace(nr, r); });
        firstJournal = first->journal();
        first.reset();
    }

    // Waits until both registers were reported not connected after the pull.
    void expectDropped() {
        EXPECT_TRUE(recorder.waitForStatus(0, 0, 1, 20000));
        EXPECT_TRUE(recorder.waitForStatus(1, 0, 1, 20000));
        ASSERT_TRUE(recorder.waitForLineEvents(1, 20000));
    }

    std::string log() const { return readFile(receipts + "/" + ONLINE_LOG_NAME); }

    TempDir tmp;
    const std::string link = tmp.file("ttyUSB0");
    const std::string receipts = tmp.file("receipts");
    Recorder recorder;
    FixedDateClock clock;
    TarvelServerDoc doc{clock};
    ScriptedPrompt prompt;
    std::unique_ptr<ecrsim::Simulator> first;
    std::map<int, ecrsim::SimRegister> kept;
    std::vector<ecrsim::JournalReceipt> firstJournal;
};

TEST_F(LineLossTest, RegistersDropWithoutSpinningAndCollectingResumesWhenTheAdapterIsBack) {
    pull();
    expectDropped();
    const double cpu = cpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    EXPECT_LT(cpuSeconds() - cpu, 0.3);
    EXPECT_EQ(1u, countOf(log(), "Utracono połączenie z portem szeregowym " + link + "."));
    EXPECT_EQ(0u, countOf(log(), "Ponownie otwarto"));

    // Back under the same name, on a new pseudo-terminal.
    ecrsim::Simulator second(lineOptions(link, 6));
    std::string error;
    ASSERT_TRUE(second.open(error)) << error;
    for (const auto& entry : kept) {
        const ecrsim::SimRegister& reg = entry.second;  // clang 14 captures no bindings
        ASSERT_TRUE(second.withRegister(entry.first, [&](ecrsim::SimRegister& r) { r = reg; }));
    }
    second.start();
    ASSERT_TRUE(second.waitForJournal(RECEIPTS, 60000)) << second.journal().size();
    ASSERT_TRUE(recorder.waitForReceipts(2 * RECEIPTS, 20000)) << recorder.receipts().size();
    stopOnline(doc, prompt);
    second.stop();

    std::vector<ecrsim::JournalReceipt> journal = firstJournal;
    for (const ecrsim::JournalReceipt& r : second.journal())
        journal.push_back(r);
    ASSERT_EQ(2 * RECEIPTS, journal.size());
    std::vector<std::string> files = filesIn(receipts);
    files.erase(std::remove(files.begin(), files.end(), ONLINE_LOG_NAME), files.end());
    EXPECT_EQ(2 * RECEIPTS, files.size());
    EXPECT_EQ(2 * RECEIPTS, recorder.receipts().size());
    std::set<std::string> named;
    for (const ecrsim::JournalReceipt& r : journal) {
        const std::string name = receiptFileOf(files, r);
        if (!name.empty()) {
            EXPECT_EQ(receiptText(r.lines), readFile(receipts + "/" + name)) << name;
        }
        named.insert(name);
    }
    EXPECT_EQ(2 * RECEIPTS, named.size());

    EXPECT_EQ(1u, countOf(log(), "Ponownie otwarto port szeregowy " + link + "."));
    EXPECT_EQ((std::vector<std::string>{"lost " + link, "back " + link}), recorder.lineEvents());
    // Connected, dropped by the pull, connected again, dropped by the stop.
    const auto statuses = recorder.statuses();
    for (int slot = 0; slot < 2; ++slot) {
        EXPECT_EQ(2, std::count(statuses.begin(), statuses.end(), std::make_pair(slot, 1)));
        EXPECT_EQ(2, std::count(statuses.begin(), statuses.end(), std::make_pair(slot, 0)));
    }
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(LineLossTest, StopWhileTheAdapterIsGoneIsPromptAndClosesThePort) {
    pull();
    expectDropped();
    // The worker now waits to try the device again; the stop must not wait that out.
    const auto start = std::chrono::steady_clock::now();
    stopOnline(doc, prompt);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(900));
    EXPECT_FALSE(doc.isOnline());
    EXPECT_FALSE(doc.link().isOpen());
    EXPECT_EQ(1u, countOf(log(), "Zakończenie komunikacji z kasami w trybie online"));
    EXPECT_EQ(0u, countOf(log(), "Ponownie otwarto"));
    EXPECT_TRUE(prompt.shown.empty());
}

}  // namespace
}  // namespace kos::test
