#include "ArticlesOptions.h"

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
    {"send", {{"--plu", true}, {"--socket", true}, {"--no-server", false}}},
    {"read", {{"--socket", true}, {"--no-server", false}}},
};

bool takeOption(const std::string& name, const std::string& value, const char* const* argv, int& i,
                ArticlesOptions& o, std::string& error) {
    if (name == "--cp1250")
        o.cp1250 = true;
    else if (name == "--skip-duplicates")
        o.skipDuplicates = true;
    else if (name == "--open-price")
        o.openPrice = true;
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
           "  send PLIK.dat [--plu LISTA] [--socket ŚCIEŻKA] [--no-server]\n"
           "      wysyła artykuły (z --plu tylko te z listy) do kasy ecrNr i zapisuje znaczniki\n"
           "  read PLIK.dat [--socket ŚCIEŻKA] [--no-server]\n"
           "      zastępuje artykuły odczytanymi z kasy ecrNr i zapisuje plik\n"
           "opcje:\n"
           "  --cp1250           tekst w stronie kodowej 1250 zamiast UTF-8\n"
           "  --skip-duplicates  artykuł o istniejącej nazwie lub PLU jest pomijany\n"
           "  --open-price       cena otwarta\n"
           "  --socket ŚCIEŻKA   gniazdo sterujące kos-online (domyślnie "
           "$XDG_RUNTIME_DIR/kos-online.sock)\n"
           "  --no-server        bezpośrednio przez port, z pominięciem serwera\n"
           "  --help             ten opis\n";
}

bool parseArticlesOptions(int argc, const char* const* argv, ArticlesOptions& o,
                          std::string& error) {
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            error = "help";
            return false;
        }
    if (argc < 3) {
        error = "Brak polecenia lub nazwy pliku";
        return false;
    }
    o.command = argv[1];
    const auto command = COMMAND_OPTIONS.find(o.command);
    if (command == COMMAND_OPTIONS.end()) {
        error = "Nieznane polecenie " + o.command;
        return false;
    }
    o.file = argv[2];
    const bool takesStream = o.command == "export" || o.command == "import";
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            if (!takesStream || !o.stream.empty()) {
                error = "Nadmiarowy argument: " + arg;
                return false;
            }
            o.stream = arg;
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
