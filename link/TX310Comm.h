// The cash register's link protocol over a serial port: framed (0x0A data 0x0D CRC16),
// CRC-checked, acknowledged (0x06) text messages; registers called by number and released.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/Clock.h"
#include "base/LogFile.h"
#include "link/EcrArticle.h"
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

// CRC-16, polynomial 0x8001, initial value given, MSB first, no reflection, no final XOR.
uint16_t frameCrc(const void* data, size_t len, uint16_t start = 0);

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

    int send(const void* buffer, int count);
    int receive(void* buffer, int count);
    int sendFrame(const char* s);
    int receiveFrame(std::string& out, bool sendAck);
    int receiveAck();
    int sendAck();
    int sendFF(int count);
    int selectEcr(uint8_t nr);
    int initInLineMode(int port, int baud, int beginFrameTimeout, uint8_t nr, std::string& reply);
    int leaveInLineMode();
    int endInLineMode();

    // One-shot register commands: each opens the port, calls register nr, runs its exchange and
    // releases the register. reply receives the register's first reply.
    int sendArticles(int port, int baud, bool continueOnError, bool skipFirstSetting,
                     bool skipSecondSetting, uint8_t nr, std::string& reply, ArticleSourceFn source,
                     ArticleProgressFn progress, void* user, int& accepted, int& refused);
    int deleteArticles(int port, int baud, uint8_t nr, std::string& reply, ArticleSourceFn source,
                       void* user, int& deleted);
    int receiveArticles(int port, int baud, bool continueOnError, uint8_t nr, std::string& reply,
                        ArticleStoreFn store, void* user, int& received, int& errors);
    int sendHeader(int port, int baud, uint8_t nr, std::string& reply, const HeaderLines& lines);
    int receiveHeader(int port, int baud, uint8_t nr, std::string& reply, HeaderLines& lines);
    int zeroCounters(int port, int baud, uint8_t nr, std::string& reply);

    static bool nextField(std::string& message, std::string& field);
    // Code page 1250 text -> register characters (upper case, Polish letters as $'()[\]^_).
    static std::string toEcrText(const std::string& text);
    static std::string fromEcrText(const std::string& text);

protected:
    Clock& clock() { return clock_; }
    // Writes one trace line when a log is set.
    template <typename... Args>
    void trace(const char* format, Args... args) {
        if (log_)
            log_->print(format, args...);
    }

private:
    int sendCall(uint8_t nr);
    // Sends one request and reads its answer.
    int exchange(const std::string& request, std::string& answer);
    // Releases the register after a refusal: endInLineMode's code if it failed, else
    // TX310_ERR_READ.
    int refuseAndRelease();
    // endInLineMode, then its code if that failed, else code.
    int releaseWith(int code);

    Clock& clock_;
    std::unique_ptr<LogFile> log_;
    int beginFrameTimeout_ = 5000;
    uint32_t frameTimeLimit_ = 0;
};

}  // namespace kos
