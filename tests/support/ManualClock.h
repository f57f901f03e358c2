// A clock that tests drive: ticks advance only by sleepMs, advance() or by a step per read.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/Clock.h"

namespace kos::test {

class ManualClock final : public Clock {
public:
    explicit ManualClock(uint32_t startTick = 0) : tick_(startTick) {}

    uint32_t tickCount() override { return tick_.fetch_add(stepPerRead.load()); }
    void sleepMs(uint32_t ms) override {
        tick_ += ms;
        slept += ms;
    }
    LocalTime localTime() override { return now; }

    void advance(uint32_t ms) { tick_ += ms; }
    void setTick(uint32_t t) { tick_ = t; }

    std::atomic<uint32_t> stepPerRead{0};  // added after each tickCount() read
    std::atomic<uint64_t> slept{0};
    LocalTime now{2026, 12, 6, 12, 51, 51};

private:
    std::atomic<uint32_t> tick_;
};

}  // namespace kos::test
