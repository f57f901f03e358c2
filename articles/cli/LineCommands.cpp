#include "LineCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "articles/ArticleTransfer.h"
#include "articles/EcrDoc.h"
#include "articles/RegisterSearch.h"
#include "base/CommandLine.h"
#include "link/SerialPort.h"

namespace kos {

namespace {

constexpr int FAILED = 1;

// Ctrl+C is "Przerwij" of the running job; one pressed between two jobs stops the next one.
std::atomic<JobRunner*> currentRunner{nullptr};
std::atomic<bool> interrupted{false};

void onInterrupt(int) {
    interrupted = true;
    if (JobRunner* runner = currentRunner.load())
        runner->requestAbort();
}

// Runs jobs in the foreground, with one updating progress line when standard error is a
// terminal.
class LineJobHost final : public JobHost, private JobListener {
public:
    LineJobHost() : terminal_(::isatty(STDERR_FILENO) != 0) {
        struct sigaction sa {};
        sa.sa_handler = onInterrupt;
        sigaction(SIGINT, &sa, nullptr);
    }

    JobResult run(const std::string& label, const Job& job) override {
        label_ = label;
        JobRunner runner(*this);
        runner.start(job);
        currentRunner = &runner;
        if (interrupted)
            runner.requestAbort();
        const JobResult result = runner.wait();
        currentRunner = nullptr;
        if (terminal_ && shown_)
            std::fputs("\r\033[K", stderr);
        shown_ = false;
        return result;
    }

private:
    void progress(int position, const std::string& text) override {
        if (!terminal_)
            return;
        std::string line = text;
        for (size_t at; (at = line.find("\r\n")) != std::string::npos;)
            line.replace(at, 2, " ");
        std::fprintf(stderr, "\r\033[K%s %d%%", line.c_str(), position / 10);
        std::fflush(stderr);
        shown_ = true;
    }
    void finished(const JobResult&) override {}

    bool terminal_;
    bool shown_ = false;
    std::string label_;
};

// Successes on standard output, everything else on standard error; the command itself is the
// Yes to its question.
class LinePrompt final : public Prompt {
public:
    void message(const std::string& text, PromptIcon icon) override {
        std::FILE* to = icon == PromptIcon::Information ? stdout : stderr;
        std::fprintf(to, "%s\n", text.c_str());
        std::fflush(to);
    }
    bool ask(const std::string&) override { return true; }
};

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// The document, or a new one when create is set and there is no file.
bool openDocument(const std::string& path, bool create, EcrDoc& doc, Prompt& prompt) {
    if (create && !fileExists(path))
        return true;
    return doc.open(path, prompt);
}

// The articles of the comma list; false after naming the first code that is wrong or missing.
bool selectByPlu(const std::string& list, const Articles& articles, std::vector<Article*>& out,
                 Prompt& prompt) {
    std::stringstream in(list);
    std::string text;
    while (std::getline(in, text, ',')) {
        Plu plu;
        if (!plu.parse(text)) {
            prompt.message("Niepoprawny format PLU: " + text, PromptIcon::Stop);
            return false;
        }
        const int index = articles.findByPlu(plu);
        if (index < 0) {
            prompt.message("Brak artykułu o numerze PLU " + plu.toString() + ".", PromptIcon::Stop);
            return false;
        }
        out.push_back(articles.getAt(index));
    }
    return true;
}

// Saves the document after an exchange; the exchange's outcome stands unless saving fails.
int saveAfter(bool ok, EcrDoc& doc, const std::string& path, Prompt& prompt) {
    if (doc.isModified() && !doc.save(path, prompt))
        return FAILED;
    return ok ? 0 : FAILED;
}

// Opens the document and runs one exchange on it, saving afterwards when saveIt.
template <typename Exchange>
int onDocument(const ArticlesOptions& options, const Settings& settings, bool create,
               Exchange exchange) {
    LinePrompt prompt;
    EcrDoc doc;
    if (!openDocument(options.file, create, doc, prompt))
        return FAILED;
    LineJobHost host;
    ArticleTransfer transfer(doc, settings, host, prompt);
    const bool ok = exchange(doc, transfer, prompt);
    return saveAfter(ok, doc, options.file, prompt);
}

// The ports of a comma list 1..4; false for anything else.
bool parsePorts(const std::string& list, std::array<bool, COM_PORT_COUNT>& ports) {
    ports.fill(false);
    std::stringstream in(list);
    std::string text;
    while (std::getline(in, text, ',')) {
        if (text.size() != 1 || text[0] < '1' || text[0] > '4')
            return false;
        ports[text[0] - '1'] = true;
    }
    return true;
}

}  // namespace

void applyLineOptions(const ArticlesOptions& options, Settings& settings) {
    overrideLine(settings, options.port, options.device, options.speed);
    if (options.ecr)
        settings.ecrNr = *options.ecr;
    if (options.continueOnError)
        settings.continueSendingOnError = *options.continueOnError;
    for (int port = 1; port <= COM_PORT_COUNT; ++port)
        if (!settings.comDevice[port - 1].empty())
            setComDevice(port, settings.comDevice[port - 1]);
}

int sendToRegister(const ArticlesOptions& options, const Settings& settings) {
    const bool deleteMissing = options.deleteMissing || settings.updateArticles != 0;
    return onDocument(options, settings, false,
                      [&](EcrDoc& doc, ArticleTransfer& transfer, Prompt& prompt) {
                          if (!options.plu)
                              return transfer.sendAll(deleteMissing);
                          std::vector<Article*> selected;
                          return selectByPlu(*options.plu, doc.articles, selected, prompt) &&
                                 transfer.sendSelected(selected);
                      });
}

int readFromRegister(const ArticlesOptions& options, const Settings& settings) {
    return onDocument(options, settings, true,
                      [](EcrDoc&, ArticleTransfer& transfer, Prompt&) { return transfer.read(); });
}

int deleteInRegister(const ArticlesOptions& options, const Settings& settings) {
    return onDocument(options, settings, false,
                      [&](EcrDoc& doc, ArticleTransfer& transfer, Prompt& prompt) {
                          if (!options.plu)
                              return transfer.deleteAll();
                          std::vector<Article*> selected;
                          return selectByPlu(*options.plu, doc.articles, selected, prompt) &&
                                 transfer.deleteSelected(selected);
                      });
}

int zeroRegisterCounters(const Settings& settings) {
    LinePrompt prompt;
    EcrDoc doc;
    LineJobHost host;
    return ArticleTransfer(doc, settings, host, prompt).zeroCounters() ? 0 : FAILED;
}

int sendHeaderToRegister(const ArticlesOptions& options, const Settings& settings) {
    return onDocument(options, settings, false, [](EcrDoc&, ArticleTransfer& transfer, Prompt&) {
        return transfer.sendHeader();
    });
}

int readHeaderFromRegister(const ArticlesOptions& options, const Settings& settings) {
    return onDocument(options, settings, false, [](EcrDoc&, ArticleTransfer& transfer, Prompt&) {
        return transfer.readHeader();
    });
}

int findRegister(const ArticlesOptions& options, const Settings& /*settings*/,
                 SettingsStore& store) {
    LinePrompt prompt;
    FindEcrRequest request;
    request.ascending = !options.descending;
    if (options.start) {
        char* end = nullptr;
        const long start = std::strtol(options.start->c_str(), &end, 10);
        if (options.start->empty() || *end != '\0' || start < -100000 || start > 100000) {
            prompt.message(TEXT_NOT_AN_INTEGER, PromptIcon::Exclamation);
            return FAILED;
        }
        request.start = static_cast<int>(start);
    }
    if (options.ports && !parsePorts(*options.ports, request.ports)) {
        prompt.message("Niepoprawna lista portów: " + *options.ports, PromptIcon::Stop);
        return FAILED;
    }
    if (const char* error = findRequestError(request)) {
        prompt.message(error, PromptIcon::Stop);
        return FAILED;
    }
    LineJobHost host;
    LineProbe probe;
    const JobResult result = host.run("Szukanie kasy.", [&](JobControl& control) {
        return findRegisterJob(control, request, probe);
    });
    if (!result.success) {
        prompt.message(TEXT_COMM_FAILED, PromptIcon::Stop);
        return FAILED;
    }
    const std::optional<FoundRegister> found = foundRegister(result);
    if (!found)
        return EXIT_NOT_FOUND;
    std::printf("nr logiczny %d, com%d, %d bps\n", found->nr, found->port,
                SEARCH_SPEEDS[found->speedIndex - 1]);
    if (options.apply) {
        Settings stored = defaultSettings();
        loadSettings(store, stored);
        if (!applyFoundRegister(*found, stored, store)) {
            prompt.message(TEXT_REGISTER_NOT_FOUND, PromptIcon::Stop);
            return FAILED;
        }
    }
    return 0;
}

}  // namespace kos
