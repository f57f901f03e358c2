// Runs one transfer job on its own thread. The job reports its progress synchronously (the
// listener has handled it when the call returns, so the job may change its text next) and its
// end exactly once; "Przerwij" sets the abort flag the job looks at between articles. The
// progress window of the desktop program and the command line are two listeners of this.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace kos {

// What a job reports at its end: success, and its count and errors (the low and high 16 bits
// of the finished report).
struct JobResult {
    bool success = false;
    int count = 0;
    int errors = 0;

    uint32_t report() const {
        return (static_cast<uint32_t>(errors & 0xFFFF) << 16) |
               static_cast<uint32_t>(count & 0xFFFF);
    }
};

// Called on the job's thread.
class JobListener {
public:
    virtual ~JobListener() = default;
    // position 0..1000; text is the job's status text, valid only during the call.
    virtual void progress(int position, const std::string& text) = 0;
    virtual void finished(const JobResult& result) = 0;
};

// What a running job sees of its runner.
class JobControl {
public:
    explicit JobControl(JobListener& listener) : listener_(listener) {}
    bool aborted() const { return abort_.load(); }
    void progress(int position, const std::string& text) { listener_.progress(position, text); }
    void requestAbort() { abort_.store(true); }
    void clearAbort() { abort_.store(false); }

private:
    JobListener& listener_;
    std::atomic<bool> abort_{false};
};

using Job = std::function<JobResult(JobControl&)>;

class JobRunner {
public:
    explicit JobRunner(JobListener& listener) : control_(listener), listener_(listener) {}
    ~JobRunner() { wait(); }
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // Clears the abort flag and starts the job; false while another one runs.
    bool start(Job job);
    // "Przerwij": safe from any thread (and from a signal handler through abortFlag()).
    void requestAbort() { control_.requestAbort(); }
    // Waits for the job's end; its result (a failure when none ran).
    JobResult wait();
    bool running() const { return running_.load(); }

private:
    JobControl control_;
    JobListener& listener_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    JobResult result_;
};

// Starts the job and waits for it: the caller's thread blocks while the listener is called on
// the job's thread.
JobResult runJob(JobListener& listener, const Job& job);

}  // namespace kos
