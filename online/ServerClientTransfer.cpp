#include "online/ServerClientTransfer.h"

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

bool serverAnswers(const std::string& socket) {
    ControlClient client;
    std::string error;
    return !socket.empty() && client.connect(socket, error);
}

ServerPathResult transferThroughServer(EcrDoc& doc, const ServerPathRequest& request,
                                       const std::atomic<bool>& interrupted, Prompt& prompt,
                                       const ServerProgress& progress) {
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
                progress({true, message.value("label", ""), 0, 0});
        } else if (event == "progress") {
            if (progress)
                progress({false, message.value("text", ""), message.value("position", 0),
                          message.value("range", 0)});
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
