// The desktop program's job host: each job runs on a JobRunner while the progress dialog shows
// its label, status text and bar; "Przerwij" asks the runner to stop.
#pragma once

#include <functional>

#include "articles/JobHost.h"

class QWidget;

namespace kos {

class CommDlgJobHost : public JobHost {
public:
    // beforeRun is called right before each dialog opens (the caller's views show what the
    // command has already changed).
    explicit CommDlgJobHost(QWidget* parent, std::function<void()> beforeRun = {})
        : parent_(parent), beforeRun_(std::move(beforeRun)) {}

    JobResult run(const std::string& label, const Job& job) override;

private:
    QWidget* parent_;
    std::function<void()> beforeRun_;
};

}  // namespace kos
