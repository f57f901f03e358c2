// kos-online: opens (or creates) an online document, runs online communication as the toggle
// button does, prints what happens, and on SIGINT or SIGTERM stops, exports if asked and saves
// the document.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
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

// Until SIGINT, SIGTERM or the end of the duration (0: none). Both stopSignals are blocked in every
// thread, so they arrive here and nowhere else.
void waitForStop(const sigset_t& stopSignals, int durationSeconds) {
    timespec end{};
    clock_gettime(CLOCK_MONOTONIC, &end);
    end.tv_sec += durationSeconds;
    for (;;) {
        int sig;
        if (durationSeconds == 0) {
            sig = sigwaitinfo(&stopSignals, nullptr);
        } else {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            long long left = (end.tv_sec - now.tv_sec) * 1000000000LL + (end.tv_nsec - now.tv_nsec);
            if (left <= 0)
                return;
            timespec wait{static_cast<time_t>(left / 1000000000LL),
                          static_cast<long>(left % 1000000000LL)};
            sig = sigtimedwait(&stopSignals, nullptr, &wait);
        }
        if (sig > 0)
            return;
        if (errno != EINTR && errno != EAGAIN)
            return;
    }
}

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
    if (fileExists(options.document)) {
        if (!doc.open(options.document, prompt))
            return EXIT_FAILED;
    } else {
        std::printf("nowy dokument %s\n", options.document.c_str());
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

    waitForStop(stopSignals, options.durationSeconds);
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
