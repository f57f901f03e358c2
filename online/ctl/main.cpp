// kosctl: asks a running kos-online through its control socket: the registers and their state,
// adding and removing registers, the sales export.
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/Version.h"
#include "online/ControlClient.h"
#include "online/ControlProtocol.h"

namespace {

using nlohmann::json;

constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

const char* usage() {
    return "użycie: kosctl [--socket ŚCIEŻKA] status | add LISTA | remove LISTA | export PLIK "
           "[--reset]\n"
           "  --socket ŚCIEŻKA   gniazdo sterujące serwera (domyślnie "
           "$XDG_RUNTIME_DIR/kos-online.sock)\n"
           "  --reset            export: wyzerowanie zapisanej sprzedaży\n"
           "  --version          wersja programu\n"
           "  --help             ten opis\n";
}

void printStatus(const json& answer) {
    std::printf("komunikacja: %s\n", answer.value("online", false) ? "włączona" : "wyłączona");
    const json registers = answer.value("registers", json::array());
    if (registers.empty())
        std::printf("kasy: (brak)\n");
    for (const json& r : registers) {
        const std::string serial = r.value("serial", "");
        std::printf("kasa %d: %s, numer seryjny %s, paragonów dziś %ld\n", r.value("number", 0),
                    r.value("connected", false) ? "połączona" : "niepołączona",
                    serial.empty() ? "-" : serial.c_str(), r.value("receipts_today", 0L));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (kos::askedForVersion(argc, argv)) {
        std::printf("kosctl %s\n", kos::VERSION_TEXT);
        return 0;
    }
    std::string socket = kos::defaultControlPath();
    std::string command;
    std::string argument;
    bool reset = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage(), stdout);
            return 0;
        }
        if (arg == "--socket" && i + 1 < argc) {
            socket = argv[++i];
        } else if (arg == "--reset") {
            reset = true;
        } else if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "Nieznana opcja %s\n%s", arg.c_str(), usage());
            return EXIT_USAGE;
        } else if (command.empty()) {
            command = arg;
        } else if (argument.empty()) {
            argument = arg;
        } else {
            std::fprintf(stderr, "Nadmiarowy argument: %s\n%s", arg.c_str(), usage());
            return EXIT_USAGE;
        }
    }
    const bool needsArgument = command == "add" || command == "remove" || command == "export";
    if ((command != "status" && !needsArgument) || needsArgument == argument.empty() ||
        (reset && command != "export")) {
        std::fputs(usage(), stderr);
        return EXIT_USAGE;
    }
    if (socket.empty()) {
        std::fprintf(stderr,
                     "Brak gniazda sterującego: podaj --socket albo ustaw XDG_RUNTIME_DIR.\n");
        return EXIT_FAILED;
    }

    json request = {{"cmd", command}};
    if (command == "add" || command == "remove")
        request["list"] = argument;
    if (command == "export") {
        // The server writes the file, so a relative name is taken from here.
        if (argument[0] != '/') {
            char cwd[4096];
            if (!::getcwd(cwd, sizeof cwd)) {
                std::perror("getcwd");
                return EXIT_FAILED;
            }
            argument = std::string(cwd) + "/" + argument;
        }
        request["path"] = argument;
        request["reset"] = reset;
    }
    kos::ControlClient client;
    std::string error;
    json answer;
    if (!client.connect(socket, error) || !client.call(request, answer, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return EXIT_FAILED;
    }
    if (!answer.value("ok", false)) {
        std::fprintf(stderr, "%s\n", answer.value("error", std::string("Błąd.")).c_str());
        if (answer.contains("added") && !answer["added"].empty())
            std::printf("dodane kasy: %s\n", answer["added"].dump().c_str());
        return EXIT_FAILED;
    }
    if (command == "status")
        printStatus(answer);
    else if (command == "add")
        std::printf("dodane kasy: %s\n", answer["added"].dump().c_str());
    else if (command == "remove")
        std::printf("usunięte kasy: %s\n", answer["removed"].dump().c_str());
    else
        std::printf("sprzedaż zapisana%s do %s\n", reset ? " i wyzerowana" : "", argument.c_str());
    return 0;
}
