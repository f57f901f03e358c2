// Helpers for tests that play a register by hand on a pseudo-terminal's master side.
#pragma once

#include <cstdint>
#include <string>

#include "link/FrameCrc.h"
#include "link/TX310Comm.h"
#include "support/Pty.h"

namespace kos::test {

// The bytes of one frame carrying data.
inline std::string frameBytes(const std::string& data) {
    std::string frame = "\x0A" + data + "\x0D";
    uint16_t crc = frameCrc(frame.data() + 1, frame.size() - 1);
    frame.push_back(static_cast<char>(crc >> 8));
    frame.push_back(static_cast<char>(crc & 0xFF));
    return frame;
}

inline std::string callBytes(int nr) {
    std::string call = "\xFF\xFF\xFF\xFF\x11\x11";
    call.push_back(static_cast<char>('0' + nr / 10));
    call.push_back(static_cast<char>('0' + nr % 10));
    return call;
}

// Reads one whole frame of the PC from the master (after anything before its 0x0A) and returns
// its data; empty with ok false when none came within timeoutMs.
inline std::string readFrame(Pty& pty, int timeoutMs, bool& ok) {
    ok = false;
    std::string data;
    for (;;) {
        std::string b = pty.read(1, timeoutMs);
        if (b.empty())
            return data;
        if (b[0] == '\x0A')
            break;
    }
    for (;;) {
        std::string b = pty.read(1, timeoutMs);
        if (b.empty())
            return data;
        if (b[0] == '\x0D')
            break;
        data += b;
    }
    ok = pty.read(2, timeoutMs).size() == 2;
    return data;
}

}  // namespace kos::test
