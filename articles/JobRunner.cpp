#include "JobRunner.h"

namespace kos {

bool JobRunner::start(Job job) {
    if (running_.load())
        return false;
    if (thread_.joinable())
        thread_.join();
    control_.clearAbort();
    running_ = true;
    thread_ = std::thread([this, job = std::move(job)] {
        const JobResult result = job(control_);
        result_ = result;
        listener_.finished(result);
        running_ = false;
    });
    return true;
}

JobResult JobRunner::wait() {
    if (thread_.joinable())
        thread_.join();
    return result_;
}

JobResult runJob(JobListener& listener, const Job& job) {
    JobRunner runner(listener);
    runner.start(job);
    return runner.wait();
}

}  // namespace kos
