// hostsim: the host's side of libtarvel.so for tests and demonstrations. Loads the plug-in,
// starts it, sends one table command to the document-lines table, shuts the plug-in down and
// prints the document lines, the parameter file and the report (Mazovia shown as UTF-8).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "HostSim.h"
#include "Library.h"
#include "base/Version.h"
#include "plugin/Mazovia.h"

#ifndef TARVEL_LIBRARY
#define TARVEL_LIBRARY "libtarvel.so"
#endif

namespace {

const char* USAGE =
    "usage: hostsim [options]\n"
    "  --library PATH        the plug-in (default: the one installed or built with hostsim)\n"
    "  --register N          register number of the sales document (default 1)\n"
    "  --from YYYYMMDD       import dialog: from-date\n"
    "  --to YYYYMMDD         import dialog: to-date\n"
    "  --unique TEXT         import dialog: the register's unique number\n"
    "  --mode 0|1            import dialog: read by sales counters (0) or by receipts (1)\n"
    "  --cancel              the user cancels the import dialog\n"
    "  --ini PATH            the host's configuration file (default hostsim.ini)\n"
    "  --command HEX         table command to send (default 3E00)\n"
    "  --old-host            a host built on 21 October 2003\n"
    "  --build-date DATE     the host's build date, \"Mmm DD YYYY\"\n"
    "  --no-capability       capability bit 0 clear\n"
    "  --no-table1, --no-table2   the host lacks that table\n"
    "  --record-length T=LEN, --layout-mark T=MARK   the descriptor of table T\n"
    "  --lack NAME           the host lacks that function (repeatable)\n"
    "  --abort-missing       answer Abort in the missing-function dialog (default Ignore)\n"
    "  --system-box LIST     answers of the system message box: abort,retry,ignore,...\n"
    "  --version             print the version\n"
    "  --help                this text\n";

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The "Kasa%d.par" files in the current folder, in name order.
std::vector<std::string> parameterFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        std::string name = entry.path().filename().string();
        if (name.size() > 8 && name.compare(0, 4, "Kasa") == 0 &&
            name.compare(name.size() - 4, 4, ".par") == 0)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The plug-in installed beside this program (TARVEL_INSTALLED_LIBRARY, relative to the program's
// folder) when it is there, else the one built with it.
std::string defaultLibrary() {
#ifdef TARVEL_INSTALLED_LIBRARY
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path installed = self.parent_path() / TARVEL_INSTALLED_LIBRARY;
        if (std::filesystem::exists(installed, error))
            return installed.lexically_normal().string();
    }
#endif
    return TARVEL_LIBRARY;
}

bool tablePair(const char* text, int& table, int& value) {
    return std::sscanf(text, "%d=%d", &table, &value) == 2 && (table == 1 || table == 2);
}

bool parseOptions(int argc, char** argv, hostsim::Options& options, std::string& library,
                  int32_t& command) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        int table = 0, number = 0;
        if (option == "--cancel") {
            options.cancelDialog = true;
        } else if (option == "--old-host") {
            options.buildDate = "Oct 21 2003";
        } else if (option == "--no-capability") {
            options.capabilities = 0;
        } else if (option == "--no-table1" || option == "--no-table2") {
            options.hasTable[option == "--no-table1" ? 1 : 2] = false;
        } else if (option == "--abort-missing") {
            options.ignoreMissing = false;
        } else if (const char* text = value()) {
            if (option == "--library") {
                library = text;
            } else if (option == "--register") {
                options.registerNumber = std::atoi(text);
            } else if (option == "--from") {
                options.fromDate = text;
            } else if (option == "--to") {
                options.toDate = text;
            } else if (option == "--unique") {
                options.uniqueNumber = text;
            } else if (option == "--mode") {
                options.readMode = std::atoi(text);
            } else if (option == "--ini") {
                options.iniPath = text;
            } else if (option == "--command") {
                command = static_cast<int32_t>(std::strtol(text, nullptr, 16));
            } else if (option == "--build-date") {
                options.buildDate = text;
            } else if (option == "--record-length" && tablePair(text, table, number)) {
                options.recordLength[table] = static_cast<uint16_t>(number);
            } else if (option == "--layout-mark" && tablePair(text, table, number)) {
                options.layoutMark[table] = static_cast<uint16_t>(number);
            } else if (option == "--lack") {
                options.missing.insert(text);
            } else if (option == "--system-box") {
                std::stringstream answers(text);
                for (std::string answer; std::getline(answers, answer, ',');)
                    options.systemBoxAnswers.push_back(answer == "retry"    ? 4
                                                       : answer == "ignore" ? 5
                                                                            : 3);
            } else {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

void printDocument(const hostsim::HostSim& host) {
    std::printf("document lines: %zu\n", host.lines.size());
    for (size_t i = 0; i < host.lines.size(); ++i) {
        const auto& line = host.lines[i];
        if (line.size() < tarvel::SALES_LINE_VALUE + 4) {
            std::printf("%zu\t(record of %zu bytes)\n", i + 1, line.size());
            continue;
        }
        std::string code(
            reinterpret_cast<const char*>(line.data() + tarvel::SALES_LINE_CODE),
            strnlen(reinterpret_cast<const char*>(line.data()) + tarvel::SALES_LINE_CODE,
                    tarvel::SALES_LINE_CODE_SIZE));
        int32_t quantity, value;
        std::memcpy(&quantity, line.data() + tarvel::SALES_LINE_QUANTITY, 4);
        std::memcpy(&value, line.data() + tarvel::SALES_LINE_VALUE, 4);
        std::printf("%zu\t\"%s\"\t%d\t%d\n", i + 1, code.c_str(), quantity, value);
    }
    std::printf("document sums: %lld %lld\n", static_cast<long long>(host.documentQuantity),
                static_cast<long long>(host.documentValue));
}

void printBoxes(const hostsim::HostSim& host) {
    for (const std::string& text : host.errorBoxes)
        std::printf("error box: %s\n", tarvel::fromMazovia(text).c_str());
    for (const hostsim::Box& box : host.messageBoxes)
        std::printf("message box: %s\n%s\n", tarvel::fromMazovia(box.title).c_str(),
                    tarvel::fromMazovia(box.text).c_str());
    for (const hostsim::Box& box : host.systemBoxes)
        std::printf("system box: %s\n%s\n", box.title.c_str(),
                    tarvel::fromMazovia(box.text).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (kos::askedForVersion(argc, argv)) {
        std::printf("hostsim %s\n", kos::VERSION_TEXT);
        return 0;
    }
    if (std::find_if(argv + 1, argv + argc,
                     [](const char* a) { return std::strcmp(a, "--help") == 0; }) != argv + argc) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    hostsim::Options options;
    std::string libraryPath = defaultLibrary();
    int32_t command = tarvel::COMMAND_READ_SALES;
    if (!parseOptions(argc, argv, options, libraryPath, command)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    hostsim::HostSim host(options);
    hostsim::Library library(libraryPath);
    if (!library.loaded()) {
        std::fprintf(stderr, "hostsim: %s\n", library.error().c_str());
        return 2;
    }

    char title[64] = {};
    int32_t started = library.dllMain(hostsim::HostSim::callback(), title);
    std::printf("plug-in: %s\nDLLMain: %d\n", title, started);
    if (started == 0 && options.hasTable[2]) {
        int32_t result = host.sendCommand(2, command);
        std::printf("handler result: %d\n", result);
        for (const hostsim::HandlerCall& call : host.handlerCalls)
            std::printf("host handler of table %d: command 0x%X\n", call.table,
                        static_cast<unsigned>(call.arguments[0]));
    }
    library.dllMain(nullptr, nullptr);
    for (int table = 1; table <= 2; ++table)
        if (host.table(table).handler != host.ownHandler(table))
            host.fault("the handler of table " + std::to_string(table) + " was not restored");
    if (!host.guardIntact())
        host.fault("the plug-in wrote past a table's record buffer");

    printBoxes(host);
    printDocument(host);
    for (const std::string& parameterFile : parameterFiles())
        std::printf("%s:\n%s", parameterFile.c_str(), readAll(parameterFile).c_str());
    if (!host.shownFile.empty())
        std::printf("%s:\n%s", host.shownFile.c_str(),
                    tarvel::fromMazovia(host.shownReport).c_str());
    for (const std::string& fault : host.faults)
        std::fprintf(stderr, "hostsim: %s\n", fault.c_str());
    if (!host.faults.empty())
        return 3;
    return started == 0 ? 0 : 1;
}
