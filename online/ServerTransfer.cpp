#include "online/ServerTransfer.h"

#include <chrono>
#include <cstdio>

#include "articles/Articles.h"
#include "online/ServerArticleJob.h"

namespace kos {

const char* const SERVER_TRANSFER_LABEL =
    "Wysyłanie (przez serwer) informacji o artykułach do kasy.";
const char* const SERVER_TRANSFER_CANCELLED = "Wysyłanie przerwane przez użytkownika.";

namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

}  // namespace

bool describeTransferEvent(bool send, int code, int value, TransferEvent& out) {
    const int low = value & 0xFFFF;
    const int high = (value >> 16) & 0xFFFF;
    out = TransferEvent{};
    out.code = code;
    out.value = value;
    out.position = low + high;
    switch (code) {
        case JobArticleDone:
            out.text =
                send ? format("Wysłano %d błędów %d", low, high) : format("Odebrano %d", low);
            return true;
        case JobFinished:
            out.text = send ? format("Wysłano artykuły do kasy.\nWysłano %d, błędów %d", low, high)
                            : format("Odebrano %d artykułów z kasy.", low);
            out.icon = PromptIcon::Information;
            out.last = true;
            return true;
        case JobFailed:
            out.text =
                send ? format("Błąd podczas wysłania artykułów do kasy.\nWysłano %d, błędów %d",
                              low, high)
                     : format("Błąd podczas odbierania artykułów z kasy.\nOdebrano %d", low);
            out.icon = PromptIcon::Stop;
            out.last = true;
            return true;
        default:
            return false;
    }
}

ServerTransfer::ServerTransfer(ServerArticleJob& job, bool send, Articles& articles,
                               bool continueOnError, std::function<void()> notify)
    : job_(job),
      send_(send),
      articles_(articles),
      continueOnError_(continueOnError),
      range_(articles.count() & 0xFFFF),
      notify_(std::move(notify)) {}

ServerTransfer::~ServerTransfer() {
    // After its last event the worker no longer calls this transfer; until then it might.
    if (!ended()) {
        std::lock_guard<std::recursive_mutex> g(job_.jobLock);
        if (job_.jobWindow == this)
            job_.cancel();
    }
    std::lock_guard<std::mutex> l(m_);
}

void ServerTransfer::place() {
    {
        std::lock_guard<std::mutex> l(m_);
        placed_ = true;
    }
    job_.place(send_, articles_, continueOnError_, this);
}

void ServerTransfer::cancelLocked() {
    const bool ours = job_.jobWindow == this;
    job_.cancel();
    std::lock_guard<std::mutex> l(m_);
    if (!ours || ended_)
        return;
    TransferEvent e;
    e.code = JobFailed;
    e.text = SERVER_TRANSFER_CANCELLED;
    e.icon = PromptIcon::Stop;
    e.last = true;
    ended_ = true;
    events_.push_back(std::move(e));
    cv_.notify_all();
}

void ServerTransfer::cancel() {
    std::lock_guard<std::recursive_mutex> g(job_.jobLock);
    cancelLocked();
}

bool ServerTransfer::tryCancel() {
    std::unique_lock<std::recursive_mutex> g(job_.jobLock, std::try_to_lock);
    if (!g.owns_lock())
        return false;
    cancelLocked();
    return true;
}

bool ServerTransfer::orphaned() {
    std::unique_lock<std::recursive_mutex> g(job_.jobLock, std::try_to_lock);
    if (!g.owns_lock())
        return false;
    std::lock_guard<std::mutex> l(m_);
    return placed_ && !ended_ && job_.jobWindow != this;
}

bool ServerTransfer::nextEvent(TransferEvent& event, int timeoutMs) {
    std::unique_lock<std::mutex> l(m_);
    if (!cv_.wait_for(l, std::chrono::milliseconds(timeoutMs), [this] { return !events_.empty(); }))
        return false;
    event = std::move(events_.front());
    events_.pop_front();
    return true;
}

bool ServerTransfer::ended() {
    std::lock_guard<std::mutex> l(m_);
    return ended_;
}

void ServerTransfer::jobProgress(int event, int value) {
    TransferEvent e;
    if (!describeTransferEvent(send_, event, value, e))
        return;
    {
        std::lock_guard<std::mutex> l(m_);
        if (ended_)
            return;
        ended_ = e.last;
        events_.push_back(std::move(e));
        // Still under the lock, so the transfer outlives the call.
        if (notify_)
            notify_();
    }
    cv_.notify_all();
}

}  // namespace kos
