// The lock over a document's register list, and the worker's stop event beside it. The worker
// waits for whichever comes first, the lock or the stop (the stop wins when both are ready),
// without polling. Threads that take the lock with lock() go before a waiting worker, so a
// worker that re-takes the lock right after each poll cannot starve the user interface.
#pragma once

#include <condition_variable>
#include <mutex>

namespace kos {

class RegisterLock {
public:
    void lock();
    bool try_lock();
    void unlock();

    // Worker side: true with the lock held, or false when the stop event was set (it is then
    // cleared again, as an auto-reset event does).
    bool lockUnlessStopped();
    void setStop();
    void clearStop();
    // Worker side, with the lock held: releases it and sleeps until another thread has taken
    // and released the lock (the register list may have changed) or the stop event is set.
    // Same result as lockUnlessStopped.
    bool unlockAndWaitForChange();
    // Worker side, without the lock: sleeps up to ms. False when the stop event was set (it is
    // then cleared again), true when the time ran out.
    bool sleepUnlessStopped(int ms);

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool held_ = false;
    bool stop_ = false;
    int waiting_ = 0;
    unsigned long releases_ = 0;
};

}  // namespace kos
