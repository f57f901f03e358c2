// Receives the progress of an article job that runs inside the polls of one register. Called on
// the worker thread; a window re-posts to its own thread and never blocks the worker.
#pragma once

namespace kos {

enum ServerJobEvent : int {
    JobArticleDone = 0,
    JobFinished = 1,
    JobFailed = 2,
};

class ServerJobListener {
public:
    virtual ~ServerJobListener() = default;
    virtual void jobProgress(int event, int value) = 0;
};

}  // namespace kos
