// The server path of the article exchange: while kos-online runs, it owns the serial line, so
// kos-articles hands "send" and "read" to it through its control socket and the server carries
// the job out between its polls of the register.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "ArticlesOptions.h"
#include "articles/EcrDoc.h"
#include "base/Prompt.h"
#include "base/Settings.h"

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

// Runs the job on doc's articles. Sending marks the articles it sends and keeps the marks the
// server reports; reading replaces the list by what was read. Once the job has ended, finished
// or not, doc holds what was reached (the caller saves it). interrupted (Ctrl+C) cancels the
// job; progress lines go to progress (may be null).
ServerPathResult transferThroughServer(EcrDoc& doc, const ServerPathRequest& request,
                                       const std::atomic<bool>& interrupted, Prompt& prompt,
                                       std::FILE* progress);


// kos-articles send / read: the document's file, the register ecrNr of settings, the server
// path only. The exit status: 0 when the job finished, else 1.
// USE_DIRECT_LINE: --no-server, or no server answers; the caller takes the serial line.
inline constexpr int USE_DIRECT_LINE = -1;
int serverArticlesCommand(const ArticlesOptions& options, const Settings& settings, Prompt& prompt);

}  // namespace kos
