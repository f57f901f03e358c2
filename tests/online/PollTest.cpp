// Polls driven against the register simulator on a pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "CommSupport.h"
#include "Simulator.h"
#include "online/TarvelServerDoc.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

namespace fs = std::filesystem;
using ecrsim::ReceiptLine;
using ecrsim::ReceiptMaker;
using ecrsim::SimArticle;

class PollTest : public ::testing::Test {
protected:
    void start(ecrsim::SimOptions options, int beginFrameMs, int readConstantMs) {
        options.registers = {7};
        sim = std::make_unique<ecrsim::Simulator>(options);
        std::string error;
        ASSERT_TRUE(sim->open(error)) << error;
        sim->start();
        receipts = tmp.file("receipts");
        ASSERT_EQ(0, ::mkdir(receipts.c_str(), 0755));
        doc.setDirectories(receipts, doc.backupDir());
        ASSERT_TRUE(
            doc.serverLog().open(tmp.file("TarvelServer.log"), LogFile::LOG_CLOSE_EACH_WRITE));
        ASSERT_TRUE(doc.link().openDevice(sim->slavePath(), 9600));
        ASSERT_TRUE(doc.link().setReadTimeouts(readConstantMs, 2));
        doc.link().setBeginFrameTimeout(beginFrameMs);
        ASSERT_EQ(0, doc.addRegister(7));
    }
    void TearDown() override {
        doc.link().close();
        if (sim)
            sim->stop();
    }
    void pollUntil(const std::function<bool()>& done, int maxPolls) {
        for (int i = 0; i < maxPolls && !done(); ++i) {
            doc.pollSlot(0);
        }
    }
    std::string fileEndingIn(const std::string& suffix) {
        for (const auto& e : fs::directory_iterator(receipts)) {
            const std::string name = e.path().filename().string();
            if (name.size() >= suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                return e.path().string();
        }
        return {};
    }

    FixedDateClock clock;
    TempDir tmp;
    TarvelServerDoc doc{clock};
    std::string receipts;
    std::unique_ptr<ecrsim::Simulator> sim;
};

TEST_F(PollTest, ReceiptsArriveWholeDespiteRepeatsLostAcksAndBadFrames) {
    ecrsim::SimOptions options;
    options.faults.loseAckEvery = 3;
    options.faults.repeatEvery = 4;
    options.faults.corruptEvery = 5;
    start(options, 400, 50);

    const SimArticle a{"00000000000012", "CHLEB", 1, 350};
    const SimArticle b{"00000000000077", "MLEKO", 2, 290};
    const std::vector<std::vector<ReceiptLine>> rung = {
        {ReceiptMaker::sale(a, 1000), ReceiptMaker::sale(b, 2500), ReceiptMaker::sale(a, -500),
         ReceiptMaker::saleWithoutPlu(1200), ReceiptMaker::percentChange(1, -500),
         ReceiptMaker::end(1, 31, 900)},
        {ReceiptMaker::sale(b, 1000), ReceiptMaker::end(1, 32, 290)},
        {ReceiptMaker::sale(a, 3000), ReceiptMaker::end(1, 33, 1050)},
    };
    for (const auto& lines : rung)
        sim->ringReceipt(7, lines);

    pollUntil([&] { return sim->journal().size() == 3 && doc.slotAt(0)->lines.empty(); }, 400);
    const auto journal = sim->journal();
    ASSERT_EQ(3u, journal.size());
    EXPECT_EQ(1, doc.slotAt(0)->connected);
    int fileNumber = 1;
    for (const auto& r : journal) {
        std::string expected;
        for (const std::string& line : r.lines)
            expected += line + "\r\n";
        char name[128];
        std::snprintf(name, sizeof name, "20261206_%05d_%s_%ld_%ld.txt", fileNumber++,
                      r.serial.c_str(), r.series, r.number);
        EXPECT_EQ(expected, readFile(receipts + "/" + name)) << name;
    }
    EXPECT_EQ(3u, static_cast<size_t>(
                      std::distance(fs::directory_iterator(receipts), fs::directory_iterator())));
    Plu pa, pb;
    pa.parse(a.plu);
    pb.parse(b.plu);
    EXPECT_EQ(3500, doc.saleOf(pa)->quantity[0]);
    EXPECT_EQ(3500, doc.saleOf(pb)->quantity[0]);
    EXPECT_EQ(12000, doc.positiveTotal(0));
    EXPECT_EQ(std::string::npos, readFile(tmp.file("TarvelServer.log")).find("Usunięcie"));
}

TEST_F(PollTest, SilentRegisterIsNotConnectedAfter101PollsAndPendingReceiptsAreRetried) {
    start({}, 10, 10);
    sim->setSilent(7, true);
    EcrOnLineComm& slot = *doc.slotAt(0);
    slot.connected = 1;

    // A receipt whose file could not be written waits for the next poll.
    const std::string aside = tmp.file("aside");
    ASSERT_EQ(0, std::rename(receipts.c_str(), aside.c_str()));
    std::string end = "S;0;3;0;1;1;0;0;5;1;";
    for (int f = 10; f < 20; ++f)
        end += "0;";
    slot.handleMessage(end, 0, doc.pollContext());
    ASSERT_EQ(1u, doc.receiptWriter().pendingCount(0));
    ASSERT_EQ(0, std::rename(aside.c_str(), receipts.c_str()));

    for (int i = 0; i < 100; ++i)
        doc.pollSlot(0);
    EXPECT_EQ(1, slot.connected);
    EXPECT_EQ(100, slot.failedPolls);
    EXPECT_TRUE(doc.receiptWriter().pendingCount(0) == 0);
    EXPECT_EQ(end + "\r\n", readFile(receipts + "/20261206_00001_S_1_5.txt"));
    doc.pollSlot(0);
    EXPECT_EQ(0, slot.connected);
    EXPECT_EQ(0, slot.failedPolls);
}

TEST_F(PollTest, ReceiptOfARemovedRegisterIsWrittenAtTheNextPollOfAnyRegister) {
    start({}, 10, 10);
    sim->setSilent(7, true);
    const std::string aside = tmp.file("aside");
    ASSERT_EQ(0, std::rename(receipts.c_str(), aside.c_str()));
    const std::string sale = "S;0;0;5;2.50;3;";
    std::string end = "S;1;3;0;1;1;0;0;5;1;";
    for (int f = 10; f < 20; ++f)
        end += "0;";
    doc.slotAt(0)->handleMessage(sale, 0, doc.pollContext());
    doc.slotAt(0)->handleMessage(end, 0, doc.pollContext());
    doc.removeRegister(0);
    ASSERT_EQ(1u, doc.receiptWriter().removedCount());
    ASSERT_EQ(0, doc.addRegister(7));
    ASSERT_EQ(0, std::rename(aside.c_str(), receipts.c_str()));

    pollUntil([&] { return doc.receiptWriter().removedCount() == 0; }, 1);
    EXPECT_TRUE(doc.receiptWriter().removedCount() == 0);
    EXPECT_EQ(sale + "\r\n" + end + "\r\n", readFile(receipts + "/20261206_00001_S_1_5.txt"));
    EXPECT_TRUE(doc.salesEntryCount() == 0);
}

}  // namespace
}  // namespace kos::test
