#include "link/TX310Comm.h"

#include <cstring>

#include "link/FrameCrc.h"
#include "link/TX310Text.h"

namespace kos {

namespace {

const uint8_t kReleasePair[2] = {RELEASE, RELEASE};

}  // namespace

TX310Comm::TX310Comm(Clock& clock) : clock_(clock) {}

TX310Comm::~TX310Comm() {
    if (isOpen()) {
        trace("\n%t START TX310Comm::endInLineMode");
        send(kReleasePair, 2);
        close();
    }
}

bool TX310Comm::openLog(const std::string& path) {
    log_ = std::make_unique<LogFile>(clock_);
    return log_->open(path, 14);
}

void TX310Comm::closeLog() {
    log_.reset();
}

Tx310Code TX310Comm::send(const void* buffer, int count) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    trace("\n%t START TX310Comm::send");
    trace("\n\t count = %d, buff = ", count);
    for (int i = 0; i < count; ++i)
        trace("%x,", static_cast<unsigned>(bytes[i]));
    uint32_t writeBytes = 0;
    if (count < 0 || !write(buffer, static_cast<uint32_t>(count), writeBytes)) {
        trace("\n%t TX310Comm::send, return TX310_ERR_SEND, ! write( buf, len, & writeBytes )");
        return TX310_ERR_SEND;
    }
    if (writeBytes != static_cast<uint32_t>(count)) {
        trace(
            "\n%t TX310Comm::send, writeBytes = %ld, return TX310_ERR_SEND, writeBytes != "
            "(unsigned long)len",
            static_cast<long>(writeBytes));
        return TX310_ERR_SEND;
    }
    trace("\n%t TX310Comm::send return TX310_OK");
    return TX310_OK;
}

Tx310Code TX310Comm::receive(void* buffer, int count) {
    trace("\n%t START TX310Comm::receive");
    trace("\n\t count = %d", count);
    uint32_t readBytes = 0;
    if (count < 0 || !read(buffer, static_cast<uint32_t>(count), readBytes)) {
        trace("\n%t TX310Comm::receive, return TX310_ERR_READ, ! read( buf, len, & readBytes )");
        return TX310_ERR_READ;
    }
    if (readBytes != static_cast<uint32_t>(count)) {
        trace(
            "\n%t TX310Comm::receive, readBytes = %ld, return TX310_ERR_READ, readBytes != "
            "(unsigned long)len",
            static_cast<long>(readBytes));
        return TX310_ERR_READ;
    }
    trace("\n%t TX310Comm::receive return TX310_OK");
    return TX310_OK;
}

Tx310Code TX310Comm::sendFrame(const char* s) {
    size_t len = std::strlen(s);
    trace("\n%t START TX310Comm::sendFrame");
    trace("\n\ts = ");
    for (size_t i = 0; i < len; ++i)
        trace("%x ", static_cast<unsigned>(static_cast<unsigned char>(s[i])));
    trace("\n\ts (acsii) = %s", s);
    if (len > static_cast<size_t>(MAX_FRAME_DATA_LEN)) {
        trace(
            "\n%t TX310Comm::sendFrame, return TX310_ERR_FORMAT, strlen( s ) > "
            "MAX_FRAME_DATA_LEN");
        return TX310_ERR_FORMAT;
    }
    for (size_t i = 0; i < len; ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c > 0x7f) {
            trace(
                "\n%t TX310Comm::sendFrame, i = %d, return TX310_ERR_FORMAT,  s[ i ] < 0x20 || "
                "(unsigned char)s[ i ] > 0x7f",
                static_cast<int>(i));
            return TX310_ERR_FORMAT;
        }
    }
    const uint8_t begin = FRAME_BEGIN;
    const uint8_t end = FRAME_END;
    uint16_t crc = frameCrc(s, len);
    crc = frameCrc(&end, 1, crc);
    const uint8_t crcBytes[2] = {static_cast<uint8_t>(crc >> 8), static_cast<uint8_t>(crc & 0xFF)};

    for (int i = 0; i < MAX_FRAME_REPEAT; ++i) {
        trace("\n%t TX310Comm::sendFrame, i = %d, for( i = 0; i < MAX_FRAME_REPEAT; i ++ )", i);
        clock_.sleepMs(100);
        Tx310Code rc = send(&begin, 1);
        if (rc == TX310_OK)
            rc = send(s, static_cast<int>(len));
        if (rc == TX310_OK)
            rc = send(&end, 1);
        if (rc == TX310_OK)
            rc = send(crcBytes, 2);
        if (rc != TX310_OK)
            return rc;
        if (receiveAck() == TX310_OK) {
            trace("\n%t TX310Comm::sendFrame, return TX310_OK, receiveAck() == TX310_OK");
            return TX310_OK;
        }
        trace("\n%t TX310Comm::sendFrame, receiveAck() != TX310_OK");
    }
    trace("\n%t TX310Comm::sendFrame, return TX310_ERR_SEND");
    return TX310_ERR_SEND;
}

Tx310Code TX310Comm::receiveAck() {
    trace("\n%t START TX310Comm::receiveAck");
    uint8_t c = 0;
    Tx310Code rc = receive(&c, 1);
    if (rc != TX310_OK)
        return rc;
    if (c == FRAME_ACK) {
        trace("\n%t START TX310Comm::receiveAck, return TX310_OK");
        return TX310_OK;
    }
    trace("\n%t START TX310Comm::receiveAck, c = %x, return TX310_ERR_READ",
          static_cast<unsigned>(c));
    return TX310_ERR_READ;
}

Tx310Code TX310Comm::sendAck() {
    trace("\n%t START TX310Comm::sendAck");
    const uint8_t ack = FRAME_ACK;
    Tx310Code rc = send(&ack, 1);
    if (rc != TX310_OK)
        return rc;
    clock_.sleepMs(20);
    trace("\n%t TX310Comm::sendAck, return TX310_OK");
    return TX310_OK;
}

Tx310Code TX310Comm::sendFF(int count) {
    trace("\n%t START TX310Comm::sendFF( %d )", count);
    const uint8_t ff = WAKE_UP;
    for (int i = 0; i < count; ++i) {
        Tx310Code rc = send(&ff, 1);
        if (rc != TX310_OK)
            return rc;
    }
    trace("\n%t TX310Comm::sendFF, return TX310_OK");
    return TX310_OK;
}

uint32_t frameTimeLimitMs(int baud) {
    if (baud <= 0)
        return 0;
    constexpr uint32_t FRAME_BITS = (MAX_FRAME_DATA_LEN + 4) * 10;
    return 2 * (FRAME_BITS * 1000 + uint32_t(baud) - 1) / uint32_t(baud);
}

Tx310Code TX310Comm::receiveFrame(std::string& out, bool sendAckAfter) {
    trace("\n%t START TX310Comm::receiveFrame");
    out.clear();
    const uint32_t start = clock_.tickCount();
    trace("\n%t TX310Comm::receiveFrame, timeout = %ld", static_cast<long>(start));

    uint8_t c = 0;
    for (;;) {
        if (receive(&c, 1) == TX310_OK) {
            trace("\n%t TX310Comm::receiveFrame, c = %x, receive( & c, 1 ) == TX310_OK",
                  static_cast<unsigned>(c));
            if (c == FRAME_BEGIN)
                break;
        } else {
            trace("\n%t TX310Comm::receiveFrame, receive( & c, 1 ) != TX310_OK");
        }
        const uint32_t now = clock_.tickCount();
        trace("\n%t TX310Comm::receiveFrame, t = %ld", static_cast<long>(now));
        // Unsigned subtraction keeps the elapsed time right across a wrap of the tick counter.
        const uint32_t elapsed = now - start;
        trace("\n%t TX310Comm::receiveFrame, dt = %ld", static_cast<long>(elapsed));
        if (static_cast<long long>(elapsed) > static_cast<long long>(beginFrameTimeout_)) {
            trace("\n%t TX310Comm::receiveFrame, return TX310_ERR_READ, dt > beginFrameTimeout");
            return TX310_ERR_READ;
        }
    }

    trace("\n%t TX310Comm::receiveFrame, received begin frame character");
    const uint32_t frameLimit = frameTimeLimit_;
    const uint32_t frameStart = frameLimit != 0 ? clock_.tickCount() : 0;
    uint16_t crc = 0;
    Tx310Code rc = receive(&c, 1);
    if (rc != TX310_OK)
        return rc;
    for (;;) {
        trace("\n%t TX310Comm::receiveFrame, c = %x, receive( & c, 1 )", static_cast<unsigned>(c));
        if (frameLimit != 0 && clock_.tickCount() - frameStart > frameLimit) {
            trace("\n%t TX310Comm::receiveFrame, return TX310_ERR_READ, frame time > %lu",
                  static_cast<unsigned long>(frameLimit));
            return TX310_ERR_READ;
        }
        crc = frameCrc(&c, 1, crc);
        if (c == FRAME_END) {
            trace("\n%t TX310Comm::receiveFrame, received frame (without crc)");
            uint8_t crcBuf[2] = {0, 0};
            rc = receive(crcBuf, 2);
            if (rc != TX310_OK)
                return rc;
            if (crcBuf[0] == (crc >> 8) && crcBuf[1] == (crc & 0xFF)) {
                trace("\n%t TX310Comm::receiveFrame, crc OK");
                if (sendAckAfter) {
                    if (gate_ && !(*gate_)(out))
                        return TX310_ERR_ABORTED;
                    rc = sendAck();
                    if (rc != TX310_OK)
                        return rc;
                }
                trace("\n%t START TX310Comm::receiveFrame, return TX310_OK");
                return TX310_OK;
            }
            trace(
                "\n%t TX310Comm::receiveFrame, crcBuf = %x %x, crc = %x, return TX310_ERR_CRC, "
                "crcBuf[ 0 ] != (crc >> 8) || crcBuf[ 1 ] != (crc & 0x0ff)",
                static_cast<unsigned>(crcBuf[0]), static_cast<unsigned>(crcBuf[1]),
                static_cast<unsigned>(crc));
            return TX310_ERR_CRC;
        }
        if (c < 0x20 || c > 0x7f) {
            trace("\n%t TX310Comm::receiveFrame, return TX310_ERR_FORMAT, c < 0x20 || c > 0x7f");
            return TX310_ERR_FORMAT;
        }
        out.push_back(static_cast<char>(c));
        if (out.size() > static_cast<size_t>(MAX_FRAME_DATA_LEN)) {
            trace(
                "\n%t TX310Comm::receiveFrame, return TX310_ERR_FORMAT, s.GetLength() > "
                "MAX_FRAME_DATA_LEN");
            return TX310_ERR_FORMAT;
        }
        rc = receive(&c, 1);
        if (rc != TX310_OK)
            return rc;
    }
}

Tx310Code TX310Comm::receiveFrame(std::string& out, const AckGate& gate) {
    gate_ = &gate;
    const Tx310Code rc = receiveFrame(out, true);
    gate_ = nullptr;
    return rc;
}

Tx310Code TX310Comm::selectEcr(uint8_t nr) {
    if (nr > 99)
        return TX310_ERR_ECR_NUMBER;
    Tx310Code rc = sendFF(4);
    if (rc != TX310_OK)
        return rc;
    return sendCall(nr);
}

Tx310Code TX310Comm::sendCall(uint8_t nr) {
    const uint8_t call[4] = {CALL_PREFIX, CALL_PREFIX, static_cast<uint8_t>('0' + nr / 10),
                             static_cast<uint8_t>('0' + nr % 10)};
    return send(call, 4);
}

Tx310Code TX310Comm::initInLineMode(int port, int baud, int beginFrameTimeout, uint8_t nr,
                                    std::string& reply) {
    trace("\n%t START TX310Comm::initInLineMode");
    if (port < 1 || port > 4)
        return TX310_ERR_PORT;
    if (nr > 99)
        return TX310_ERR_ECR_NUMBER;
    if (!open(port, baud))
        return TX310_ERR_OPEN;
    if (!setReadTimeouts(200, 30))
        return TX310_ERR_OPEN;
    beginFrameTimeout_ = beginFrameTimeout;
    Tx310Code rc = sendFF(4);
    if (rc == TX310_OK)
        rc = sendCall(nr);
    if (rc != TX310_OK)
        return rc;
    std::string work;
    rc = receiveFrame(work, true);
    if (rc != TX310_OK)
        return rc;
    if (work == "D") {
        reply.clear();
        return TX310_OK;
    }
    std::string field;
    if (!nextField(work, field))
        return TX310_ERR_FORMAT;
    reply = field;
    bool sixDigits = field.size() == 6;
    for (char ch : field)
        sixDigits = sixDigits && ch >= '0' && ch <= '9';
    if (work.empty() && sixDigits)
        return TX310_OK;
    return sendFrame("S");
}

Tx310Code TX310Comm::leaveInLineMode() {
    return send(kReleasePair, 2);
}

Tx310Code TX310Comm::endInLineMode() {
    trace("\n%t START TX310Comm::endInLineMode");
    Tx310Code rc = send(kReleasePair, 2);
    close();
    return rc;
}

}  // namespace kos
