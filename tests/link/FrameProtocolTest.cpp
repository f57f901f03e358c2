// Frames on the wire: CRC, limits of size and characters, the hunt for the frame start with its
// time-out, repeats of unacknowledged frames.
#include <gtest/gtest.h>
#include <termios.h>

#include <future>
#include <string>

#include "LinkPeer.h"
#include "link/FrameCrc.h"
#include "link/TX310Comm.h"
#include "link/TX310Text.h"
#include "support/ManualClock.h"
#include "support/Pty.h"
#include "support/TempDir.h"

namespace kos {
namespace {

using test::frameBytes;
using test::ManualClock;
using test::Pty;

// A protocol object on the slave side with short read time-outs: a silent line costs 20 ms.
struct Line {
    Pty pty;
    ManualClock clock{1000};
    TX310Comm comm{clock};

    Line() {
        EXPECT_TRUE(comm.openDevice(pty.slavePath(), 9600));
        EXPECT_TRUE(comm.setReadTimeouts(20, 0));
    }
};

TEST(FrameCrcTest, CheckValuesAndContinuation) {
    EXPECT_EQ(frameCrc("123456789", 9), 0xA829);
    EXPECT_EQ(frameCrc("abc\r", 4), 0x3CDE);
    // Continued over a second buffer it equals the CRC of both at once.
    EXPECT_EQ(frameCrc("\r", 1, frameCrc("abc", 3)), 0x3CDE);
    EXPECT_EQ(frameCrc("", 0), 0);
    EXPECT_EQ(frameBytes("abc"), std::string("\x0A"
                                             "abc"
                                             "\x0D\x3C\xDE",
                                             7));
}

TEST(FrameProtocolTest, SentFrameIsExactAndAcknowledged) {
    Line line;
    auto peer = std::async(std::launch::async, [&] {
        std::string got = line.pty.read(7, 2000);
        line.pty.write("\x06");
        return got;
    });
    EXPECT_EQ(line.comm.sendFrame("abc"), TX310_OK);
    EXPECT_EQ(peer.get(), std::string("\x0A"
                                      "abc"
                                      "\x0D\x3C\xDE",
                                      7));
    EXPECT_EQ(line.clock.slept.load(), 100u);  // the pause before the first transmission

    // An empty frame: begin, end and the CRC of the end byte alone.
    auto empty = std::async(std::launch::async, [&] {
        std::string got = line.pty.read(4, 2000);
        line.pty.write("\x06");
        return got;
    });
    EXPECT_EQ(line.comm.sendFrame(""), TX310_OK);
    const uint16_t crc = frameCrc("\r", 1);
    EXPECT_EQ(empty.get(), std::string("\x0A\x0D") + static_cast<char>(crc >> 8) +
                               static_cast<char>(crc & 0xFF));
}

TEST(FrameProtocolTest, BadCrcIsReportedAndNotAcknowledged) {
    Line line;
    line.pty.write(
        std::string("\x0A"
                    "abc"
                    "\x0D\x3C\xDF",
                    7));
    std::string out = "old";
    EXPECT_EQ(line.comm.receiveFrame(out, true), TX310_ERR_CRC);
    EXPECT_EQ(line.pty.drain(100), "");

    line.pty.write(frameBytes("abc"));
    EXPECT_EQ(line.comm.receiveFrame(out, true), TX310_OK);
    EXPECT_EQ(out, "abc");
    EXPECT_EQ(line.pty.drain(100), "\x06");
}

TEST(FrameProtocolTest, SizeLimitBothWays) {
    Line line;
    const std::string max(MAX_FRAME_DATA_LEN, 'x');
    auto peer = std::async(std::launch::async, [&] {
        std::string got = line.pty.read(max.size() + 4, 2000);
        line.pty.write("\x06");
        return got;
    });
    EXPECT_EQ(line.comm.sendFrame(max.c_str()), TX310_OK);
    EXPECT_EQ(peer.get(), frameBytes(max));

    const std::string tooLong(MAX_FRAME_DATA_LEN + 1, 'x');
    EXPECT_EQ(line.comm.sendFrame(tooLong.c_str()), TX310_ERR_FORMAT);
    EXPECT_EQ(line.pty.drain(100), "");  // refused before any byte left

    std::string out;
    line.pty.write(frameBytes(max));
    EXPECT_EQ(line.comm.receiveFrame(out, true), TX310_OK);
    EXPECT_EQ(out, max);
    EXPECT_EQ(line.pty.drain(100), "\x06");
    line.pty.write(frameBytes(tooLong));
    EXPECT_EQ(line.comm.receiveFrame(out, true), TX310_ERR_FORMAT);
    EXPECT_EQ(line.pty.drain(100), "");
}

TEST(FrameProtocolTest, CharacterRangeBothWays) {
    Line line;
    const std::string del = "a\x7F";
    auto peer = std::async(std::launch::async, [&] {
        std::string got = line.pty.read(del.size() + 4, 2000);
        line.pty.write("\x06");
        return got;
    });
    EXPECT_EQ(line.comm.sendFrame(del.c_str()), TX310_OK);
    EXPECT_EQ(peer.get(), frameBytes(del));
    std::string out;
    line.pty.write(frameBytes(del));
    EXPECT_EQ(line.comm.receiveFrame(out, true), TX310_OK);
    EXPECT_EQ(out, del);
    line.pty.drain(50);

    for (const std::string bad : {"a\x80", "\xFF", "a\x1F", "\x09",
                                  "a\x0A"
                                  "b"}) {
        SCOPED_TRACE(testing::PrintToString(bad));
        EXPECT_EQ(line.comm.sendFrame(bad.c_str()), TX310_ERR_FORMAT);
        EXPECT_EQ(line.pty.drain(30), "");
        line.pty.write(frameBytes(bad));
        EXPECT_EQ(line.comm.receiveFrame(out, true), TX310_ERR_FORMAT);
        EXPECT_EQ(line.pty.drain(50).find('\x06'), std::string::npos);
        tcflush(line.comm.fd(), TCIFLUSH);  // the rest of the refused frame
    }
}

TEST(FrameProtocolTest, EmptyFrameAndGarbageBeforeFrameStart) {
    Line line;
    line.pty.write(std::string("\x13\x13\xFF\x06zz\x0D", 7) + frameBytes(""));
    std::string out = "x";
    EXPECT_EQ(line.comm.receiveFrame(out, true), TX310_OK);
    EXPECT_EQ(out, "");
    EXPECT_EQ(line.pty.drain(100), "\x06");
}

// The hunt counts failed one-byte reads through the trace: the test clock adds 100 ms per tick
// read, so a 1000 ms limit allows exactly 10 silent reads, then ends on the 11th.
int silentReadsUntilTimeout(uint32_t startTick) {
    Line line;
    test::TempDir dir;
    line.clock.setTick(startTick);
    line.clock.stepPerRead = 100;
    EXPECT_TRUE(line.comm.openLog(dir.file("trace.log")));
    line.comm.setBeginFrameTimeout(1000);
    line.pty.write("garbage");
    std::string out;
    EXPECT_EQ(line.comm.receiveFrame(out, true), TX310_ERR_READ);
    line.comm.closeLog();
    std::string log = test::readFile(dir.file("trace.log"));
    EXPECT_NE(log.find("dt > beginFrameTimeout"), std::string::npos);
    int reads = 0;
    for (size_t pos = 0;
         (pos = log.find("TX310Comm::receiveFrame, dt = ", pos)) != std::string::npos; ++pos)
        ++reads;
    return reads;
}

TEST(FrameProtocolTest, SilentLineEndsHuntAfterTimeoutAlsoAcrossTickWrap) {
    // Seven garbage bytes and four silent reads: elapsed 100, 200, ... 1100 ms.
    EXPECT_EQ(silentReadsUntilTimeout(1000), 11);
    EXPECT_EQ(silentReadsUntilTimeout(0xFFFFFF00u), 11);
}

TEST(FrameProtocolTest, UnacknowledgedFrameGoesExactlyTenTimes) {
    Line line;
    EXPECT_EQ(line.comm.sendFrame("abc"), TX310_ERR_SEND);
    std::string wire = line.pty.drain(100);
    std::string expected;
    for (int i = 0; i < MAX_FRAME_REPEAT; ++i)
        expected += frameBytes("abc");
    EXPECT_EQ(wire, expected);
    EXPECT_EQ(line.clock.slept.load(), 1000u);
}

TEST(FrameProtocolTest, WrongByteInsteadOfAckIsAFailedAttempt) {
    Line line;
    auto peer = std::async(std::launch::async, [&] {
        std::string first = line.pty.read(7, 2000);
        line.pty.write("\x15");
        std::string second = line.pty.read(7, 2000);
        line.pty.write("\x06");
        return first + second;
    });
    EXPECT_EQ(line.comm.sendFrame("abc"), TX310_OK);
    EXPECT_EQ(peer.get(), frameBytes("abc") + frameBytes("abc"));
}

TEST(FrameProtocolTest, SendFfSelectAndRelease) {
    Line line;
    EXPECT_EQ(line.comm.selectEcr(7), TX310_OK);
    EXPECT_EQ(line.pty.drain(50), test::callBytes(7));
    EXPECT_EQ(line.comm.selectEcr(0), TX310_ERR_ECR_NUMBER);
    EXPECT_EQ(line.comm.selectEcr(100), TX310_ERR_ECR_NUMBER);
    EXPECT_EQ(line.pty.drain(50), "");
    EXPECT_EQ(line.comm.leaveInLineMode(), TX310_OK);
    EXPECT_TRUE(line.comm.isOpen());
    EXPECT_EQ(line.comm.endInLineMode(), TX310_OK);
    EXPECT_FALSE(line.comm.isOpen());
    EXPECT_EQ(line.pty.drain(50), "\x13\x13\x13\x13");
    EXPECT_EQ(line.comm.send("x", 1), TX310_ERR_SEND);
}

TEST(FrameProtocolTest, DestructorReleasesAnOpenLine) {
    Pty pty;
    {
        TX310Comm comm;
        ASSERT_TRUE(comm.openDevice(pty.slavePath(), 9600));
    }
    EXPECT_EQ(pty.drain(50), "\x13\x13");
    { TX310Comm closed; }
    EXPECT_EQ(pty.drain(50), "");
}

TEST(FrameProtocolTest, FieldsAndRegisterCharacters) {
    std::string message = "0;12;;x";
    std::string field;
    EXPECT_TRUE(nextField(message, field));
    EXPECT_EQ(field, "0");
    EXPECT_TRUE(nextField(message, field));
    EXPECT_EQ(field, "12");
    EXPECT_TRUE(nextField(message, field));
    EXPECT_EQ(field, "");
    EXPECT_FALSE(nextField(message, field));
    EXPECT_EQ(field, "");
    EXPECT_EQ(message, "x");

    // ż ó ł ć and the other Polish letters of code page 1250, both cases.
    EXPECT_EQ(toEcrText("\xBF\xF3\xB3\xE6"), "_])[");
    EXPECT_EQ(fromEcrText("_])["), "\xAF\xD3\xA3\xC6");
    EXPECT_EQ(toEcrText("\xA5\xB9\xCA\xEA\x8C\x9C\x8F\x9F\xD1\xF1"), "$$((^^''\\\\");
    EXPECT_EQ(toEcrText("Mleko 3.2%, z\xB3ote"), "MLEKO 3.2%, Z)OTE");
    EXPECT_EQ(fromEcrText("$'()[\\]^_"), "\xA5\x8F\xCA\xA3\xC6\xD1\xD3\x8C\xAF");
    EXPECT_EQ(toEcrText("\xE9"), "\xE9");  // left for sendFrame to refuse
}

}  // namespace
}  // namespace kos
