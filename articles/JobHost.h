// Where a command runs its jobs: the progress window of the desktop program, or the progress
// line of the command line. Both run the job on a JobRunner and wait for its end.
#pragma once

#include <string>

#include "articles/JobRunner.h"

namespace kos {

class JobHost {
public:
    virtual ~JobHost() = default;
    // label: the operation, shown above the status text.
    virtual JobResult run(const std::string& label, const Job& job) = 0;
};

}  // namespace kos
