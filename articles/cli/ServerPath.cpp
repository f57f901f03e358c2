#include "ServerPath.h"

#include <signal.h>
#include <sys/stat.h>

#include <memory>

#include "online/ControlClient.h"
#include "online/ControlProtocol.h"

namespace kos {

using nlohmann::json;

namespace {

constexpr int WAIT_SLICE_MS = 200;
constexpr const char* TEXT_CONNECTION_LOST = "Połączenie z serwerem przerwane.";

// Takes the articles the server sent back at the end.
void applyEnd(EcrDoc& doc, bool send, const json& articles) {
    doc.setModified();
    // Reading replaces the list by what was read.
    if (!send)
        doc.articles.removeAll();
    if (!articles.is_array())
        return;
    for (const json& item : articles) {
        auto a = std::make_unique<Article>();
        if (!articleFromJson(item, *a))
            continue;
        if (send) {
            const int index = doc.articles.findByPlu(a->plu);
            if (index >= 0)
                doc.articles.getAt(index)->modified = a->modified;
        } else {
            doc.articles.add(a);
        }
    }
}

// The job request; sending marks the articles it sends. False after a message.
bool buildJob(EcrDoc& doc, const ServerPathRequest& request, json& job, Prompt& prompt) {
    job = {{"id", 1}, {"cmd", request.send ? "send" : "read"}, {"register", request.ecrNr}};
    if (request.send) {
        json list = json::array();
        if (request.plus.empty()) {
            for (Article* a : doc.articles)
                a->modified = true;
            list = articlesToJson(doc.articles);
        } else {
            // The selection in ascending PLU order, as a borrowing list keeps it.
            Articles selected(Articles::Ownership::Borrowing);
            for (const std::string& text : request.plus) {
                Plu plu;
                const int index = plu.parse(text) ? doc.articles.findByPlu(plu) : -1;
                if (index < 0) {
                    prompt.message("Brak artykułu o PLU " + text + ".", PromptIcon::Stop);
                    selected.detachAll();
                    return false;
                }
                selected.add(doc.articles.getAt(index));
            }
            for (Article* a : selected)
                a->modified = true;
            list = articlesToJson(selected);
            selected.detachAll();
        }
        job["articles"] = std::move(list);
        job["continue_on_error"] = request.continueOnError;
    }
    return true;
}

}  // namespace

ServerPathResult transferThroughServer(EcrDoc& doc, const ServerPathRequest& request,
                                       const std::atomic<bool>& interrupted, Prompt& prompt,
                                       std::FILE* progress) {
    ControlClient client;
    std::string error;
    if (request.socket.empty() || !client.connect(request.socket, error))
        return ServerPathResult::NoServer;

    json job;
    if (!buildJob(doc, request, job, prompt))
        return ServerPathResult::NotRun;
    if (!client.send(job)) {
        prompt.message(TEXT_CONNECTION_LOST, PromptIcon::Stop);
        return ServerPathResult::NotRun;
    }

    bool cancelSent = false;
    for (;;) {
        json message;
        const ControlClient::Read r = client.next(message, WAIT_SLICE_MS);
        if (r == ControlClient::Read::Closed) {
            prompt.message(TEXT_CONNECTION_LOST, PromptIcon::Stop);
            return ServerPathResult::NotRun;
        }
        if (r == ControlClient::Read::Timeout || !message.is_object()) {
            if (interrupted && !cancelSent) {
                cancelSent = client.send({{"id", 2}, {"cmd", "cancel"}});
            }
            continue;
        }
        if (message.value("id", json()) != 1)
            continue;
        const std::string event = message.value("event", "");
        if (event.empty()) {
            if (message.value("ok", false))
                continue;  // the cancel was taken; the end follows
            prompt.message(message.value("error", std::string(TEXT_CONNECTION_LOST)),
                           PromptIcon::Stop);
            return ServerPathResult::NotRun;
        }
        if (event == "started") {
            if (progress)
                std::fprintf(progress, "%s\n", message.value("label", "").c_str());
        } else if (event == "progress") {
            if (progress) {
                std::fprintf(progress, "%s (%d/%d)\n", message.value("text", "").c_str(),
                             message.value("position", 0), message.value("range", 0));
                std::fflush(progress);
            }
        } else if (event == "end") {
            applyEnd(doc, request.send, message["articles"]);
            const bool finished = message.value("ok", false);
            prompt.message(message.value("text", ""),
                           finished ? PromptIcon::Information : PromptIcon::Stop);
            return finished ? ServerPathResult::Finished : ServerPathResult::Failed;
        }
    }
}

}  // namespace kos

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
        transferThroughServer(doc, request, g_interrupted, prompt, stderr);
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
