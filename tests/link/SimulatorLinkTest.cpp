// The protocol object against simulated registers: call, frame, ACK and release for several
// registers sharing one line, traced into a log file.
#include <gtest/gtest.h>

#include <string>

#include "Simulator.h"
#include "link/TX310Comm.h"
#include "support/TempDir.h"

namespace kos {
namespace {

using ecrsim::SimOptions;
using ecrsim::Simulator;

TEST(SimulatorLinkTest, ThreeRegistersOnOneLineWithTrace) {
    SimOptions options;
    options.registers = {1, 7, 99};
    Simulator sim(options);
    std::string error;
    ASSERT_TRUE(sim.open(error)) << error;
    sim.start();
    const std::string saved = comDevice(2);
    setComDevice(2, sim.slavePath());
    test::TempDir dir;
    const std::string logPath = dir.file("kos.log");

    for (int nr : {1, 7, 99}) {
        SCOPED_TRACE(nr);
        TX310Comm comm;
        ASSERT_TRUE(comm.openLog(logPath));
        std::string reply;
        EXPECT_EQ(comm.initInLineMode(2, 9600, 2000, static_cast<uint8_t>(nr), reply), TX310_OK);
        EXPECT_EQ(reply, ecrsim::defaultSerial(nr));
        EXPECT_EQ(comm.endInLineMode(), TX310_OK);
        comm.closeLog();
    }
    // A number nobody answers to: the hunt for the frame start runs out.
    {
        TX310Comm comm;
        std::string reply;
        EXPECT_EQ(comm.initInLineMode(2, 9600, 500, 50, reply), TX310_ERR_READ);
    }
    // Online style: the port stays open, registers are selected and released in turn.
    {
        TX310Comm comm;
        ASSERT_TRUE(comm.open(2, 9600));
        ASSERT_TRUE(comm.setReadTimeouts(20, 2));
        for (int round = 0; round < 3; ++round) {
            for (int nr : {99, 1, 7}) {
                ASSERT_EQ(comm.selectEcr(static_cast<uint8_t>(nr)), TX310_OK);
                std::string message;
                EXPECT_EQ(comm.receiveFrame(message, true), TX310_OK);
                EXPECT_EQ(message, ecrsim::defaultSerial(nr) + ";");
                EXPECT_EQ(comm.leaveInLineMode(), TX310_OK);
            }
        }
    }
    setComDevice(2, saved);
    sim.stop();
    EXPECT_EQ(sim.stats().calls, 12);
    EXPECT_EQ(sim.stats().releases, 12);
    EXPECT_EQ(sim.stats().badFrames, 0);

    const std::string log = test::readFile(logPath);
    for (const char* line :
         {" START TX310Comm::initInLineMode", " START TX310Comm::sendFF( 4 )",
          " TX310Comm::sendFF, return TX310_OK", "\n\t count = 4, buff = 11,11,30,37,",
          "\n\t count = 4, buff = 11,11,39,39,", " TX310Comm::receiveFrame, timeout = ",
          " TX310Comm::receiveFrame, received begin frame character",
          " TX310Comm::receiveFrame, c = a, receive( & c, 1 ) == TX310_OK",
          " TX310Comm::receiveFrame, c = 32, receive( & c, 1 )",
          " TX310Comm::receiveFrame, received frame (without crc)",
          " TX310Comm::receiveFrame, crc OK", " START TX310Comm::sendAck",
          "\n\t count = 1, buff = 6,", " TX310Comm::sendAck, return TX310_OK",
          " START TX310Comm::receiveFrame, return TX310_OK", " START TX310Comm::endInLineMode",
          "\n\t count = 2, buff = 13,13,", " TX310Comm::send return TX310_OK",
          " TX310Comm::receive return TX310_OK"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
    // Three calls, each traced with its own time-stamped start line.
    size_t starts = 0;
    for (size_t pos = 0;
         (pos = log.find("START TX310Comm::initInLineMode", pos)) != std::string::npos; ++pos)
        ++starts;
    EXPECT_EQ(starts, 3u);
}

}  // namespace
}  // namespace kos
