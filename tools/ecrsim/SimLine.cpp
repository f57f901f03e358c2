#include "SimLine.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <thread>

#include "Simulator.h"
#include "link/FrameCrc.h"
#include "link/TX310Comm.h"

namespace kos::ecrsim {

namespace {

constexpr int POLL_SLICE_MS = 50;
constexpr int CALL_BYTE_TIMEOUT_MS = 500;
constexpr int FRAME_BYTE_TIMEOUT_MS = 1000;
constexpr int CALLED_IDLE_TIMEOUT_MS = 60000;
constexpr int REPEAT_PAUSE_MS = 100;

int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

bool SimLine::strikes(int every, long& counter) {
    if (every <= 0)
        return false;
    return ++counter % every == 0;
}

void SimLine::trace(const char* format, ...) {
    if (!sim_.options_.trace)
        return;
    va_list args;
    va_start(args, format);
    std::fprintf(stderr, "ecrsim: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
    va_end(args);
}

int SimLine::readByte(int timeoutMs) {
    const int64_t deadline = nowMs() + timeoutMs;
    while (pos_ >= buffer_.size()) {
        if (stop_->load())
            return STOPPED;
        const int64_t left = deadline - nowMs();
        if (left < 0)
            return TIMEOUT;
        pollfd pfd{fd_, POLLIN, 0};
        int n = ::poll(&pfd, 1, static_cast<int>(std::min<int64_t>(left, POLL_SLICE_MS)));
        if (n <= 0)
            continue;
        uint8_t chunk[512];
        ssize_t got = ::read(fd_, chunk, sizeof chunk);
        if (got > 0) {
            buffer_.assign(chunk, chunk + got);
            pos_ = 0;
        } else if (got < 0 && errno != EINTR && errno != EAGAIN) {
            // No slave side open at the moment; wait for the PC to come back.
            std::this_thread::sleep_for(std::chrono::milliseconds(POLL_SLICE_MS));
        }
    }
    return buffer_[pos_++];
}

void SimLine::writeBytes(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return;
        }
        done += static_cast<size_t>(n);
    }
}

void SimLine::serve(const std::atomic<bool>& stop) {
    stop_ = &stop;
    while (!stop.load()) {
        sim_.ringDue();
        int b = readByte(POLL_SLICE_MS);
        if (b == TIMEOUT)
            continue;
        if (b == STOPPED)
            break;
        if (b == WAKE_UP) {
            woken_ = true;
            continue;
        }
        if (!woken_ || b != CALL_PREFIX) {
            woken_ = false;
            continue;
        }
        woken_ = false;
        int second = readByte(CALL_BYTE_TIMEOUT_MS);
        int d1 = second == CALL_PREFIX ? readByte(CALL_BYTE_TIMEOUT_MS) : second;
        int d2 = second == CALL_PREFIX ? readByte(CALL_BYTE_TIMEOUT_MS) : second;
        if (second == WAKE_UP || d1 == WAKE_UP || d2 == WAKE_UP) {
            woken_ = true;
            continue;
        }
        if (second != CALL_PREFIX || d1 < '0' || d1 > '9' || d2 < '0' || d2 > '9')
            continue;
        serveCall((d1 - '0') * 10 + (d2 - '0'));
    }
}

void SimLine::serveCall(int nr) {
    std::string message;
    {
        std::lock_guard<std::mutex> guard(sim_.lock_);
        SimRegister* reg = sim_.findCalledLocked(nr, line_, slaveFd_);
        if (!reg || sim_.silent_[nr])
            return;
        ++sim_.stats_.calls;
        ++sim_.stats_.callsOf[nr];
        const Faults& faults = sim_.options_.faults;
        current_ = nr;
        FaultCounts& counts = counts_[nr];
        if (strikes(faults.silentEvery, counts.calls)) {
            trace("%02d called, stays silent", nr);
            return;
        }
        message = reg->callMessage(strikes(faults.repeatEvery, counts.repeats));
    }
    trace("%02d called, sends %s", nr, message.c_str());
    Outcome outcome = transmit(message);
    if (outcome == Outcome::Ack) {
        std::lock_guard<std::mutex> guard(sim_.lock_);
        sim_.findLocked(nr)->callMessageAcknowledged();
    }
    converse(nr, outcome);
}

SimLine::Outcome SimLine::afterRelease(Outcome otherwise) {
    int b = readByte(CALL_BYTE_TIMEOUT_MS);
    if (b == RELEASE)
        return Outcome::Released;
    if (b == WAKE_UP)
        return Outcome::Woken;
    if (b == FRAME_BEGIN)
        return Outcome::FrameStart;
    if (b == STOPPED)
        return Outcome::Stopped;
    return otherwise;
}

SimLine::Outcome SimLine::transmit(const std::string& text) {
    std::vector<uint8_t> frame;
    frame.push_back(FRAME_BEGIN);
    frame.insert(frame.end(), text.begin(), text.end());
    frame.push_back(FRAME_END);
    uint16_t crc = frameCrc(frame.data() + 1, frame.size() - 1);
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));

    const Faults& faults = sim_.options_.faults;
    int dripMs = 0;
    {
        std::lock_guard<std::mutex> guard(sim_.lock_);
        auto it = sim_.drip_.find(current_);
        dripMs = it == sim_.drip_.end() ? 0 : it->second;
    }
    for (int attempt = 0; attempt < MAX_FRAME_REPEAT; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(REPEAT_PAUSE_MS));
        std::vector<uint8_t> bytes = frame;
        if (strikes(faults.corruptEvery, counts_[current_].sent)) {
            bytes.back() ^= 0x01;
            trace("frame sent with a wrong CRC");
        }
        Outcome cut = Outcome::Waiting;
        if (dripMs <= 0)
            writeBytes(bytes);
        else if (!drip(bytes, dripMs, cut))
            return cut;
        {
            std::lock_guard<std::mutex> guard(sim_.lock_);
            ++sim_.stats_.framesSent;
        }
        const int64_t deadline = nowMs() + sim_.options_.ackTimeoutMs;
        for (;;) {
            const int64_t left = deadline - nowMs();
            int b = left < 0 ? TIMEOUT : readByte(static_cast<int>(left));
            if (b == TIMEOUT)
                break;
            if (b == STOPPED)
                return Outcome::Stopped;
            if (b == FRAME_ACK) {
                if (strikes(faults.loseAckEvery, counts_[current_].acks)) {
                    trace("ACK not seen");
                    continue;
                }
                return Outcome::Ack;
            }
            if (b == RELEASE) {
                Outcome o = afterRelease(Outcome::Waiting);
                if (o != Outcome::Waiting)
                    return o;
            } else if (b == WAKE_UP) {
                return Outcome::Woken;
            } else if (b == FRAME_BEGIN) {
                return Outcome::FrameStart;
            }
        }
    }
    trace("frame %s never acknowledged", text.c_str());
    return Outcome::Waiting;
}

bool SimLine::drip(const std::vector<uint8_t>& bytes, int pauseMs, Outcome& outcome) {
    for (uint8_t b : bytes) {
        writeBytes({b});
        const int64_t deadline = nowMs() + pauseMs;
        for (int64_t left = pauseMs; left >= 0; left = deadline - nowMs()) {
            const int in = readByte(static_cast<int>(left));
            if (in == TIMEOUT)
                break;
            if (in == STOPPED || in == WAKE_UP) {
                outcome = in == STOPPED ? Outcome::Stopped : Outcome::Woken;
                return false;
            }
            if (in == RELEASE && (outcome = afterRelease(Outcome::Waiting)) != Outcome::Waiting)
                return false;
        }
    }
    return true;
}

SimLine::FrameResult SimLine::receiveFrame(std::string& text) {
    text.clear();
    uint16_t crc = 0;
    for (;;) {
        int b = readByte(FRAME_BYTE_TIMEOUT_MS);
        if (b == STOPPED)
            return FrameResult::Stopped;
        if (b == TIMEOUT)
            return FrameResult::Broken;
        const uint8_t c = static_cast<uint8_t>(b);
        crc = frameCrc(&c, 1, crc);
        if (c == FRAME_END)
            break;
        if (c == WAKE_UP)
            return FrameResult::Woken;
        if (c < 0x20 || c > 0x7F || text.size() >= static_cast<size_t>(MAX_FRAME_DATA_LEN))
            return FrameResult::Broken;
        text.push_back(static_cast<char>(c));
    }
    int hi = readByte(FRAME_BYTE_TIMEOUT_MS);
    int lo = hi >= 0 ? readByte(FRAME_BYTE_TIMEOUT_MS) : hi;
    if (hi == STOPPED || lo == STOPPED)
        return FrameResult::Stopped;
    if (hi != (crc >> 8) || lo != (crc & 0xFF))
        return FrameResult::Broken;
    return FrameResult::Good;
}

void SimLine::settle(int nr, bool giveBack) {
    std::lock_guard<std::mutex> guard(sim_.lock_);
    SimRegister* reg = sim_.findLocked(nr);
    if (giveBack) {
        reg->returnDelivery();
        return;
    }
    if (auto receipt = reg->confirmDelivery())
        sim_.recordReceipt(std::move(*receipt));
}

void SimLine::converse(int nr, Outcome outcome) {
    for (;;) {
        switch (outcome) {
            case Outcome::Stopped:
                return;
            case Outcome::Released:
                settle(nr, false);
                trace("%02d released", nr);
                {
                    std::lock_guard<std::mutex> guard(sim_.lock_);
                    ++sim_.stats_.releases;
                }
                return;
            case Outcome::Woken:
                settle(nr, false);
                woken_ = true;
                return;
            case Outcome::FrameStart: {
                std::string request;
                FrameResult r = receiveFrame(request);
                if (r == FrameResult::Stopped)
                    return;
                if (r == FrameResult::Woken) {
                    outcome = Outcome::Woken;
                    break;
                }
                outcome = Outcome::Waiting;
                if (r == FrameResult::Broken) {
                    std::lock_guard<std::mutex> guard(sim_.lock_);
                    ++sim_.stats_.badFrames;
                    break;
                }
                if (strikes(sim_.options_.faults.noAckEvery, counts_[nr].pcFrames)) {
                    trace("%02d leaves %s unacknowledged", nr, request.c_str());
                    break;
                }
                writeBytes({FRAME_ACK});
                // "S" right after the call message means the PC did not take it.
                settle(nr, request == "S");
                std::optional<std::string> answer;
                {
                    std::lock_guard<std::mutex> guard(sim_.lock_);
                    ++sim_.stats_.framesReceived;
                    ++sim_.stats_.acksSent;
                    if (!sim_.hook_ || !sim_.hook_(nr, request, answer))
                        answer = sim_.findLocked(nr)->answer(request);
                }
                trace("%02d got %s, answers %s", nr, request.c_str(),
                      answer ? answer->c_str() : "nothing");
                if (answer) {
                    outcome = transmit(*answer);
                    if (outcome == Outcome::Ack)
                        outcome = Outcome::Waiting;
                }
                break;
            }
            case Outcome::Ack:
            case Outcome::Waiting: {
                int b = readByte(CALLED_IDLE_TIMEOUT_MS);
                if (b == STOPPED)
                    return;
                if (b == TIMEOUT) {
                    settle(nr, false);
                    return;
                }
                if (b == FRAME_BEGIN)
                    outcome = Outcome::FrameStart;
                else if (b == WAKE_UP)
                    outcome = Outcome::Woken;
                else if (b == RELEASE)
                    outcome = afterRelease(Outcome::Waiting);
                break;
            }
        }
    }
}

}  // namespace kos::ecrsim
