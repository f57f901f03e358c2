// The cash register's link protocol over a serial port: framed (0x0A data 0x0D CRC16),
// CRC-checked, acknowledged (0x06) text messages; registers called by number and released.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/Clock.h"
#include "base/LogFile.h"
#include "link/SerialPort.h"
#include "link/Tx310Codes.h"

namespace kos {

inline constexpr uint8_t FRAME_BEGIN = 0x0A;
inline constexpr uint8_t FRAME_END = 0x0D;
inline constexpr uint8_t FRAME_ACK = 0x06;
inline constexpr uint8_t WAKE_UP = 0xFF;
inline constexpr uint8_t CALL_PREFIX = 0x11;
inline constexpr uint8_t RELEASE = 0x13;
inline constexpr int MAX_FRAME_DATA_LEN = 256;
inline constexpr int MAX_FRAME_REPEAT = 10;

// Twice what a frame of MAX_FRAME_DATA_LEN data bytes (with 0x0A, 0x0D and the CRC, 10 bits a
// byte) needs at baud; 0 for an unknown speed. The online worker's limit for one frame.
uint32_t frameTimeLimitMs(int baud);

class TX310Comm : public SerialPort {
public:
    explicit TX310Comm(Clock& clock = systemClock());
    ~TX310Comm() override;

    bool openLog(const std::string& path);
    void closeLog();
    LogFile* log() const { return log_.get(); }

    void setBeginFrameTimeout(int ms) { beginFrameTimeout_ = ms; }
    int getBeginFrameTimeout() const { return beginFrameTimeout_; }
    // How long the bytes of one frame may take once its 0x0A came (0, the initial value: no
    // limit beyond the per-byte time-out). A register that drips its bytes just inside the
    // per-byte time-out is cut off there with TX310_ERR_READ instead of holding the line.
    void setFrameTimeLimit(uint32_t ms) { frameTimeLimit_ = ms; }

    Tx310Code send(const void* buffer, int count);
    Tx310Code receive(void* buffer, int count);
    Tx310Code sendFrame(const char* s);
    Tx310Code receiveFrame(std::string& out, bool sendAck);
    // Called with a frame's data once its CRC is right, before the ACK; false keeps the ACK
    // back (the register sends the frame again later).
    using AckGate = std::function<bool(const std::string& data)>;
    // receiveFrame with acknowledgement, the ACK sent only once gate(data) is true; a refusal
    // returns TX310_ERR_ABORTED without an ACK. Wire bytes and timing are receiveFrame's.
    Tx310Code receiveFrame(std::string& out, const AckGate& gate);
    Tx310Code receiveAck();
    Tx310Code sendAck();
    Tx310Code sendFF(int count);
    Tx310Code selectEcr(uint8_t nr);
    Tx310Code initInLineMode(int port, int baud, int beginFrameTimeout, uint8_t nr,
                             std::string& reply);
    Tx310Code leaveInLineMode();
    Tx310Code endInLineMode();

protected:
    Clock& clock() { return clock_; }
    // Writes one trace line when a log is set.
    template <typename... Args>
    void trace(const char* format, Args... args) {
        if (log_)
            log_->print(format, args...);
    }

private:
    Tx310Code sendCall(uint8_t nr);

    Clock& clock_;
    std::unique_ptr<LogFile> log_;
    int beginFrameTimeout_ = 5000;
    const AckGate* gate_ = nullptr;
    uint32_t frameTimeLimit_ = 0;
};

}  // namespace kos
