#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "online/TarvelServerDoc.h"
#include "support/ManualClock.h"

namespace kos::test {
namespace {

using namespace std::chrono_literals;

TEST(LockTest, StopWinsOverAFreeLockAndResetsItself) {
    RegisterLock lock;
    lock.setStop();
    EXPECT_FALSE(lock.lockUnlessStopped());
    ASSERT_TRUE(lock.lockUnlessStopped());  // the event cleared itself
    EXPECT_FALSE(lock.try_lock());
    lock.unlock();
    lock.setStop();
    lock.clearStop();
    EXPECT_TRUE(lock.lockUnlessStopped());
    lock.unlock();
}

TEST(LockTest, StopReachesAWorkerWaitingForAHeldLock) {
    RegisterLock lock;
    lock.lock();
    auto worker = std::async(std::launch::async, [&] { return lock.lockUnlessStopped(); });
    EXPECT_EQ(std::future_status::timeout, worker.wait_for(50ms));
    lock.setStop();
    ASSERT_EQ(std::future_status::ready, worker.wait_for(10s));
    EXPECT_FALSE(worker.get());
    lock.unlock();
}

// A worker that takes the lock again right after each poll must not keep the user interface
// out: add and remove register wait for one poll at most.
TEST(LockTest, UserInterfaceGetsInBetweenBackToBackPolls) {
    ManualClock clock;
    TarvelServerDoc doc(clock);
    std::atomic<long> polls{0};
    std::thread worker([&] {
        while (doc.holdRegistersUnlessStopped([&] {
            std::this_thread::sleep_for(1ms);
            ++polls;
        })) {
        }
    });
    for (int i = 0; i < 20; ++i) {
        auto ui = std::async(std::launch::async, [&] {
            int slot = doc.addRegister(i + 1);
            doc.removeRegister(slot);
            return slot;
        });
        ASSERT_EQ(std::future_status::ready, ui.wait_for(10s));
        EXPECT_EQ(0, ui.get());
    }
    doc.stopWorker();
    worker.join();
    EXPECT_GT(polls.load(), 0);
}

class Recorder : public EcrStatusListener {
public:
    void ecrStatusChanged(int slot, int connected) override {
        seen.push_back(slot * 10 + connected);
    }
    std::vector<int> seen;
};

TEST(LockTest, StatusChangesReachEveryListenerUntilRemoved) {
    ManualClock clock;
    TarvelServerDoc doc(clock);
    Recorder a, b;
    doc.addStatusListener(&a);
    doc.addStatusListener(&b);
    doc.addStatusListener(&a);
    doc.notifyStatus(3, 1);
    doc.removeStatusListener(&a);
    doc.notifyStatus(11, 0);
    EXPECT_EQ(std::vector<int>({31}), a.seen);
    EXPECT_EQ(std::vector<int>({31, 110}), b.seen);
}

}  // namespace
}  // namespace kos::test
