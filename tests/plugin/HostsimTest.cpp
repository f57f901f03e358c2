// hostsim as a program: its options make the hosts the plug-in must refuse or survive, and its
// printout shows what the plug-in did.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "PluginHarness.h"

namespace kos::test {
namespace {

struct ProgramRun {
    int status;
    std::string output;
};

ProgramRun hostsim(const TempDir& dir, const std::string& arguments,
                   const std::string& program = KOS_BINARY_DIR "/tools/hostsim/hostsim") {
    std::string command =
        "cd '" + dir.path() + "' && HOME='" + dir.path() + "' '" + program + "' " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    ProgramRun run{-1, ""};
    if (!pipe)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

void writeEdgeReceipts(const TempDir& dir) {
    std::filesystem::create_directory(dir.file("TarvelSerwer"));
    writeFile(dir.file("TarvelSerwer/20261207_00001_12345_3_15.txt"),
              "12345;1;0;123;1.50;2;\r\n12345;2;0;00456;2.00;1;\r\n12345;3;2;0;0;-10;\r\n"
              "12345;4;3;1;0;0;0;0;15;3;0;0;0;0;0;0;0;0;0;0;\r\n");
    writeFile(dir.file("TarvelSerwer/20261207_00002_12345_3.txt"),
              "12345;5;3;6;0;0;0;0;0;3;0;0;0;0;0;0;0;0;0;0;\r\n");
}

TEST(Hostsim, ImportsTheEdgeCaseFilesByReceipts) {
    TempDir dir;
    writeEdgeReceipts(dir);
    ProgramRun run =
        hostsim(dir, "--register 7 --from 20261207 --to 20261207 --unique ABCDE12345 --mode 1");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "plug-in: Odczyt On-Line z TarvelSerwer\n"
              "DLLMain: 0\n"
              "handler result: 1794\n"
              "host handler of table 2: command 0x3F00\n"
              "document lines: 4\n"
              "1\t\"..........123\"\t2000\t30000\n"
              "2\t\"..........456\"\t1000\t18000\n"
              "3\t\"\"\t0\t0\n"
              "4\t\"\"\t0\t0\n"
              "document sums: 3000 48000\n"
              "Kasa7.par:\n"
              "$3\t15\t1\t0\t123\t2.000\t300\n"
              "$3\t15\t2\t0\t00456\t1.000\t180\n"
              "temp.txt:\n"
              "\nWczytanie danych z dnia:07.12.2026\n"
              "Zakres wczytanych paragonów:3-3\n"
              "Zakres wczytanych paragonów:15-15\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("TarvelSerwer")));
    EXPECT_EQ(readFile(dir.file("hostsim.ini")), "[Tabela7]\nNrUnikat=ABCDE12345,1\n");
}

TEST(Hostsim, HostsThePluginRefusesOrSurvives) {
    struct Case {
        const char* arguments;
        int status;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"--old-host", 1, {"DLLMain: -1", "error box: Ta wersja programu Mercato nie obsługuje"}},
        {"--no-capability", 1, {"DLLMain: -1", "error box: Ta wersja"}},
        {"--record-length 2=120 --layout-mark 2=0",
         1,
         {"error box: Potrzebna jest nowa wtyczka - zmienił się"}},
        {"--record-length 1=120 --layout-mark 1=3", 1, {"error box: Potrzebna jest nowa"}},
        {"--record-length 2=120 --from 20261207 --to 20261207 --mode 1",
         0,
         {"DLLMain: 0", "document lines: 4"}},
        {"--no-table2", 0, {"DLLMain: 0\ndocument lines: 0"}},
        {"--cancel", 0, {"handler result: 0\ndocument lines: 0"}},
        {"--lack _GetKasaNumer@4 --from 20261207 --to 20261207",
         0,
         {"message box: Poważny błąd wtyczki\nW module \x02", "brak wpisu \x02_GetKasaNumer@4",
          "Kasa0.par:\n$3\t15\t1\t0\t123\t2.000\t300\n", "command 0x3E00"}},
        {"--lack _messageBox@12 --lack _ViewFile@4 --system-box retry,ignore",
         0,
         {"system box: Powazny blad wtyczki\nW module", "brak wpisu \x02_messageBox@12"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        TempDir dir;
        writeEdgeReceipts(dir);
        ProgramRun run = hostsim(dir, c.arguments);
        EXPECT_EQ(run.status, c.status) << run.output;
        for (const std::string& text : c.shown)
            EXPECT_NE(run.output.find(text), std::string::npos) << run.output;
    }
}

TEST(Hostsim, MissingFunctionTextShortensALongProgramPath) {
    TempDir dir;
    std::string deep = dir.path();
    while (deep.size() < 400)
        deep += "/folder_of_a_long_installation_path";
    std::filesystem::create_directories(deep);
    std::filesystem::copy_file(KOS_BINARY_DIR "/tools/hostsim/hostsim", deep + "/hostsim");
    std::filesystem::permissions(deep + "/hostsim", std::filesystem::perms::owner_all);
    ProgramRun run = hostsim(dir, "--lack _ViewFile@4", deep + "/hostsim");
    EXPECT_EQ(run.status, 0);
    size_t start = run.output.find("W module \x02");
    size_t stop = run.output.find("programu!", start);
    ASSERT_NE(start, std::string::npos);
    ASSERT_NE(stop, std::string::npos);
    std::string text = toMazovia(run.output.substr(start, stop + 9 - start));
    EXPECT_LE(text.size(), 503u);
    EXPECT_NE(text.find("\x02..."), std::string::npos);
    EXPECT_NE(text.find("_installation_path/hostsim\x01\nbrak wpisu \x02_ViewFile@4\x01"),
              std::string::npos);
}

}  // namespace
}  // namespace kos::test
