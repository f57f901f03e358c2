// Opening the line and calling a register: argument checks and the register's first frame.
#include <gtest/gtest.h>

#include <future>
#include <string>

#include "LinkPeer.h"
#include "link/TX310Comm.h"
#include "support/ManualClock.h"
#include "support/Pty.h"

namespace kos {
namespace {

using test::frameBytes;
using test::Pty;

class InLineModeTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = comDevice(1);
        setComDevice(1, pty.slavePath());
        clock.stepPerRead = 200;  // a silent line gives up after about ten reads
    }
    void TearDown() override { setComDevice(1, saved_); }

    Pty pty;
    test::ManualClock clock;

private:
    std::string saved_;
};

TEST_F(InLineModeTest, ArgumentsAreCheckedBeforeTheLineIsTouched) {
    TX310Comm comm(clock);
    std::string reply = "x";
    EXPECT_EQ(comm.initInLineMode(5, 9600, 500, 1, reply), TX310_ERR_PORT);
    EXPECT_EQ(comm.initInLineMode(0, 9600, 500, 1, reply), TX310_ERR_PORT);
    EXPECT_EQ(comm.initInLineMode(1, 9600, 500, 100, reply), TX310_ERR_ECR_NUMBER);
    EXPECT_EQ(comm.initInLineMode(1, 1200, 500, 1, reply), TX310_ERR_OPEN);
    EXPECT_FALSE(comm.isOpen());
    EXPECT_EQ(pty.drain(50), "");
}

struct FirstFrameCase {
    const char* name;
    std::string firstFrame;
    int expectedCode;
    std::string expectedReply;
    bool expectStop;  // the PC answers with the frame "S"
};

TEST_F(InLineModeTest, FirstFrameOfTheRegister) {
    const FirstFrameCase cases[] = {
        {"six digits", "123456;", TX310_OK, "123456", false},
        {"five digits", "12345;", TX310_OK, "12345", true},
        {"six digits and more", "123456;3;0;", TX310_OK, "123456", true},
        {"letters", "12345A;", TX310_OK, "12345A", true},
        {"done", "D", TX310_OK, "", false},
        {"no separator", "123456", TX310_ERR_FORMAT, "untouched", false},
    };
    for (const FirstFrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto peer = std::async(std::launch::async, [&] {
            std::string call = pty.read(8, 3000);
            pty.write(frameBytes(c.firstFrame));
            std::string ack = pty.read(1, 3000);
            std::string stop;
            if (c.expectStop) {
                bool ok = false;
                stop = test::readFrame(pty, 3000, ok);
                pty.write("\x06");
            }
            return call + "|" + ack + "|" + stop;
        });
        std::string reply = "untouched";
        {
            TX310Comm comm(clock);
            EXPECT_EQ(comm.initInLineMode(1, 9600, 2000, 7, reply), c.expectedCode);
            EXPECT_EQ(reply, c.expectedReply);
            EXPECT_EQ(comm.getBeginFrameTimeout(), 2000);
            EXPECT_TRUE(comm.isOpen());
            std::string wire = peer.get();
            EXPECT_EQ(wire, test::callBytes(7) + "|\x06|" + (c.expectStop ? "S" : ""));
            EXPECT_EQ(comm.endInLineMode(), TX310_OK);
        }
        EXPECT_EQ(pty.drain(50), "\x13\x13");
    }
}

TEST_F(InLineModeTest, RegisterZeroIsCalledAsDoubleZero) {
    auto peer = std::async(std::launch::async, [&] {
        std::string call = pty.read(8, 3000);
        pty.write(frameBytes("D"));
        pty.read(1, 3000);
        return call;
    });
    TX310Comm comm(clock);
    std::string reply;
    EXPECT_EQ(comm.initInLineMode(1, 9600, 2000, 0, reply), TX310_OK);
    EXPECT_EQ(peer.get(), test::callBytes(0));
}

}  // namespace
}  // namespace kos
