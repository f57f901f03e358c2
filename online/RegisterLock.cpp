#include "online/RegisterLock.h"

#include <chrono>

namespace kos {

void RegisterLock::lock() {
    std::unique_lock<std::mutex> g(m_);
    ++waiting_;
    cv_.wait(g, [this] { return !held_; });
    --waiting_;
    held_ = true;
}

bool RegisterLock::try_lock() {
    std::lock_guard<std::mutex> g(m_);
    if (held_)
        return false;
    held_ = true;
    return true;
}

void RegisterLock::unlock() {
    {
        std::lock_guard<std::mutex> g(m_);
        held_ = false;
        ++releases_;
    }
    cv_.notify_all();
}

bool RegisterLock::lockUnlessStopped() {
    std::unique_lock<std::mutex> g(m_);
    cv_.wait(g, [this] { return stop_ || (!held_ && waiting_ == 0); });
    if (stop_) {
        stop_ = false;
        return false;
    }
    held_ = true;
    return true;
}

void RegisterLock::setStop() {
    {
        std::lock_guard<std::mutex> g(m_);
        stop_ = true;
    }
    cv_.notify_all();
}

void RegisterLock::clearStop() {
    std::lock_guard<std::mutex> g(m_);
    stop_ = false;
}

bool RegisterLock::unlockAndWaitForChange() {
    std::unique_lock<std::mutex> g(m_);
    held_ = false;
    const unsigned long seen = releases_;
    cv_.notify_all();
    cv_.wait(g, [&] { return stop_ || (releases_ != seen && !held_ && waiting_ == 0); });
    if (stop_) {
        stop_ = false;
        return false;
    }
    held_ = true;
    return true;
}

bool RegisterLock::sleepUnlessStopped(int ms) {
    std::unique_lock<std::mutex> g(m_);
    cv_.wait_for(g, std::chrono::milliseconds(ms), [this] { return stop_; });
    if (stop_) {
        stop_ = false;
        return false;
    }
    return true;
}

}  // namespace kos
