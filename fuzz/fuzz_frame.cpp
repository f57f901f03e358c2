// Bytes coming down the serial line into receiveFrame: the input is queued on a
// pseudo-terminal and received as frames until the line is empty. A frame taken as good must
// be one a correct sender could have sent.
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "link/TX310Comm.h"

namespace {

// Time runs by the calls, so the hunt for a frame ends after a few empty reads and the frame
// time limit is met by long frames.
class StepClock final : public kos::Clock {
public:
    uint32_t tickCount() override { return tick_ += 7; }
    void sleepMs(uint32_t ms) override { tick_ += ms; }
    kos::LocalTime localTime() override { return {}; }

private:
    uint32_t tick_ = 0xFFFFF000u;  // wraps within the first inputs
};

struct Line {
    int master = -1;
    StepClock clock;
    kos::TX310Comm comm{clock};

    Line() {
        int slave = -1;
        char name[128];
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            std::abort();
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        if (!comm.openDevice(name, 9600) || !comm.setReadTimeouts(1, 0))
            std::abort();
        ::close(slave);
        comm.setBeginFrameTimeout(40);
        comm.setFrameTimeLimit(kos::frameTimeLimitMs(9600));
    }

    int queued() {
        int n = 0;
        ::ioctl(comm.fd(), FIONREAD, &n);
        return n;
    }

    // Drops what the receiver sent back (its ACKs).
    void drain() {
        char buf[256];
        while (::read(master, buf, sizeof buf) > 0) {
        }
    }
};

bool sendable(const std::string& data) {
    if (data.size() > static_cast<size_t>(kos::MAX_FRAME_DATA_LEN))
        return false;
    for (unsigned char c : data)
        if (c < 0x20 || c > 0x7F)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Line line;
    if (size > 2048)
        return 0;  // beyond what the pseudo-terminal queues at once
    if (size > 0 && ::write(line.master, data, size) != static_cast<ssize_t>(size))
        std::abort();
    // The terminal hands written bytes to the reading side a moment later.
    for (int wait = 0; wait < 2000 && line.queued() < static_cast<int>(size); ++wait)
        ::usleep(50);
    // Each call takes at least one byte off the line.
    std::string out;
    while (line.queued() > 0) {
        if (line.comm.receiveFrame(out, true) == kos::TX310_OK && !sendable(out))
            __builtin_trap();
        line.drain();
    }
    return 0;
}
