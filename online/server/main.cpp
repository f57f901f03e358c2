// kos-online: opens (or creates) an online document, runs online communication as the toggle
// button does, prints what happens, and on SIGINT or SIGTERM stops, exports if asked and saves
// the document.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

#include "ConsolePrompt.h"
#include "ServerOptions.h"
#include "ServerReport.h"
#include "base/Version.h"
#include "base/qt/QtSettingsStore.h"
#include "online/ControlServer.h"
#include "online/OnlineComm.h"
#include "online/RegisterListText.h"
#include "online/SalesExport.h"

namespace {

using namespace kos;

constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Until SIGINT, SIGTERM or the end of the duration (0: none); tick runs about once a second
// meanwhile. Both stopSignals are blocked in every thread, so they arrive here and nowhere else.
void waitForStop(const sigset_t& stopSignals, int durationSeconds,
                 const std::function<void()>& tick) {
    timespec end{};
    clock_gettime(CLOCK_MONOTONIC, &end);
    end.tv_sec += durationSeconds;
    for (;;) {
        long long wait = 1000000000LL;
        if (durationSeconds != 0) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            long long left = (end.tv_sec - now.tv_sec) * 1000000000LL + (end.tv_nsec - now.tv_nsec);
            if (left <= 0)
                return;
            wait = std::min(wait, left);
        }
        timespec w{static_cast<time_t>(wait / 1000000000LL),
                   static_cast<long>(wait % 1000000000LL)};
        const int sig = sigtimedwait(&stopSignals, nullptr, &w);
        if (sig > 0)
            return;
        if (errno != EINTR && errno != EAGAIN)
            return;
        tick();
    }
}

// Saved at most every AUTOSAVE_SECONDS while sales change or the journal grows, so a kill
// leaves a short journal.
constexpr int AUTOSAVE_SECONDS = 3;
constexpr uint64_t JOURNAL_SAVE_SIZE = 1u << 20;

class AutoSave {
public:
    AutoSave(TarvelServerDoc& doc, const std::string& path, Prompt& prompt)
        : doc_(doc), path_(path), prompt_(prompt), last_(std::time(nullptr)) {}
    void operator()() {
        const std::time_t now = std::time(nullptr);
        if (now - last_ < AUTOSAVE_SECONDS ||
            !(doc_.isModified() || doc_.journalSize() > JOURNAL_SAVE_SIZE))
            return;
        last_ = now;
        const bool ok = doc_.writeFile(path_) == DsrStatus::Ok;
        if (!ok && !failed_)
            prompt_.message(TEXT_SAVE_FAILED, PromptIcon::Stop);
        failed_ = !ok;
    }

private:
    TarvelServerDoc& doc_;
    std::string path_;
    Prompt& prompt_;
    std::time_t last_;
    bool failed_ = false;
};

void printRegisters(TarvelServerDoc& doc) {
    std::string list;
    doc.forEachUsedSlot([&list](int, const EcrOnLineComm& slot) {
        if (!list.empty())
            list += ",";
        list += std::to_string(slot.logicalNumber);
    });
    std::printf("kasy: %s\n", list.empty() ? "(brak)" : list.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (askedForVersion(argc, argv)) {
        std::printf("kos-online %s\n", VERSION_TEXT);
        return 0;
    }
    ServerOptions options;
    std::string error;
    if (!parseServerOptions(argc, argv, options, error)) {
        if (error == "help") {
            std::fputs(serverUsage(), stdout);
            return 0;
        }
        std::fprintf(stderr, "%s\n%s", error.c_str(), serverUsage());
        return EXIT_USAGE;
    }

    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QtSettingsStore store;
    Settings settings = defaultSettings();
    loadSettings(store, settings);
    applyServerOptions(options, settings);

    ConsolePrompt prompt(stdin, stderr, ::isatty(STDIN_FILENO) != 0);
    TarvelServerDoc doc;
    // Before the document is touched: a second server on the same socket is refused here.
    std::unique_ptr<ControlServer> control;
    if (const std::string path = controlPathOf(options); !path.empty()) {
        control = std::make_unique<ControlServer>(doc, path);
        if (control->start(error) != ControlServer::StartResult::Started) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return EXIT_FAILED;
        }
        doc.addStatusListener(control.get());
        std::printf("gniazdo sterujące: %s\n", path.c_str());
    }
    // A document that cannot be read is left as it is: nothing is saved over it.
    if (fileExists(options.document)) {
        if (doc.openFile(options.document, prompt) != DsrStatus::Ok)
            return EXIT_FAILED;
    } else {
        std::printf("nowy dokument %s\n", options.document.c_str());
        doc.attachJournal(options.document);
    }
    if (doc.journalHeldElsewhere()) {
        prompt.message(TEXT_JOURNAL_HELD, PromptIcon::Stop);
        return EXIT_FAILED;
    }
    if (options.registers && !addMissingRegisters(doc, *options.registers, prompt))
        return EXIT_FAILED;
    printRegisters(doc);
    // Saved once before the start, so a document that cannot be written is found now and not
    // after a day of collecting.
    if (!doc.save(options.document, prompt))
        return EXIT_FAILED;

    ServerReport report(doc, stdout);
    doc.addStatusListener(&report);
    if (!startOnline(doc, settings, prompt))
        return EXIT_FAILED;
    std::printf("komunikacja z kasami włączona: com%d (%s), %d b/s, paragony w %s\n", settings.port,
                comDevice(settings.port).c_str(), settings.portSpeed, settings.receiptDir.c_str());
    std::fflush(stdout);

    AutoSave autoSave(doc, options.document, prompt);
    waitForStop(stopSignals, options.durationSeconds, [&autoSave] { autoSave(); });
    if (control) {
        control->stop();
        doc.removeStatusListener(control.get());
    }

    stopOnline(doc, prompt);
    doc.removeStatusListener(&report);
    std::printf("komunikacja z kasami wyłączona, zapisanych paragonów: %ld\n", report.receipts());
    std::fflush(stdout);

    int status = 0;
    if (const size_t unwritten = doc.unwrittenReceiptCount()) {
        std::fprintf(stderr, "Nie udało się zapisać paragonów: %zu (szczegóły w %s).\n", unwritten,
                     ONLINE_LOG_NAME);
        status = EXIT_FAILED;
    }
    if (!options.exportPath.empty()) {
        if (exportSales(doc, options.exportPath, false, prompt))
            std::printf("sprzedaż zapisana do %s\n", options.exportPath.c_str());
        else
            status = EXIT_FAILED;
    }
    if (!options.exportResetPath.empty()) {
        if (exportSales(doc, options.exportResetPath, true, prompt))
            std::printf("sprzedaż zapisana i wyzerowana do %s\n", options.exportResetPath.c_str());
        else
            status = EXIT_FAILED;
    }
    if (doc.save(options.document, prompt))
        std::printf("dokument zapisany do %s\n", options.document.c_str());
    else
        status = EXIT_FAILED;
    return status;
}
