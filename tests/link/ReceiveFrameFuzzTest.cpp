// Whatever comes down the line, receiveFrame ends with a return code within its time-outs.
#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <chrono>
#include <random>
#include <string>

#include "LinkPeer.h"
#include "link/TX310Comm.h"
#include "support/ManualClock.h"
#include "support/Pty.h"

namespace kos {
namespace {

int queued(int fd) {
    int n = 0;
    ioctl(fd, FIONREAD, &n);
    return n;
}

TEST(ReceiveFrameFuzzTest, RandomBytesNeverCrashOrHang) {
    test::Pty pty;
    test::ManualClock clock;
    clock.stepPerRead = 50;
    TX310Comm comm(clock);
    ASSERT_TRUE(comm.openDevice(pty.slavePath(), 9600));
    ASSERT_TRUE(comm.setReadTimeouts(2, 0));
    comm.setBeginFrameTimeout(200);

    std::mt19937 rng(20261207);
    // Bytes that steer the parser are drawn more often than the rest.
    const std::string special = "\x0A\x0D\x06\xFF\x13\x11;0";
    int results[9] = {};
    for (int round = 0; round < 400; ++round) {
        std::string chunk;
        const int len = static_cast<int>(rng() % 300);
        for (int i = 0; i < len; ++i) {
            if (rng() % 4 == 0)
                chunk.push_back(special[rng() % special.size()]);
            else
                chunk.push_back(static_cast<char>(rng() % 256));
        }
        if (round % 10 == 0)
            chunk += test::frameBytes("valid;frame;");
        pty.write(chunk);
        // Frames are read until the line has run dry.
        for (int rc = TX310_OK; rc != TX310_ERR_READ || queued(comm.fd()) > 0;) {
            const auto start = std::chrono::steady_clock::now();
            std::string out;
            rc = comm.receiveFrame(out, true);
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
            ASSERT_TRUE(rc == TX310_OK || rc == TX310_ERR_READ || rc == TX310_ERR_FORMAT ||
                        rc == TX310_ERR_CRC)
                << rc;
            ++results[rc];
            EXPECT_LE(out.size(), static_cast<size_t>(MAX_FRAME_DATA_LEN));
            for (char c : out)
                EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 &&
                            static_cast<unsigned char>(c) <= 0x7F);
            // The hunt gives up after a handful of reads; a frame ends at its first bad byte.
            ASSERT_LT(ms, 5000);
        }
        pty.drain(0);
    }
    // Every kind of outcome was reached, so the input really exercised the parser.
    EXPECT_GT(results[TX310_OK], 0);
    EXPECT_GT(results[TX310_ERR_READ], 0);
    EXPECT_GT(results[TX310_ERR_FORMAT], 0);
    EXPECT_GT(results[TX310_ERR_CRC], 0);
}

}  // namespace
}  // namespace kos
