#include "ArticlesOptions.h"

#include "base/CommandLine.h"

#include <cstdlib>
#include <cstring>

namespace kos {

namespace {

// The options each command takes; true when the option has a value.
const std::map<std::string, std::map<std::string, bool>> COMMAND_OPTIONS = {
    {"export", {{"--cp1250", false}}},
    {"import", {{"--cp1250", false}, {"--skip-duplicates", false}}},
    {"add",
     {{"--plu", true},
      {"--name", true},
      {"--price", true},
      {"--vat", true},
      {"--open-price", false}}},
    {"header", {{"--line", true}, {"--align", true}}},
    {"send",
     {{"--plu", true}, {"--delete-missing", false}, {"--socket", true}, {"--no-server", false}}},
    {"read", {{"--socket", true}, {"--no-server", false}}},
    {"delete", {{"--plu", true}}},
    {"zero", {}},
    {"send-header", {}},
    {"read-header", {}},
    {"find-register",
     {{"--ports", true}, {"--start", true}, {"--descending", false}, {"--apply", false}}},
};

// The options of every command that talks to the register.
const std::map<std::string, bool> LINE_OPTIONS = {{"--device", true},
                                                  {"--port", true},
                                                  {"--speed", true},
                                                  {"--ecr", true},
                                                  {"--continue-on-error", false},
                                                  {"--stop-on-error", false}};

bool takeLineOption(const std::string& name, const std::string& value, ArticlesOptions& o,
                    std::string& error) {
    int number = 0;
    bool ok = true;
    if (name == "--device")
        o.device = value;
    else if (name == "--port")
        ok = parseIntOption(value, 1, 4, number) && (o.port = number, true);
    else if (name == "--speed")
        ok = parseIntOption(value, 1, 1000000, number) && (o.speed = number, true);
    else if (name == "--ecr")
        ok = parseIntOption(value, 0, 99, number) && (o.ecr = number, true);
    else
        o.continueOnError = name == "--continue-on-error";
    if (!ok)
        error = "Niepoprawna wartość opcji " + name + ": " + value;
    return ok;
}

bool takeOption(const std::string& name, const std::string& value, const char* const* argv, int& i,
                ArticlesOptions& o, std::string& error) {
    if (name == "--cp1250")
        o.cp1250 = true;
    else if (name == "--skip-duplicates")
        o.skipDuplicates = true;
    else if (name == "--open-price")
        o.openPrice = true;
    else if (name == "--delete-missing")
        o.deleteMissing = true;
    else if (name == "--descending")
        o.descending = true;
    else if (name == "--apply")
        o.apply = true;
    else if (name == "--ports")
        o.ports = value;
    else if (name == "--start")
        o.start = value;
    else if (name == "--socket")
        o.socket = value;
    else if (name == "--no-server")
        o.noServer = true;
    else if (name == "--plu")
        o.plu = value;
    else if (name == "--name")
        o.name = value;
    else if (name == "--price")
        o.price = value;
    else if (name == "--vat")
        o.vat = value;
    else if (name == "--align") {
        static const std::map<std::string, int> ALIGN = {{"left", 0}, {"centre", 1}, {"right", 2}};
        const auto it = ALIGN.find(value);
        if (it == ALIGN.end()) {
            error = "Niepoprawna wartość opcji --align: " + value;
            return false;
        }
        o.alignment = it->second;
    } else if (name == "--line") {
        if (value.size() != 1 || value[0] < '1' || value[0] > '5' || !argv[i + 1]) {
            error = "Opcja --line wymaga numeru linii 1..5 i tekstu";
            return false;
        }
        o.lines[value[0] - '0'] = argv[++i];
    }
    return true;
}

}  // namespace

bool commandWithoutFile(const std::string& command) {
    return command == "zero" || command == "find-register";
}

const char* articlesUsage() {
    return "użycie: kos-articles POLECENIE PLIK.dat [argumenty] [opcje]\n"
           "  export PLIK.dat [WYJŚCIE] [--cp1250]\n"
           "      zapisuje artykuły jako linie tekstu (do WYJŚCIA albo na standardowe wyjście)\n"
           "  import PLIK.dat [WEJŚCIE] [--cp1250] [--skip-duplicates]\n"
           "      wkleja linie artykułów (z WEJŚCIA albo ze standardowego wejścia) i zapisuje "
           "plik\n"
           "  add PLIK.dat --plu N --name TEKST --price LICZBA --vat LITERA [--open-price]\n"
           "      dodaje jeden artykuł\n"
           "  header PLIK.dat [--line N TEKST]... [--align left|centre|right]\n"
           "      wypisuje nagłówek paragonu; z opcjami zmienia go i zapisuje plik\n"
           "  send PLIK.dat [--plu LISTA] [--delete-missing] [--socket ŚCIEŻKA] [--no-server]\n"
           "      wysyła artykuły (albo te o numerach PLU z LISTY) do kasy; przez działający\n"
           "      kos-online, gdy odpowiada na gnieździe sterującym\n"
           "  read PLIK.dat [--socket ŚCIEŻKA] [--no-server]\n"
           "      zastępuje artykuły pliku odczytanymi z kasy (też przez kos-online)\n"
           "  delete PLIK.dat [--plu LISTA]\n"
           "      usuwa artykuły pliku (albo te z LISTY) z kasy\n"
           "  zero\n"
           "      zeruje liczniki sprzedaży kasy\n"
           "  send-header PLIK.dat | read-header PLIK.dat\n"
           "      wysyła nagłówek paragonu do kasy / odczytuje go z kasy\n"
           "  find-register [--ports 1,2,3,4] [--start N] [--descending] [--apply]\n"
           "      szuka kasy na portach; --apply zapisuje port, prędkość i numer kasy\n"
           "opcje:\n"
           "  --cp1250             tekst w stronie kodowej 1250 zamiast UTF-8\n"
           "  --skip-duplicates    artykuł o istniejącej nazwie lub PLU jest pomijany\n"
           "  --open-price         cena otwarta\n"
           "  --plu LISTA          numery PLU po przecinku (send, delete)\n"
           "  --delete-missing     usuwa z kasy artykuły, których nie ma w pliku\n"
           "  --ports LISTA        porty com do przeszukania (domyślnie 1)\n"
           "  --start N            pierwszy numer logiczny (domyślnie 1)\n"
           "  --descending         numery malejąco\n"
           "  --apply              zapisuje znalezioną kasę w ustawieniach\n"
           "  --device ŚCIEŻKA     urządzenie portu (np. /dev/ttyUSB0)\n"
           "  --port N             port com1..com4\n"
           "  --speed BPS          2400, 4800 albo 9600\n"
           "  --ecr N              numer logiczny kasy 0..99\n"
           "  --continue-on-error  wysyłanie trwa mimo odrzuconych artykułów\n"
           "  --stop-on-error      wysyłanie kończy się na pierwszym odrzuconym artykule\n"
           "  --socket ŚCIEŻKA     gniazdo sterujące kos-online (domyślnie\n"
           "                       $XDG_RUNTIME_DIR/kos-online.sock)\n"
           "  --no-server          bezpośrednio przez port, z pominięciem serwera\n"
           "  --version            wersja programu\n"
           "  --help               ten opis\n";
}

bool parseArticlesOptions(int argc, const char* const* argv, ArticlesOptions& o,
                          std::string& error) {
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            error = "help";
            return false;
        }
    if (argc < 2) {
        error = "Brak polecenia lub nazwy pliku";
        return false;
    }
    o.command = argv[1];
    const auto command = COMMAND_OPTIONS.find(o.command);
    if (command == COMMAND_OPTIONS.end()) {
        error = "Nieznane polecenie " + o.command;
        return false;
    }
    const bool withFile = !commandWithoutFile(o.command);
    if (withFile && (argc < 3 || std::strncmp(argv[2], "--", 2) == 0)) {
        error = "Brak polecenia lub nazwy pliku";
        return false;
    }
    if (withFile)
        o.file = argv[2];
    const bool takesStream = o.command == "export" || o.command == "import";
    const bool onLine = o.command != "export" && o.command != "import" && o.command != "add" &&
                        o.command != "header";
    for (int i = withFile ? 3 : 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            if (!takesStream || !o.stream.empty()) {
                error = "Nadmiarowy argument: " + arg;
                return false;
            }
            o.stream = arg;
            continue;
        }
        const auto lineOption = LINE_OPTIONS.find(arg);
        if (onLine && lineOption != LINE_OPTIONS.end()) {
            if (lineOption->second && i + 1 >= argc) {
                error = "Brak wartości opcji " + arg;
                return false;
            }
            if (!takeLineOption(arg, lineOption->second ? argv[++i] : "", o, error))
                return false;
            continue;
        }
        const auto option = command->second.find(arg);
        if (option == command->second.end()) {
            error = "Nieznana opcja " + arg + " polecenia " + o.command;
            return false;
        }
        std::string value;
        if (option->second) {
            if (i + 1 >= argc) {
                error = "Brak wartości opcji " + arg;
                return false;
            }
            value = argv[++i];
        }
        if (!takeOption(arg, value, argv, i, o, error))
            return false;
    }
    if (o.command == "add" && !(o.plu && o.name && o.price && o.vat)) {
        error = "Polecenie add wymaga opcji --plu, --name, --price i --vat";
        return false;
    }
    return true;
}

}  // namespace kos
