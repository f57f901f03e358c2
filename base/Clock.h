// Time as the link and the log see it: a 32-bit millisecond tick counter that wraps, a sleep,
// and the local calendar time. Tests replace it to drive a wrap-around or midnight.
#pragma once

#include <cstdint>

namespace kos {

struct LocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, modulo 2^32.
    virtual uint32_t tickCount() = 0;
    virtual void sleepMs(uint32_t ms) = 0;
    virtual LocalTime localTime() = 0;
};

// The real clock (monotonic ticks, local time of the process's time zone).
Clock& systemClock();

}  // namespace kos
