// Start, stop and toggle of online communication.
#include "online/OnlineComm.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <vector>

#include "online/ReceiptFile.h"
#include "online/ReceiptScan.h"

namespace kos {

namespace {

constexpr int LOG_OPTIONS = LogFile::LOG_CLOSE_EACH_WRITE | LogFile::LOG_HEADER_ON_CREATE;

constexpr const char* TEXT_NO_RECEIPT_DIR =
    "Przed rozpoczęciem komunikacji należy określić katalog gdzie będą zapisywane informacje o "
    "paragonach.";
constexpr const char* TEXT_CREATE_DIR_FAILED = "Błąd podczas tworzenia katalogu.";
constexpr const char* TEXT_SCAN_FAILED =
    "Błąd podczas przeszukiwania katalogu zawierającego paragony.";
constexpr const char* TEXT_LOG_INIT_FAILED = "Błąd podczas inicjowania pliku logu.";
constexpr const char* TEXT_PORT_OPEN_FAILED =
    "Błąd podczas otwierania portu szeregowego com%d do komunikacji z kasami.";
constexpr const char* TEXT_PORT_SETUP_FAILED =
    "Błąd podczas ustawiania parametrów portu szeregowego com%d do komunikacji z kasami.";
constexpr const char* TEXT_LOG_WRITE_FAILED = "Błąd podczas zapisu do pliku logu.";
constexpr const char* TEXT_ASK_STOP = "Czy na pewno chcesz zakończyć komunikację z kasami?";
constexpr const char* TEXT_OTHER_DOCUMENT_ONLINE =
    "Komunikacja z kasami jest włączona w innym dokumencie.";
constexpr const char* LOG_START = "\n%t Rozpoczęcie komunikacji z kasami w trybie online";
constexpr const char* LOG_STOP = "\n%t Zakończenie komunikacji z kasami w trybie online";

// The texts of one directory's checks.
struct DirectoryTexts {
    const char* askCreate;
    const char* cannotRead;
    const char* notDirectory;
};

constexpr DirectoryTexts RECEIPT_DIR_TEXTS = {
    "Katalog gdzie będą zapisywane informacje o paragonach nie istnieje,\nCzy chcesz utworzyć "
    "\"%s\"?",
    "Nie można odczytać informacji o katalogu gdzie będą zapisywane informacje o "
    "paragonach.\n\"%s\"",
    "Lokalizacja gdzie będą zapisywane informacje o paragonach nie jest katalogiem.\n\"%s\"",
};

constexpr DirectoryTexts BACKUP_DIR_TEXTS = {
    "Katalog zapasowy gdzie będą zapisywane informacje o paragonach nie istnieje,\nCzy chcesz "
    "utworzyć \"%s\"?",
    "Nie można odczytać informacji o katalogu zapasowym, gdzie będą zapisywane informacje o "
    "paragonach.\n\"%s\"",
    "Lokalizacja zapasowa, gdzie będą zapisywane informacje o paragonach nie jest "
    "katalogiem.\n\"%s\"",
};

std::mutex communicatingLock;
TarvelServerDoc* communicating = nullptr;

template <typename T>
std::string format(const char* pattern, T value) {
    const int n = std::snprintf(nullptr, 0, pattern, value);
    if (n <= 0)
        return {};
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::snprintf(buf.data(), buf.size(), pattern, value);
    return std::string(buf.data(), static_cast<size_t>(n));
}

void fail(Prompt& prompt, const std::string& text) {
    prompt.message(text, PromptIcon::Stop);
}

// Missing: asked to create it (one level). Then it must be a readable directory. False when
// the start cannot go on (the user was told, or said No).
bool checkDirectory(const std::string& dir, const DirectoryTexts& texts, Prompt& prompt) {
    struct stat st;
    if (::stat(dir.c_str(), &st) != 0 && errno == ENOENT) {
        if (!prompt.ask(format(texts.askCreate, dir.c_str())))
            return false;
        if (::mkdir(dir.c_str(), 0777) != 0) {
            fail(prompt, TEXT_CREATE_DIR_FAILED);
            return false;
        }
    }
    if (::stat(dir.c_str(), &st) != 0) {
        fail(prompt, format(texts.cannotRead, dir.c_str()));
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        fail(prompt, format(texts.notDirectory, dir.c_str()));
        return false;
    }
    return true;
}

// Everything of startOnline up to the running worker; false leaves the port closed.
// A register whose frame a program that ended (killed) never acknowledged sends it again, ten
// times, a few hundred ms apart, until it hears the line again. Read by the first poll, such a
// frame would pass for the answer of another register and shift every later answer by one. So
// what comes in is dropped until the line has been quiet for longer than one such repeat.
constexpr int STALE_QUIET_MS = 450;
constexpr int STALE_MAX_MS = 5000;

void dropStaleInput(TX310Comm& link) {
    Clock& clock = systemClock();
    const uint32_t start = clock.tickCount();
    uint32_t lastByte = start;
    uint8_t buf[16];
    while (clock.tickCount() - lastByte < static_cast<uint32_t>(STALE_QUIET_MS) &&
           clock.tickCount() - start < static_cast<uint32_t>(STALE_MAX_MS)) {
        uint32_t n = 0;
        if (!link.read(buf, sizeof buf, n))
            return;
        if (n > 0)
            lastByte = clock.tickCount();
    }
}

bool prepareStart(TarvelServerDoc& doc, const Settings& settings, Prompt& prompt) {
    doc.setDirectories(settings.receiptDir, settings.receiptBackupDir);

    if (doc.receiptDir().empty()) {
        fail(prompt, TEXT_NO_RECEIPT_DIR);
        return false;
    }
    if (!checkDirectory(doc.receiptDir(), RECEIPT_DIR_TEXTS, prompt))
        return false;
    if (!doc.backupDir().empty() && !checkDirectory(doc.backupDir(), BACKUP_DIR_TEXTS, prompt))
        return false;

    const LocalTime now = doc.clock().localTime();
    const int highest = scanReceiptNumbers(doc.receiptDir(), now);
    if (highest < 0) {
        fail(prompt, TEXT_SCAN_FAILED);
        return false;
    }
    doc.setReceiptNumbering(highest + 1, now);

    if (!doc.serverLog().open(joinPath(doc.receiptDir(), ONLINE_LOG_NAME), LOG_OPTIONS)) {
        fail(prompt, TEXT_LOG_INIT_FAILED);
        return false;
    }

    const int port = settings.port;
    if (port >= 1 && port <= COM_PORT_COUNT && !settings.comDevice[port - 1].empty())
        setComDevice(port, settings.comDevice[port - 1]);
    // The port refuses a speed the registers do not use; that is a parameter failure.
    LineTiming timing;
    const bool knownSpeed = lineTimingFor(settings.portSpeed, timing);
    if (!doc.link().open(port, settings.portSpeed)) {
        fail(prompt, format(knownSpeed ? TEXT_PORT_OPEN_FAILED : TEXT_PORT_SETUP_FAILED, port));
        return false;
    }
    if (!knownSpeed ||
        !doc.link().setReadTimeouts(timing.readConstantMs, timing.readMultiplierMs)) {
        doc.link().close();
        fail(prompt, format(TEXT_PORT_SETUP_FAILED, port));
        return false;
    }
    doc.link().setBeginFrameTimeout(timing.beginFrameTimeoutMs);
    dropStaleInput(doc.link());
    doc.link().setFrameTimeLimit(frameTimeLimitMs(settings.portSpeed));

    if (doc.serverLog().print(LOG_START) < 0) {
        doc.link().close();
        fail(prompt, TEXT_LOG_WRITE_FAILED);
        return false;
    }
    return true;
}

}  // namespace

bool lineTimingFor(int speed, LineTiming& timing) {
    switch (speed) {
        case 2400:
            timing = {80, 8, 400};
            return true;
        case 4800:
            timing = {40, 4, 200};
            return true;
        case 9600:
            timing = {20, 2, 100};
            return true;
        default:
            return false;
    }
}

TarvelServerDoc* communicatingDocument() {
    std::lock_guard<std::mutex> g(communicatingLock);
    return communicating;
}

ToggleButtonState toggleButtonState(const TarvelServerDoc& doc) {
    const TarvelServerDoc* online = communicatingDocument();
    if (!online)
        return {false, true};
    return {true, online == &doc};
}

bool startOnline(TarvelServerDoc& doc, const Settings& settings, Prompt& prompt) {
    if (doc.isOnline())
        return true;
    {
        // Claimed for the whole start, so a second document cannot start meanwhile.
        std::lock_guard<std::mutex> g(communicatingLock);
        if (communicating && communicating != &doc) {
            prompt.message(TEXT_OTHER_DOCUMENT_ONLINE, PromptIcon::None);
            return false;
        }
        communicating = &doc;
    }
    if (doc.journalHeldElsewhere())
        fail(prompt, TEXT_JOURNAL_HELD);
    if (doc.journalHeldElsewhere() || !prepareStart(doc, settings, prompt)) {
        std::lock_guard<std::mutex> g(communicatingLock);
        communicating = nullptr;
        return false;
    }
    doc.startWorker();
    return true;
}

void stopOnline(TarvelServerDoc& doc, Prompt& prompt) {
    if (!doc.isOnline())
        return;
    doc.stopWorker();
    doc.link().close();
    doc.disconnectAll();

    // Receipts whose files could not be written get one more try while the paths still stand.
    doc.writePendingReceipts();

    if (doc.serverLog().print(LOG_STOP) < 0)
        fail(prompt, TEXT_LOG_WRITE_FAILED);
    doc.setDirectories("", "");

    std::lock_guard<std::mutex> g(communicatingLock);
    if (communicating == &doc)
        communicating = nullptr;
}

bool toggleOnline(TarvelServerDoc& doc, const Settings& settings, Prompt& prompt) {
    if (doc.isOnline()) {
        if (prompt.ask(TEXT_ASK_STOP))
            stopOnline(doc, prompt);
        return doc.isOnline();
    }
    TarvelServerDoc* other = communicatingDocument();
    if (other && other != &doc) {
        prompt.message(TEXT_OTHER_DOCUMENT_ONLINE, PromptIcon::None);
        return false;
    }
    return startOnline(doc, settings, prompt);
}

}  // namespace kos
