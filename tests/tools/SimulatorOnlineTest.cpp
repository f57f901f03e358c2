// The simulator as the online server sees it: one message per poll, sequence digits, repeats of
// what was not acknowledged, the journal, and the faults it injects.
#include <gtest/gtest.h>

#include <termios.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "CommandLine.h"
#include "SimPoller.h"
#include "Simulator.h"

namespace kos {
namespace {

using ecrsim::Faults;
using ecrsim::ReceiptMaker;
using ecrsim::SimOptions;
using ecrsim::Simulator;
using test::pollOnce;
using test::splitFields;

class SimulatorOnlineTest : public testing::Test {
protected:
    void startSim(SimOptions options) {
        options.articles = ecrsim::sampleArticles();
        sim = std::make_unique<Simulator>(options);
        std::string error;
        ASSERT_TRUE(sim->open(error)) << error;
        sim->start();
        ASSERT_TRUE(comm.openDevice(sim->slavePath(), 9600));
        // Online timing at 9600 bit/s, with room for a busy machine.
        ASSERT_TRUE(comm.setReadTimeouts(100, 2));
        comm.setBeginFrameTimeout(1000);
    }
    void TearDown() override {
        comm.close();
        if (sim)
            sim->stop();
    }

    std::unique_ptr<Simulator> sim;
    TX310Comm comm;
};

TEST_F(SimulatorOnlineTest, ReceiptLinesOnePerPollThenIdle) {
    SimOptions options;
    options.registers = {7};
    startSim(options);
    EXPECT_EQ(pollOnce(comm, 7).text, "200007;");

    const ecrsim::SimArticle milk = ecrsim::sampleArticles()[0];
    sim->ringReceipt(7, {ReceiptMaker::sale(milk, 2000), ReceiptMaker::saleWithoutPlu(150),
                         ReceiptMaker::percentChange(0, -500), ReceiptMaker::end(2, 41, 650)});
    std::vector<std::string> got;
    for (int i = 0; i < 4; ++i) {
        test::PolledMessage m = pollOnce(comm, 7);
        ASSERT_EQ(m.code, TX310_OK);
        got.push_back(m.text);
    }
    EXPECT_EQ(got[0], "200007;0;0;00000000000012;2.50;2.000;5.00;");
    EXPECT_EQ(got[1], "200007;1;0;;1.50;1.50;");
    EXPECT_EQ(got[2], "200007;2;2;0;;-5.00;");
    const std::vector<std::string> end = splitFields(got[3]);
    ASSERT_EQ(end.size(), 20u);
    EXPECT_EQ(end[1], "3");
    EXPECT_EQ(end[2], "3");
    EXPECT_EQ(end[8], "41");
    EXPECT_EQ(end[9], "2");
    EXPECT_EQ(pollOnce(comm, 7).text, "200007;");

    ASSERT_TRUE(sim->waitForJournal(1, 2000));
    const auto journal = sim->journal();
    EXPECT_EQ(journal[0].lines, got);
    EXPECT_EQ(journal[0].series, 2);
    EXPECT_EQ(journal[0].number, 41);
    EXPECT_EQ(journal[0].ecr, 7);
    // The sale went into the register's counters.
    sim->withRegister(7, [](ecrsim::SimRegister& reg) {
        EXPECT_EQ(reg.articles.at("00000000000012").quantity, 2000);
        EXPECT_EQ(reg.articles.at("00000000000012").amount, 500);
    });
}

TEST_F(SimulatorOnlineTest, UnacknowledgedMessageComesAgainWithItsDigit) {
    SimOptions options;
    options.registers = {1};
    startSim(options);
    sim->ringReceipt(1);
    test::PolledMessage first = pollOnce(comm, 1, false);
    ASSERT_EQ(first.code, TX310_OK);
    test::PolledMessage again = pollOnce(comm, 1);
    EXPECT_EQ(again.text, first.text);
    test::PolledMessage next = pollOnce(comm, 1);
    EXPECT_EQ(splitFields(next.text)[1], "1");
    EXPECT_EQ(sim->journal().size(), 0u);
}

TEST_F(SimulatorOnlineTest, StopAfterTheFirstFrameGivesTheLineBack) {
    SimOptions options;
    options.registers = {1};
    startSim(options);
    sim->ringReceipt(1);
    comm.close();
    const std::string saved = comDevice(4);
    setComDevice(4, sim->slavePath());
    std::string reply;
    {
        TX310Comm command;
        EXPECT_EQ(command.initInLineMode(4, 9600, 2000, 1, reply), TX310_OK);
        EXPECT_EQ(reply, "200001");
        EXPECT_EQ(command.endInLineMode(), TX310_OK);
    }
    setComDevice(4, saved);
    ASSERT_TRUE(comm.openDevice(sim->slavePath(), 9600));
    ASSERT_TRUE(comm.setReadTimeouts(100, 2));
    // The line the command was shown is the first one online mode receives.
    test::PolledMessage m = pollOnce(comm, 1);
    EXPECT_EQ(splitFields(m.text)[1], "0");
    EXPECT_EQ(splitFields(m.text)[2], "0");
}

struct FaultCase {
    const char* name;
    Faults faults;
    bool expectRepeats;
};

// Whatever goes wrong on the line, the receipts the PC assembles are exactly the register's.
TEST_F(SimulatorOnlineTest, FaultsLoseNothingAndDoubleNothing) {
    const FaultCase cases[] = {
        {"lost ACKs", Faults{0, 2, 0, 0, 0, 0}, true},
        {"corrupted frames", Faults{4, 0, 0, 0, 0, 0}, false},
        {"silent calls", Faults{0, 0, 0, 3, 0, 0}, false},
        {"repeated messages", Faults{0, 0, 0, 0, 4, 0}, true},
        {"everything", Faults{5, 4, 0, 7, 6, 0}, true},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SimOptions options;
        options.registers = {3, 12};
        options.faults = c.faults;
        options.receiptLines = 3;
        startSim(options);
        comm.setBeginFrameTimeout(200);  // silent calls cost this much
        for (int i = 0; i < 2; ++i) {
            sim->ringReceipt(3);
            sim->ringReceipt(12);
        }
        test::ReceiptCollector pc;
        int failed = 0;
        for (int poll = 0; poll < 200 && sim->journal().size() < 4; ++poll) {
            for (int nr : {3, 12}) {
                test::PolledMessage m = pollOnce(comm, nr);
                if (m.code == TX310_OK)
                    pc.take(nr, m.text);
                else
                    ++failed;
            }
        }
        ASSERT_EQ(sim->journal().size(), 4u);
        for (int nr : {3, 12}) {
            std::vector<std::vector<std::string>> registerSide;
            for (const auto& r : sim->journal())
                if (r.ecr == nr)
                    registerSide.push_back(r.lines);
            EXPECT_EQ(pc.receipts[nr], registerSide) << "register " << nr;
        }
        EXPECT_EQ(pc.repeats > 0, c.expectRepeats);
        EXPECT_EQ(failed > 0, c.faults.corruptEvery > 0 || c.faults.silentEvery > 0);
    }
}

TEST_F(SimulatorOnlineTest, FrameOfThePcLeftUnacknowledgedIsSentAgain) {
    SimOptions options;
    options.registers = {5};
    options.faults.noAckEvery = 2;
    startSim(options);
    comm.setReadTimeouts(200, 30);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(comm.selectEcr(5), TX310_OK);
        std::string m;
        ASSERT_EQ(comm.receiveFrame(m, true), TX310_OK);
        EXPECT_EQ(comm.sendFrame("W38;1;1;"), TX310_OK);
        ASSERT_EQ(comm.receiveFrame(m, true), TX310_OK);
        EXPECT_EQ(m, "D");
        comm.leaveInLineMode();
    }
    // Two frames accepted, one transmission ignored on the way.
    EXPECT_EQ(sim->stats().framesReceived, 2);
}

TEST_F(SimulatorOnlineTest, SerialNumberChangesAfterReceipts) {
    SimOptions options;
    options.registers = {7};
    options.faults.serialChangeEvery = 1;
    startSim(options);
    sim->ringReceipt(7);
    sim->ringReceipt(7);
    std::vector<std::string> serials;
    for (int i = 0; i < 20 && sim->journal().size() < 2; ++i) {
        test::PolledMessage m = pollOnce(comm, 7);
        if (m.code == TX310_OK && splitFields(m.text).size() > 1)
            serials.push_back(splitFields(m.text)[0]);
    }
    ASSERT_EQ(sim->journal().size(), 2u);
    EXPECT_EQ(serials.front(), "200007");
    EXPECT_EQ(serials.back(), "200008");
    EXPECT_EQ(sim->journal()[1].serial, "200008");
    EXPECT_EQ(pollOnce(comm, 7).text, "200009;");
}

TEST_F(SimulatorOnlineTest, RegistersRingOnTheirOwnAndStopAtTheLimit) {
    SimOptions options;
    options.registers = {1, 2, 3};
    options.receiptEveryMs = 50;
    options.maxReceipts = 2;
    startSim(options);
    test::ReceiptCollector pc;
    for (int i = 0; i < 400 && sim->journal().size() < 6; ++i)
        for (int nr : {1, 2, 3}) {
            test::PolledMessage m = pollOnce(comm, nr);
            if (m.code == TX310_OK)
                pc.take(nr, m.text);
        }
    ASSERT_EQ(sim->journal().size(), 6u);
    for (int nr : {1, 2, 3}) {
        ASSERT_EQ(pc.receipts[nr].size(), 2u);
        const auto end = splitFields(pc.receipts[nr][1].back());
        EXPECT_EQ(end[8], "2");  // receipt numbers run 1, 2
    }
    for (int nr : {1, 2, 3})
        EXPECT_EQ(pollOnce(comm, nr).text, ecrsim::defaultSerial(nr) + ";");
}

TEST_F(SimulatorOnlineTest, GarbageFromThePcLeavesTheRegistersAnswering) {
    SimOptions options;
    options.registers = {1, 2};
    startSim(options);
    std::mt19937 rng(7);
    const std::string steering = "\x0A\x0D\x06\xFF\x13\x11\x30\x31\x32;";
    std::string garbage;
    for (int i = 0; i < 20000; ++i)
        garbage.push_back(rng() % 3 == 0 ? steering[rng() % steering.size()]
                                         : static_cast<char>(rng() % 256));
    ASSERT_EQ(comm.send(garbage.data(), static_cast<int>(garbage.size())), TX310_OK);
    comm.leaveInLineMode();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    tcflush(comm.fd(), TCIFLUSH);  // whatever the registers said to the garbage
    for (int nr : {1, 2})
        EXPECT_EQ(pollOnce(comm, nr).text, ecrsim::defaultSerial(nr) + ";");
    sim->ringReceipt(2);
    test::PolledMessage m = pollOnce(comm, 2);
    EXPECT_EQ(splitFields(m.text)[1], "0");
}

}  // namespace
}  // namespace kos
