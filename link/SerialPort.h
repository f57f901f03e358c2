// One RS-232 port, configured for the cash registers' line: 8N1, raw, no flow control, DTR up,
// RTS down, exclusive. Reads follow the COMMTIMEOUTS rule: a read of k bytes returns after at
// most constant + k * multiplier ms with what came; with no time-outs set it blocks until all
// k bytes came. No operation shows a message; each reports by its result.
#pragma once

#include <cstdint>
#include <string>

namespace kos {

// "comN" (N = 1..4) is opened as the device path set here; defaults /dev/ttyS0../dev/ttyS3.
// The programs set it from the settings; tests point it at a pseudo-terminal.
void setComDevice(int port, const std::string& path);
std::string comDevice(int port);  // empty for a port outside 1..4

class SerialPort {
public:
    SerialPort();
    virtual ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens "com<port>" at baud (2400, 4800 or 9600; any other speed fails).
    virtual bool open(int port, int baud);
    // Opens a device path directly (same settings).
    bool openDevice(const std::string& path, int baud);
    void close();
    bool isOpen() const;
    // A failure closes the port.
    bool setReadTimeouts(int constantMs, int multiplierMs);
    // Success of the system calls only; a timed-out read succeeds with readBytes < len.
    bool read(void* buffer, uint32_t len, uint32_t& readBytes);
    bool write(const void* buffer, uint32_t len, uint32_t& writeBytes);

    // True after a read or write found the device gone (unplugged, hung up); a failed read
    // then still takes its whole time-out, so a caller retrying it does not spin. Cleared by
    // a successful open.
    bool lineLost() const { return lineLost_; }
    // Opens the last opened device path again at the same speed and read time-outs.
    bool reopen();
    const std::string& devicePath() const { return path_; }

    int fd() const { return fd_; }

private:
    int fd_ = -1;
    bool lineLost_ = false;
    std::string path_;
    int baud_ = 0;
    int timeoutConstantMs_ = 0;
    int timeoutMultiplierMs_ = 0;
};

}  // namespace kos
