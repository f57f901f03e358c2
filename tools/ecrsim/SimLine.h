// The register side of the line: reads what the PC sends on the pseudo-terminal's master side,
// recognises wake-up, call, frames and release, and lets the called register answer.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kos::ecrsim {

class Simulator;

class SimLine {
public:
    // line: its number 1.. among the simulator's lines; slaveFd: its slave side, whose speed
    // the PC sets.
    SimLine(Simulator& sim, int fd, int slaveFd = -1, int line = 1)
        : sim_(sim), fd_(fd), slaveFd_(slaveFd), line_(line) {}

    void serve(const std::atomic<bool>& stop);

private:
    enum class Outcome { Ack, Released, Woken, FrameStart, Waiting, Stopped };
    enum class FrameResult { Good, Broken, Woken, Stopped };
    static constexpr int TIMEOUT = -1;
    static constexpr int STOPPED = -2;

    int readByte(int timeoutMs);
    void writeBytes(const std::vector<uint8_t>& bytes);
    void serveCall(int nr);
    Outcome transmit(const std::string& text);
    // Writes bytes one at a time, pauseMs after each, watching the line meanwhile: false with
    // the outcome when the PC released or woke the line (the rest is not sent).
    bool drip(const std::vector<uint8_t>& bytes, int pauseMs, Outcome& outcome);
    void converse(int nr, Outcome outcome);
    FrameResult receiveFrame(std::string& text);
    // After the first 0x13: the second one releases the register.
    Outcome afterRelease(Outcome otherwise);
    void settle(int nr, bool giveBack);
    static bool strikes(int every, long& counter);
    void trace(const char* format, ...);

    Simulator& sim_;
    int fd_;
    int slaveFd_;
    int line_;
    const std::atomic<bool>* stop_ = nullptr;
    std::vector<uint8_t> buffer_;
    size_t pos_ = 0;
    bool woken_ = false;
    // Faults count per register, so registers polled in turn each get their share.
    struct FaultCounts {
        long sent = 0, acks = 0, pcFrames = 0, calls = 0, repeats = 0;
    };
    std::map<int, FaultCounts> counts_;
    int current_ = -1;  // the called register
};

}  // namespace kos::ecrsim
