// A register exchange as the progress dialog runs it: started once, asked to stop by
// "Przerwij", and reporting its progress and its end to a listener from its own thread.
#pragma once

#include <string>

namespace kos {

class CommJobListener {
public:
    virtual ~CommJobListener() = default;
    // Position 0..1000 and the status text (UTF-8). Returns only after the text has been
    // copied, so the job may change its buffer right after.
    virtual void progress(int position, const std::string& text) = 0;
    // The job's last call: success, and the count and errors of its final report.
    virtual void finished(bool ok, int count, int errors) = 0;
};

class CommJob {
public:
    virtual ~CommJob() = default;
    // Starts the exchange on a thread of the job's own; returns at once.
    virtual void start(CommJobListener& listener) = 0;
    // Asks the exchange to stop before its next article; it still calls finished.
    virtual void abort() = 0;
};

}  // namespace kos
