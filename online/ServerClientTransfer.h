// An article transfer handed to a running kos-online through its control socket: while it
// runs, it owns the serial line, so "send" and "read" go to it and the server carries the job
// out between its polls of the register.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "articles/EcrDoc.h"
#include "base/Prompt.h"

namespace kos {

struct ServerPathRequest {
    std::string socket;
    int ecrNr = 1;
    bool send = true;
    bool continueOnError = false;
    // Sending: the PLUs of the selected articles; empty sends every article.
    std::vector<std::string> plus;
};

enum class ServerPathResult {
    NoServer,  // nothing answers on the socket: the direct line is the way
    Finished,  // the job ended with JobFinished
    Failed,    // the job failed or was cancelled; doc holds what was reached
    NotRun,    // refused, or the connection broke before the end: doc's articles unchanged
               // (a send's marks aside); shown by prompt
};

// An event of the running job: its label when it started, else a status line with the
// progress position out of range.
struct ServerEvent {
    bool started = false;
    std::string text;
    int position = 0;
    int range = 0;
};
using ServerProgress = std::function<void(const ServerEvent&)>;

// True when a server answers on socket.
bool serverAnswers(const std::string& socket);

// Runs the job on doc's articles. Sending marks the articles it sends and keeps the marks the
// server reports; reading replaces the list by what was read. Once the job has ended, finished
// or not, doc holds what was reached (the caller saves it). interrupted cancels the job;
// progress (may be empty) gets the job's events on the calling thread.
ServerPathResult transferThroughServer(EcrDoc& doc, const ServerPathRequest& request,
                                       const std::atomic<bool>& interrupted, Prompt& prompt,
                                       const ServerProgress& progress);

}  // namespace kos
