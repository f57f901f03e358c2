#include "link/SerialPort.h"

#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "support/Pty.h"
#include "support/TempDir.h"

namespace kos {
namespace {

using test::Pty;
using Ms = std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

std::string allByteValues() {
    std::string s;
    for (int i = 0; i < 256; ++i)
        s.push_back(static_cast<char>(i));
    return s;
}

long long msSince(SteadyClock::time_point start) {
    return std::chrono::duration_cast<Ms>(SteadyClock::now() - start).count();
}

TEST(SerialPortTest, OpenFailsAndStaysClosedForMissingDeviceBadPortOrSpeed) {
    test::TempDir dir;
    Pty pty;
    std::string saved = comDevice(3);
    setComDevice(3, dir.file("no-such-tty"));
    SerialPort port;
    EXPECT_FALSE(port.open(3, 9600));
    EXPECT_FALSE(port.isOpen());
    setComDevice(3, saved);

    EXPECT_FALSE(port.open(0, 9600));
    EXPECT_FALSE(port.open(5, 9600));
    EXPECT_EQ(comDevice(0), "");
    EXPECT_EQ(comDevice(5), "");

    for (int baud : {0, 1200, 19200, 115200, -4800}) {
        EXPECT_FALSE(port.openDevice(pty.slavePath(), baud)) << baud;
        EXPECT_FALSE(port.isOpen()) << baud;
    }
    for (int baud : {2400, 4800, 9600}) {
        EXPECT_TRUE(port.openDevice(pty.slavePath(), baud)) << baud;
        port.close();
    }
}

TEST(SerialPortTest, ComNumberGoesThroughTheDeviceTable) {
    EXPECT_EQ(comDevice(1), "/dev/ttyS0");
    EXPECT_EQ(comDevice(4), "/dev/ttyS3");
    Pty pty;
    setComDevice(2, pty.slavePath());
    SerialPort port;
    EXPECT_TRUE(port.open(2, 4800));
    EXPECT_TRUE(port.isOpen());
    setComDevice(2, "/dev/ttyS1");
}

TEST(SerialPortTest, LineIsRaw8N1AtTheRequestedSpeed) {
    Pty pty;
    SerialPort port;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 2400));
    termios tio{};
    ASSERT_EQ(tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B2400));
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B2400));
}

TEST(SerialPortTest, SecondOpenOfAHeldDeviceFailsUntilTheFirstCloses) {
    Pty pty;
    SerialPort first, second;
    ASSERT_TRUE(first.openDevice(pty.slavePath(), 9600));
    EXPECT_FALSE(second.openDevice(pty.slavePath(), 9600));
    EXPECT_FALSE(second.isOpen());
    EXPECT_TRUE(first.isOpen());
    first.close();
    EXPECT_TRUE(second.openDevice(pty.slavePath(), 9600));
}

TEST(SerialPortTest, CloseIsSafeOnAClosedPortAndSetReadTimeoutsNeedsAnOpenOne) {
    SerialPort port;
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.setReadTimeouts(200, 30));
    uint32_t n = 7;
    char c = 0;
    EXPECT_FALSE(port.read(&c, 1, n));
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(port.write(&c, 1, n));

    Pty pty;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 4800));
    port.close();
    port.close();
    EXPECT_FALSE(port.isOpen());
}

TEST(SerialPortTest, FailedSetReadTimeoutsClosesThePort) {
    Pty pty;
    SerialPort port;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 4800));
    EXPECT_FALSE(port.setReadTimeouts(-1, 30));
    EXPECT_FALSE(port.isOpen());
    // The device is free again.
    SerialPort other;
    EXPECT_TRUE(other.openDevice(pty.slavePath(), 4800));
}

TEST(SerialPortTest, WriteArrivesByteForByte) {
    Pty pty;
    SerialPort port;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 9600));
    std::string data = allByteValues() + allByteValues();
    uint32_t written = 0;
    ASSERT_TRUE(port.write(data.data(), static_cast<uint32_t>(data.size()), written));
    EXPECT_EQ(written, data.size());
    EXPECT_EQ(pty.read(data.size(), 5000), data);
}

TEST(SerialPortTest, ReadReturnsEveryByteUnchangedIncludingWhatCameBeforeOpen) {
    Pty pty;
    ASSERT_TRUE(pty.write("\x06\x11"));  // waiting in the queue before the port is opened
    SerialPort port;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 9600));
    ASSERT_TRUE(port.setReadTimeouts(2000, 10));
    std::string all = allByteValues();
    ASSERT_TRUE(pty.write(all));
    std::string got(2 + all.size(), '\0');
    uint32_t n = 0;
    ASSERT_TRUE(port.read(got.data(), static_cast<uint32_t>(got.size()), n));
    ASSERT_EQ(n, got.size());
    EXPECT_EQ(got, "\x06\x11" + all);
}

TEST(SerialPortTest, WithoutTimeoutsReadBlocksUntilAllBytesCame) {
    Pty pty;
    SerialPort port;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 9600));
    char buf[5] = {};
    uint32_t n = 0;
    auto reader = std::async(std::launch::async, [&] { return port.read(buf, 5, n); });
    ASSERT_TRUE(pty.write("ab"));
    EXPECT_EQ(reader.wait_for(Ms(400)), std::future_status::timeout);
    ASSERT_TRUE(pty.write("cde"));
    ASSERT_EQ(reader.wait_for(Ms(10000)), std::future_status::ready);
    EXPECT_TRUE(reader.get());
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(std::string(buf, 5), "abcde");
}

TEST(SerialPortTest, TimedReadOnASilentLineReturnsTrueWithNothingAfterConstantPlusMultiplier) {
    Pty pty;
    SerialPort port;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 4800));
    ASSERT_TRUE(port.setReadTimeouts(200, 30));
    char c = 0;
    uint32_t n = 9;
    auto start = SteadyClock::now();
    EXPECT_TRUE(port.read(&c, 1, n));
    long long elapsed = msSince(start);
    EXPECT_EQ(n, 0u);
    EXPECT_GE(elapsed, 230);
    EXPECT_LT(elapsed, 1500);
}

TEST(SerialPortTest, TimedReadReturnsWhatCameWhenTheLineGoesQuiet) {
    Pty pty;
    SerialPort port;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 9600));
    ASSERT_TRUE(port.setReadTimeouts(100, 10));
    ASSERT_TRUE(pty.write("xy"));
    char buf[6] = {};
    uint32_t n = 0;
    auto start = SteadyClock::now();
    EXPECT_TRUE(port.read(buf, 6, n));
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(std::string(buf, 2), "xy");
    EXPECT_GE(msSince(start), 160);
}

TEST(SerialPortTest, BlockingReadFailsInsteadOfHangingWhenThePeerVanishes) {
    Pty pty;
    SerialPort port;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 9600));
    pty.releaseSlave();
    char buf[4];
    uint32_t n = 0;
    auto reader = std::async(std::launch::async, [&] { return port.read(buf, 4, n); });
    std::this_thread::sleep_for(Ms(100));
    pty.closeMaster();
    ASSERT_EQ(reader.wait_for(Ms(10000)), std::future_status::ready);
    EXPECT_FALSE(reader.get());
}

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// An unplugged adapter: each timed read still takes its time-out, so a caller hunting for a
// frame start does not burn a core, and the port says the line is lost.
TEST(SerialPortTest, TimedReadsOnAVanishedLineFailAfterTheirTimeoutAndMarkTheLineLost) {
    Pty pty;
    SerialPort port;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 9600));
    ASSERT_TRUE(port.setReadTimeouts(40, 10));
    EXPECT_FALSE(port.lineLost());
    pty.releaseSlave();
    pty.closeMaster();
    const double cpu = cpuSeconds();
    const auto start = SteadyClock::now();
    char c = 0;
    uint32_t n = 9;
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(port.read(&c, 1, n));
    EXPECT_GE(msSince(start), 500);
    EXPECT_LT(cpuSeconds() - cpu, 0.2);
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(port.lineLost());
}

TEST(SerialPortTest, WriteToAVanishedLineFailsAndMarksTheLineLost) {
    Pty pty;
    SerialPort port;
    ASSERT_TRUE(port.openDevice(pty.slavePath(), 9600));
    pty.releaseSlave();
    pty.closeMaster();
    uint32_t n = 9;
    EXPECT_FALSE(port.write("ab", 2, n));
    EXPECT_TRUE(port.lineLost());
}

TEST(SerialPortTest, ReopenOpensTheSameDeviceWithTheSameTimeoutsAndClearsTheLoss) {
    test::TempDir dir;
    SerialPort port;
    EXPECT_FALSE(port.reopen());  // never opened
    auto first = std::make_unique<Pty>();
    const std::string link = dir.file("ttyUSB0");
    ASSERT_EQ(0, ::symlink(first->slavePath().c_str(), link.c_str()));
    ASSERT_TRUE(port.openDevice(link, 4800));
    ASSERT_TRUE(port.setReadTimeouts(200, 30));
    first->releaseSlave();
    first->closeMaster();
    char c = 0;
    uint32_t n = 0;
    EXPECT_FALSE(port.read(&c, 1, n));
    ASSERT_TRUE(port.lineLost());

    // The adapter is back under the same name, on another device.
    port.close();
    ASSERT_EQ(0, ::unlink(link.c_str()));
    EXPECT_FALSE(port.reopen());
    EXPECT_FALSE(port.isOpen());
    Pty second;
    ASSERT_EQ(0, ::symlink(second.slavePath().c_str(), link.c_str()));
    ASSERT_TRUE(port.reopen());
    EXPECT_FALSE(port.lineLost());
    EXPECT_EQ(link, port.devicePath());
    const auto start = SteadyClock::now();
    EXPECT_TRUE(port.read(&c, 1, n));
    EXPECT_EQ(n, 0u);
    EXPECT_GE(msSince(start), 230);
    ASSERT_TRUE(second.write("z"));
    EXPECT_TRUE(port.read(&c, 1, n));
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(c, 'z');
}

}  // namespace
}  // namespace kos
