#include "ServerOptions.h"

#include <cstdlib>

#include "base/CommandLine.h"
#include "online/ControlProtocol.h"

namespace kos {

const char* serverUsage() {
    return "użycie: kos-online DOKUMENT.dsr [opcje]\n"
           "  --device ŚCIEŻKA       urządzenie portu (np. /dev/ttyUSB0)\n"
           "  --port N               port com1..com4\n"
           "  --speed BPS            2400, 4800 albo 9600\n"
           "  --receipt-dir KATALOG  katalog paragonów\n"
           "  --backup-dir KATALOG   katalog zapasowy (pusty: bez kopii)\n"
           "  --registers LISTA      numery kas, np. 8,2,56\n"
           "  --duration SEKUNDY     zakończenie po tym czasie\n"
           "  --export PLIK          zapis sprzedaży po zakończeniu\n"
           "  --export-reset PLIK    zapis sprzedaży i wyzerowanie po zakończeniu\n"
           "  --control ŚCIEŻKA      gniazdo sterujące (domyślnie "
           "$XDG_RUNTIME_DIR/kos-online.sock;\n"
           "                         pusta: bez gniazda)\n"
           "  --version              wersja programu\n"
           "  --help                 ten opis\n";
}

bool parseServerOptions(int argc, const char* const* argv, ServerOptions& options,
                        std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            error = "help";
            return false;
        }
        if (arg.rfind("--", 0) != 0) {
            if (!options.document.empty()) {
                error = "Nadmiarowy argument: " + arg;
                return false;
            }
            options.document = arg;
            continue;
        }
        if (i + 1 >= argc) {
            error = "Brak wartości opcji " + arg;
            return false;
        }
        const std::string value = argv[++i];
        int number = 0;
        bool ok = true;
        if (arg == "--device")
            options.device = value;
        else if (arg == "--port")
            ok = parseIntOption(value, 1, COM_PORT_COUNT, number) && (options.port = number, true);
        else if (arg == "--speed")
            ok = parseIntOption(value, 1, 1000000, number) && (options.speed = number, true);
        else if (arg == "--receipt-dir")
            options.receiptDir = value;
        else if (arg == "--backup-dir")
            options.backupDir = value;
        else if (arg == "--registers")
            options.registers = value;
        else if (arg == "--duration")
            ok = parseIntOption(value, 1, 100000000, options.durationSeconds);
        else if (arg == "--export")
            options.exportPath = value;
        else if (arg == "--export-reset")
            options.exportResetPath = value;
        else if (arg == "--control")
            options.controlPath = value;
        else {
            error = "Nieznana opcja " + arg;
            return false;
        }
        if (!ok) {
            error = "Niepoprawna wartość opcji " + arg + ": " + value;
            return false;
        }
    }
    if (options.document.empty()) {
        error = "Brak nazwy dokumentu";
        return false;
    }
    return true;
}

void applyServerOptions(const ServerOptions& options, Settings& settings) {
    overrideLine(settings, options.port, options.device, options.speed);
    if (options.receiptDir)
        settings.receiptDir = *options.receiptDir;
    if (options.backupDir)
        settings.receiptBackupDir = *options.backupDir;
}

std::string controlPathOf(const ServerOptions& options) {
    return options.controlPath ? *options.controlPath : defaultControlPath();
}

}  // namespace kos
