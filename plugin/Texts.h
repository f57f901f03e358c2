// Texts of the plug-in as a person reads them (UTF-8); what goes to the host is Mazovia.
#pragma once

namespace tarvel::text {

inline constexpr const char* TITLE = "Odczyt On-Line z TarvelSerwer";
inline constexpr const char* HOST_TOO_OLD = "Ta wersja programu Mercato nie obsługuje tej wtyczki!";
inline constexpr const char* NEW_PLUGIN_NEEDED =
    "Potrzebna jest nowa wtyczka - zmienił się rozmiar rekordów!";
inline constexpr const char* MISSING_FUNCTION_TITLE = "Poważny błąd wtyczki";
inline constexpr const char* MISSING_FUNCTION_SYSTEM_TITLE = "Powazny blad wtyczki";
// \x02 and \x01 switch emphasis on and off.
inline constexpr const char* MISSING_FUNCTION =
    "W module \x02%s\x01\nbrak wpisu \x02%s\x01\nWywołano z wtyczki \x02%s\x01.\n\n"
    "Błąd ten można zignorować lecz dalsza praca\nprogramu w tych warunkach może być "
    "niebezpieczna.\n\nKonieczna jest aktualizacja programu!";
inline constexpr const char* UNKNOWN_MODULE = "<nieznany>";

inline constexpr const char* DAY_HEADING = "\nWczytanie danych z dnia:%s";
inline constexpr const char* RECEIPT_RANGE = "Zakres wczytanych paragonów:%d-%d";
inline constexpr const char* FILE_NOT_OPENED = "Nie można otworzyć pliku %s - plik pozostawiono.";
inline constexpr const char* FILE_NOT_READ = "Błąd odczytu pliku %s - plik pozostawiono.";
inline constexpr const char* FILE_TOO_LONG =
    "Plik %s ma więcej niż 300 pozycji - nie wczytano go, plik pozostawiono.";
inline constexpr const char* FILE_INCOMPLETE =
    "Plik %s nie kończy się końcem paragonu - nie wczytano go, plik pozostawiono.";
inline constexpr const char* SALES_NOT_WRITTEN =
    "Nie można zapisać sprzedaży z pliku %s do %s - plik pozostawiono.";
inline constexpr const char* FILE_NOT_DELETED = "Nie można usunąć wczytanego pliku %s!";

inline constexpr const char* DIALOG_TITLE = "Wprowadź";
inline constexpr const char* DIALOG_FROM = "~O~d:";
inline constexpr const char* DIALOG_TO = "D~o~:";
inline constexpr const char* DIALOG_UNIQUE = "~N~r unikatowy kasy:";
inline constexpr const char* DIALOG_BY_COUNTERS = "Odczy~t~ na podst. liczników sprzedaży";
inline constexpr const char* DIALOG_BY_RECEIPTS = "Odczyt na podst. pa~r~agonów";
inline constexpr const char* DIALOG_OK =
    "\x02"
    "F12\x01 OK";

}  // namespace tarvel::text
