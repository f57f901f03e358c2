// An article job that runs inside the polls of one register: the job members shared between the
// thread that places the job and the polling worker, and the step taken after each answered poll.
#pragma once

#include <cstdint>
#include <mutex>

#include "link/Plu.h"

namespace kos {

class Articles;
class Clock;
class ServerJobListener;
class TX310Comm;

class ServerArticleJob {
public:
    ServerArticleJob() = default;
    ServerArticleJob(const ServerArticleJob&) = delete;
    ServerArticleJob& operator=(const ServerArticleJob&) = delete;

    // Every member back to its initial value, under jobLock.
    void reset();
    // Whether a job is pending (under jobLock).
    bool pending();

    // One step on the register's link (worker thread, registerLock held); nothing while no job
    // is pending.
    void step(TX310Comm& link, Clock& clock);
    // Ends a pending job as failed (the register stayed silent).
    void fail();

    // The placing side, under jobLock: a job over articles (which stay the job's until it
    // ends) reporting to window (may be null), and its cancel, after which nothing is posted.
    void place(bool send, Articles& articles, bool continueOnError, ServerJobListener* window);
    void cancel();

    // Guards every member below between the placing thread and the worker.
    std::recursive_mutex jobLock;
    bool jobSend = true;
    Articles* jobArticles = nullptr;  // not owned; set while a job is pending
    ServerJobListener* jobWindow = nullptr;
    uint32_t lastJobTick = 0;
    int jobIndex = 0;
    bool jobContinueOnError = false;
    Plu jobNextPlu;
    int jobOkCount = 0;
    int jobErrorCount = 0;

private:
    // The second parameter of a posted event: the counts of a send job, the list size of a read.
    int progressValue() const;
    void post(int event);
    void sendStep(TX310Comm& link, Clock& clock);
    void readStep(TX310Comm& link);
    void endRead(int event);
};

}  // namespace kos
