#include "ArticleTransfer.h"

#include <cstdio>

#include "articles/TransferJobs.h"
#include "link/SerialPort.h"

namespace kos {

namespace {

constexpr const char* LABEL_RECEIVE = "Odbieranie informacji o artykułach.";
constexpr const char* LABEL_DELETE = "Usuwanie informacji o artykułach.";
constexpr const char* LABEL_SEND = "Wysyłanie informacji o artykułach.";
constexpr const char* LABEL_SEND_SELECTED = "Wysyłanie informacji o zaznaczonych artykułach.";

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

// A borrowed list of the selected articles, in PLU order, each marked `modified`.
void collect(const std::vector<Article*>& selected, Articles& list) {
    for (Article* article : selected) {
        article->modified = true;
        list.add(article);
    }
}

}  // namespace

ArticleTransfer::ArticleTransfer(EcrDoc& doc, const Settings& settings, JobHost& host,
                                 Prompt& prompt)
    : doc_(doc), settings_(settings), host_(host), prompt_(prompt) {
    const int port = settings.port;
    if (port >= 1 && port <= COM_PORT_COUNT && !settings.comDevice[port - 1].empty())
        setComDevice(port, settings.comDevice[port - 1]);
}

void ArticleTransfer::removeListed(const Articles& document, Articles& inRegister) {
    const std::vector<Article*> all(inRegister.begin(), inRegister.end());
    for (Article* article : all)
        if (document.findByPlu(article->plu) >= 0)
            inRegister.remove(article);
}

bool ArticleTransfer::failed() {
    prompt_.message(TEXT_COMM_FAILED, PromptIcon::Stop);
    return false;
}

JobResult ArticleTransfer::sendJob(const std::string& label, Articles& articles) {
    const Settings& settings = settings_;
    return host_.run(label, [&settings, &articles](JobControl& control) {
        return sendArticlesJob(control, settings, articles);
    });
}

JobResult ArticleTransfer::deleteJob(Articles& articles) {
    const Settings& settings = settings_;
    return host_.run(LABEL_DELETE, [&settings, &articles](JobControl& control) {
        return deleteArticlesJob(control, settings, articles);
    });
}

bool ArticleTransfer::sendAll(bool deleteMissing) {
    for (Article* article : doc_.articles)
        article->modified = true;
    doc_.setModified();
    int deleted = 0;
    if (deleteMissing) {
        Articles inRegister;
        const Settings& settings = settings_;
        const JobResult read = host_.run(LABEL_RECEIVE, [&](JobControl& control) {
            return receiveArticlesJob(control, settings, inRegister);
        });
        if (!read.success)
            return failed();
        removeListed(doc_.articles, inRegister);
        deleted = inRegister.count();
        if (deleted > 0 && !deleteJob(inRegister).success)
            return failed();
    }
    const JobResult sent = sendJob(LABEL_SEND, doc_.articles);
    if (!sent.success)
        return failed();
    prompt_.message(format("%s\nUsunięto %d, wysłano %d , błędów %d", TEXT_COMM_DONE, deleted,
                           sent.count, sent.errors),
                    PromptIcon::Information);
    return true;
}

bool ArticleTransfer::withSelection(const std::vector<Article*>& selected, bool send) {
    Articles list(Articles::Ownership::Borrowing);
    collect(selected, list);
    doc_.setModified();
    if (!send && list.count() == 0)
        return true;
    const JobResult result = send ? sendJob(LABEL_SEND_SELECTED, list) : deleteJob(list);
    list.detachAll();
    if (!result.success)
        return failed();
    prompt_.message(
        send ? format("%s\nWysłano %d, błędów %d", TEXT_COMM_DONE, result.count, result.errors)
             : format("%s\nUsunięto %d", TEXT_COMM_DONE, result.count),
        PromptIcon::Information);
    return true;
}

bool ArticleTransfer::sendSelected(const std::vector<Article*>& selected) {
    if (!prompt_.ask("Czy chcesz wysłać zaznaczone artykuły do kasy?"))
        return false;
    return withSelection(selected, true);
}

bool ArticleTransfer::deleteSelected(const std::vector<Article*>& selected) {
    if (!prompt_.ask("Czy na pewno chcesz usunąć zaznaczone artykuły z kasy?"))
        return false;
    return withSelection(selected, false);
}

bool ArticleTransfer::deleteAll() {
    if (!prompt_.ask("Czy na pewno chcesz usunąć artykuły z kasy?") || doc_.articles.count() == 0)
        return false;
    doc_.setModified();
    const JobResult result = deleteJob(doc_.articles);
    if (!result.success)
        return failed();
    prompt_.message(format("%s\nUsunięto %d", TEXT_COMM_DONE, result.count),
                    PromptIcon::Information);
    return true;
}

bool ArticleTransfer::read() {
    if (!prompt_.ask("Czy chcesz odczytać artykuły z kasy?"))
        return false;
    doc_.articles.removeAll();
    doc_.setModified();
    const Settings& settings = settings_;
    Articles& articles = doc_.articles;
    const JobResult result = host_.run(LABEL_RECEIVE, [&](JobControl& control) {
        return receiveArticlesJob(control, settings, articles);
    });
    doc_.setModified();
    if (!result.success)
        return failed();
    prompt_.message(format("%s\nOdebrano %d", TEXT_COMM_DONE, result.count),
                    PromptIcon::Information);
    return true;
}

bool ArticleTransfer::zeroCounters() {
    const Settings& settings = settings_;
    const JobResult result = host_.run("Zerowanie liczników sprzedaży.", [&](JobControl& control) {
        return zeroCountersJob(control, settings);
    });
    return result.success || failed();
}

bool ArticleTransfer::sendHeader() {
    if (!prompt_.ask("Czy chcesz wysłać nagłówek do kasy?"))
        return false;
    const Settings& settings = settings_;
    const ECRHeader& header = doc_.header;
    const JobResult result = host_.run("Wysyłanie nagłówka.", [&](JobControl& control) {
        return sendHeaderJob(control, settings, header);
    });
    if (!result.success)
        return failed();
    prompt_.message(TEXT_COMM_DONE, PromptIcon::Information);
    return true;
}

bool ArticleTransfer::readHeader() {
    if (!prompt_.ask("Czy chcesz odczytać nagłówek z kasy?"))
        return false;
    doc_.header.clear();
    doc_.setModified();
    const Settings& settings = settings_;
    ECRHeader& header = doc_.header;
    const JobResult result = host_.run("Odbieranie nagłówka.", [&](JobControl& control) {
        return receiveHeaderJob(control, settings, header);
    });
    if (!result.success)
        return failed();
    prompt_.message(TEXT_COMM_DONE, PromptIcon::Information);
    return true;
}

}  // namespace kos
