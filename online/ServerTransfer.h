// An article transfer handed to the running server: places the job in a register's slot,
// turns the worker's posted events into the texts the user sees, and cancels on request. The
// window of the desktop program and the control socket both drive it; neither touches the
// article list until the transfer has ended.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "base/Prompt.h"
#include "online/ServerJobListener.h"

namespace kos {

class Articles;
class ServerArticleJob;

// "Wysyłanie (przez serwer) informacji o artykułach do kasy." (both directions).
extern const char* const SERVER_TRANSFER_LABEL;
// "Wysyłanie przerwane przez użytkownika." (both directions).
extern const char* const SERVER_TRANSFER_CANCELLED;

struct TransferEvent {
    int code = JobArticleDone;  // JobArticleDone, JobFinished, JobFailed
    int value = 0;              // the posted second parameter
    int position = 0;           // progress position: low half + high half of value
    std::string text;           // status line, or the closing message
    PromptIcon icon = PromptIcon::None;
    bool last = false;  // JobFinished or JobFailed: the transfer has ended
};

// The text of a posted event as the transfer window shows it; false for a code it ignores.
bool describeTransferEvent(bool send, int code, int value, TransferEvent& out);

class ServerTransfer final : public ServerJobListener {
public:
    // notify (may be empty) runs on the worker thread after each queued event; it must not
    // block.
    ServerTransfer(ServerArticleJob& job, bool send, Articles& articles, bool continueOnError,
                   std::function<void()> notify = {});
    // Cancels the job when it is still placed.
    ~ServerTransfer() override;

    bool send() const { return send_; }
    // Progress bar range: the list's size taken as 16 bits.
    int range() const { return range_; }

    // From now on the worker sees the job.
    void place();
    // Cancels under jobLock (waits for a running step). The cancel event is queued.
    void cancel();
    // The same without waiting: false when a step holds the job at the moment.
    bool tryCancel();
    // True when the job was removed without an event of ours (its register was removed).
    bool orphaned();

    // Takes the next event; false when none came within timeoutMs (0: do not wait).
    bool nextEvent(TransferEvent& event, int timeoutMs);
    bool ended();

    void jobProgress(int event, int value) override;

private:
    void cancelLocked();

    ServerArticleJob& job_;
    bool send_;
    Articles& articles_;
    bool continueOnError_;
    int range_;
    std::function<void()> notify_;
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<TransferEvent> events_;
    bool placed_ = false;
    bool ended_ = false;
};

}  // namespace kos
