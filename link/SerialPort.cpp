#include "link/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <mutex>

namespace kos {

namespace {

std::mutex deviceLock;
std::array<std::string, 4> devices = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};

bool speedOf(int baud, speed_t& speed) {
    switch (baud) {
        case 2400:
            speed = B2400;
            return true;
        case 4800:
            speed = B4800;
            return true;
        case 9600:
            speed = B9600;
            return true;
        default:
            return false;
    }
}

// A pseudo-terminal has no modem lines; that is not a reason to refuse the port.
bool modemLine(int fd, unsigned long request, int bits) {
    if (ioctl(fd, request, &bits) == 0)
        return true;
    return errno == ENOTTY || errno == EINVAL;
}

bool configure(int fd, speed_t speed) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0)
        return false;
    // TCSANOW: whatever the register already sent stays in the input queue.
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return false;
    return modemLine(fd, TIOCMBIS, TIOCM_DTR) && modemLine(fd, TIOCMBIC, TIOCM_RTS);
}

using SteadyClock = std::chrono::steady_clock;

// Milliseconds left until deadline, rounded up so a wait never ends early.
int remainingMs(SteadyClock::time_point deadline) {
    auto left = deadline - SteadyClock::now();
    if (left <= SteadyClock::duration::zero())
        return 0;
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > 1000000 ? 1000000 : static_cast<int>(ms);
}

// Waits for events on fd; false on a poll error other than EINTR. timeoutMs -1 waits forever.
bool waitFor(int fd, short events, int timeoutMs, short& revents) {
    pollfd p{fd, events, 0};
    int r = poll(&p, 1, timeoutMs);
    if (r < 0) {
        revents = 0;
        return errno == EINTR;
    }
    revents = r == 0 ? 0 : p.revents;
    return true;
}

// Errors of a device that is gone rather than of one call.
bool deviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

}  // namespace

void setComDevice(int port, const std::string& path) {
    if (port < 1 || port > 4)
        return;
    std::lock_guard<std::mutex> guard(deviceLock);
    devices[port - 1] = path;
}

std::string comDevice(int port) {
    if (port < 1 || port > 4)
        return {};
    std::lock_guard<std::mutex> guard(deviceLock);
    return devices[port - 1];
}

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() {
    close();
}

bool SerialPort::open(int port, int baud) {
    std::string path = comDevice(port);
    if (path.empty()) {
        close();
        return false;
    }
    return openDevice(path, baud);
}

bool SerialPort::openDevice(const std::string& path, int baud) {
    // A port still held is let go first rather than leaked.
    close();
    speed_t speed;
    if (!speedOf(baud, speed))
        return false;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // No sharing: TIOCEXCL keeps out other users, the lock also keeps out root and ourselves.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || (isatty(fd) && ioctl(fd, TIOCEXCL) != 0) ||
        !configure(fd, speed)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    timeoutConstantMs_ = 0;
    timeoutMultiplierMs_ = 0;
    lineLost_ = false;
    path_ = path;
    baud_ = baud;
    return true;
}

bool SerialPort::reopen() {
    if (path_.empty())
        return false;
    const int constantMs = timeoutConstantMs_;
    const int multiplierMs = timeoutMultiplierMs_;
    // Copies: openDevice closes the port and sets both again.
    const std::string path = path_;
    const int baud = baud_;
    if (!openDevice(path, baud))
        return false;
    return setReadTimeouts(constantMs, multiplierMs);
}

void SerialPort::close() {
    if (fd_ < 0)
        return;
    // The exclusive mark outlives this descriptor on a pseudo-terminal; clear it for the next user.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

bool SerialPort::isOpen() const {
    return fd_ >= 0;
}

bool SerialPort::setReadTimeouts(int constantMs, int multiplierMs) {
    if (fd_ < 0)
        return false;
    termios tio{};
    if (constantMs < 0 || multiplierMs < 0 || tcgetattr(fd_, &tio) != 0) {
        close();
        return false;
    }
    timeoutConstantMs_ = constantMs;
    timeoutMultiplierMs_ = multiplierMs;
    return true;
}

bool SerialPort::read(void* buffer, uint32_t len, uint32_t& readBytes) {
    readBytes = 0;
    if (fd_ < 0)
        return false;
    auto* out = static_cast<unsigned char*>(buffer);
    const bool blocking = timeoutConstantMs_ == 0 && timeoutMultiplierMs_ == 0;
    const auto deadline =
        SteadyClock::now() +
        std::chrono::milliseconds(static_cast<int64_t>(timeoutConstantMs_) +
                                  static_cast<int64_t>(len) * timeoutMultiplierMs_);
    bool hungUp = false;
    while (readBytes < len) {
        ssize_t n = ::read(fd_, out + readBytes, len - readBytes);
        if (n > 0) {
            readBytes += static_cast<uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        const bool gone = n < 0 && deviceGone(errno);
        if (n < 0 && errno != EAGAIN && !gone)
            return false;
        // A device error, or nothing to read although poll said so (a hung-up tty reads as
        // end of file and polls readable forever): the line is gone. The rest of the time-out
        // is waited out, so callers that retry cost no more than on a silent line.
        if (hungUp || gone) {
            lineLost_ = true;
            for (int left; !blocking && (left = remainingMs(deadline)) > 0;)
                ::poll(nullptr, 0, left);
            return false;
        }
        int wait = blocking ? -1 : remainingMs(deadline);
        if (!blocking && wait == 0)
            break;
        short revents = 0;
        if (!waitFor(fd_, POLLIN, wait, revents))
            return false;
        hungUp = (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }
    return true;
}

bool SerialPort::write(const void* buffer, uint32_t len, uint32_t& writeBytes) {
    writeBytes = 0;
    if (fd_ < 0)
        return false;
    const auto* in = static_cast<const unsigned char*>(buffer);
    while (writeBytes < len) {
        ssize_t n = ::write(fd_, in + writeBytes, len - writeBytes);
        if (n > 0) {
            writeBytes += static_cast<uint32_t>(n);
            continue;
        }
        if (n < 0 && errno != EINTR && errno != EAGAIN) {
            if (deviceGone(errno) || errno == EPIPE)
                lineLost_ = true;
            return false;
        }
        short revents = 0;
        if (!waitFor(fd_, POLLOUT, -1, revents))
            return false;
        if ((revents & (POLLHUP | POLLERR | POLLNVAL)) && !(revents & POLLOUT)) {
            lineLost_ = true;
            return false;
        }
    }
    return true;
}

}  // namespace kos
