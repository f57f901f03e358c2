#include "ServerPath.h"

#include <signal.h>
#include <sys/stat.h>

#include <cstdio>

#include "online/ControlProtocol.h"

namespace kos {

namespace {

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int) {
    g_interrupted = true;
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        std::string part = text.substr(start, comma - start);
        const size_t first = part.find_first_not_of(" \t");
        const size_t last = part.find_last_not_of(" \t");
        if (first != std::string::npos)
            parts.push_back(part.substr(first, last - first + 1));
        if (comma == std::string::npos)
            return parts;
        start = comma + 1;
    }
}

}  // namespace

int serverArticlesCommand(const ArticlesOptions& options, const Settings& settings,
                          Prompt& prompt) {
    if (options.noServer)
        return USE_DIRECT_LINE;
    EcrDoc doc;
    struct stat st;
    const bool exists = ::stat(options.file.c_str(), &st) == 0;
    if ((exists || options.command == "send") && !doc.open(options.file, prompt))
        return 1;

    ServerPathRequest request;
    request.socket = options.socket ? *options.socket : defaultControlPath();
    request.ecrNr = settings.ecrNr;
    request.send = options.command == "send";
    request.continueOnError = settings.continueSendingOnError;
    if (options.plu)
        request.plus = splitList(*options.plu);

    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    const ServerPathResult result =
        transferThroughServer(doc, request, g_interrupted, prompt, [](const ServerEvent& e) {
            if (e.started)
                std::fprintf(stderr, "%s\n", e.text.c_str());
            else
                std::fprintf(stderr, "%s (%d/%d)\n", e.text.c_str(), e.position, e.range);
            std::fflush(stderr);
        });
    if (result == ServerPathResult::NoServer)
        return USE_DIRECT_LINE;
    if (result == ServerPathResult::NotRun)
        return 1;
    // What was reached is kept, whether the job finished, failed or was cancelled.
    if (!doc.save(options.file, prompt))
        return 1;
    return result == ServerPathResult::Finished ? 0 : 1;
}

}  // namespace kos
