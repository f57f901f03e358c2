#include "online/ServerArticleJob.h"

#include <cstring>
#include <memory>

#include "articles/Articles.h"
#include "base/Clock.h"
#include "link/EcrMessages.h"
#include "link/TX310Comm.h"
#include "online/ServerJobListener.h"

namespace kos {

namespace {

constexpr uint32_t STEP_INTERVAL_MS = 400;
constexpr uint32_t SEND_PAUSE_MS = 100;
constexpr int SEND_ANSWER_TIMEOUT_MS = 5000;
constexpr int READ_ANSWER_TIMEOUT_MS = 1000;

EcrArticle toEcrArticle(const Article& a) {
    EcrArticle e;
    a.plu.text(e.plu);
    std::strncpy(e.name, a.name.c_str(), sizeof e.name - 1);
    e.price = a.price;
    e.openPrice = a.openPrice ? 1 : 0;
    e.vat = a.vat;
    return e;
}

// The register's answer as a list article; nullptr when a field is not valid.
std::unique_ptr<Article> fromEcrAnswer(const std::string& answer) {
    EcrArticle e;
    if (parseArticleAnswer(answer, e) != TX310_OK || e.vat >= VAT_RATES)
        return nullptr;
    auto a = std::make_unique<Article>();
    if (!a->plu.parse(e.plu))
        return nullptr;
    a->name = e.name;
    a->price = e.price;
    a->openPrice = e.openPrice != 0;
    a->vat = e.vat;
    a->modified = false;
    a->saleQuantity = e.quantity;
    a->saleValue = e.amount;
    return a;
}

// receiveFrame with acknowledgement under a begin-frame time-out of its own.
bool receiveWithin(TX310Comm& link, int timeoutMs, std::string& answer) {
    const int saved = link.getBeginFrameTimeout();
    link.setBeginFrameTimeout(timeoutMs);
    const bool got = link.receiveFrame(answer, true) == TX310_OK;
    link.setBeginFrameTimeout(saved);
    return got;
}

Plu firstPlu() {
    Plu p;
    p.parse("1");
    return p;
}

}  // namespace

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

void ServerArticleJob::place(bool send, Articles& articles, bool continueOnError,
                             ServerJobListener* window) {
    std::lock_guard<std::recursive_mutex> g(jobLock);
    jobSend = send;
    jobArticles = &articles;
    jobIndex = 0;
    jobContinueOnError = continueOnError;
    jobNextPlu = firstPlu();
    jobWindow = window;
}

void ServerArticleJob::cancel() {
    std::lock_guard<std::recursive_mutex> g(jobLock);
    jobArticles = nullptr;
    jobIndex = 0;
    jobWindow = nullptr;
}

int ServerArticleJob::progressValue() const {
    if (!jobSend)
        return jobArticles ? (jobArticles->count() & 0xFFFF) : 0;
    return (jobErrorCount & 0xFFFF) * 65536 + (jobOkCount & 0xFFFF);
}

void ServerArticleJob::post(int event) {
    if (jobWindow)
        jobWindow->jobProgress(event, progressValue());
}

void ServerArticleJob::step(TX310Comm& link, Clock& clock) {
    const uint32_t now = clock.tickCount();
    // A count below the last one has wrapped: the step runs. The sum is taken without wrapping,
    // so the last 400 ms before the wrap do not let a step through early.
    if (now >= lastJobTick && now <= uint64_t{lastJobTick} + STEP_INTERVAL_MS)
        return;
    lastJobTick = now;
    std::lock_guard<std::recursive_mutex> g(jobLock);
    if (!jobArticles)
        return;
    if (jobSend)
        sendStep(link, clock);
    else
        readStep(link);
}

void ServerArticleJob::sendStep(TX310Comm& link, Clock& clock) {
    if (jobIndex == 0) {
        jobOkCount = 0;
        jobErrorCount = 0;
    }
    if (jobIndex >= jobArticles->count()) {
        post(JobFinished);
        cancel();
        return;
    }
    Article& article = *jobArticles->getAt(jobIndex);
    clock.sleepMs(SEND_PAUSE_MS);
    link.sendFrame(articleWriteMessage(toEcrArticle(article)).c_str());

    std::string answer;
    if (receiveWithin(link, SEND_ANSWER_TIMEOUT_MS, answer)) {
        const bool accepted = answer == "D";
        if (accepted) {
            ++jobOkCount;
            article.modified = false;
        } else {
            ++jobErrorCount;
        }
        if (accepted || jobContinueOnError) {
            ++jobIndex;
            post(JobArticleDone);
            if (jobIndex >= jobArticles->count()) {
                post(JobFinished);
                cancel();
            }
            return;
        }
    }
    post(JobFailed);
    cancel();
}

void ServerArticleJob::readStep(TX310Comm& link) {
    char plu[Plu::TEXT_SIZE];
    link.sendFrame(("I0;" + std::string(jobNextPlu.text(plu)) + ";").c_str());

    std::string answer;
    if (receiveWithin(link, READ_ANSWER_TIMEOUT_MS, answer)) {
        if (answer == "D" || answer == "E") {
            endRead(answer == "D" ? JobFinished : JobFailed);
            return;
        }
        link.sendFrame("S");
        std::unique_ptr<Article> article = fromEcrAnswer(answer);
        if (article) {
            Plu next = article->plu;
            if (jobArticles->add(article)) {
                post(JobArticleDone);
                next.increment();
                jobNextPlu = next;
                return;
            }
        }
    }
    endRead(JobFailed);
}

void ServerArticleJob::endRead(int event) {
    post(event);
    jobArticles = nullptr;
    jobWindow = nullptr;
    jobNextPlu = firstPlu();
}

void ServerArticleJob::fail() {
    std::lock_guard<std::recursive_mutex> g(jobLock);
    if (!jobArticles)
        return;
    post(JobFailed);
    cancel();
    jobOkCount = 0;
    jobErrorCount = 0;
}

}  // namespace kos
