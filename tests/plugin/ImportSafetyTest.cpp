// A receipt file leaves the receipt directory only when all its sales reached the host; none is
// counted twice.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <random>

#include "PluginHarness.h"

namespace kos::test {
namespace {

using receipt::DAY;
using receipt::end;
using receipt::NAME;
using receipt::sale;
using receipt::TWO_SALES;
using receipt::TWO_SALES_LINES;

std::string reportFor(const std::string& problem) {
    return "\nWczytanie danych z dnia:07.12.2026\n" + problem + "\n";
}

TEST(ImportSafety, FileThatCannotBeOpenedOrReadStays) {
    struct Case {
        const char* what;
        std::string problem;
    };
    for (const Case& c :
         {Case{"dangling link",
               "Nie można otworzyć pliku " + std::string(NAME) + " - plik pozostawiono."},
          Case{"directory", "Błąd odczytu pliku " + std::string(NAME) + " - plik pozostawiono."}}) {
        SCOPED_TRACE(c.what);
        PluginHarness plugin(registerSeven());
        std::string path = plugin.receiptDir() + "/" + NAME;
        if (std::string(c.what) == "directory")
            std::filesystem::create_directory(path);
        else
            std::filesystem::create_symlink(plugin.receiptDir() + "/gone", path);
        plugin.import(DAY, DAY, "12345", 1);
        EXPECT_TRUE(plugin.receiptExists(NAME));
        EXPECT_EQ(plugin.report(), reportFor(c.problem));
        EXPECT_TRUE(plugin.host().lines.empty());
        EXPECT_EQ(plugin.host().lockDepth, 0);
        EXPECT_TRUE(plugin.host().faults.empty());
    }
}

TEST(ImportSafety, SalesThatCannotBeWrittenKeepTheFileForTheNextImport) {
    PluginHarness plugin(registerSeven());
    plugin.writeReceipt(NAME, TWO_SALES);
    std::filesystem::create_directory(plugin.path("Kasa7.par"));
    plugin.import(DAY, DAY, "12345", 1);
    EXPECT_TRUE(plugin.receiptExists(NAME));
    EXPECT_TRUE(plugin.host().lines.empty());
    EXPECT_EQ(plugin.report(), reportFor("Nie można zapisać sprzedaży z pliku " +
                                         std::string(NAME) + " do Kasa7.par - plik pozostawiono."));

    std::filesystem::remove(plugin.path("Kasa7.par"));
    plugin.import(DAY, DAY, "12345", 1);
    EXPECT_FALSE(plugin.receiptExists(NAME));
    EXPECT_EQ(plugin.parameterFile(), TWO_SALES_LINES);
    EXPECT_EQ(plugin.host().lines.size(), 3u);
    EXPECT_TRUE(plugin.host().faults.empty());
}

TEST(ImportSafety, FailedWriteLeavesNoHalfReceiptInTheParameterFile) {
    PluginHarness plugin(registerSeven());
    plugin.writeReceipt(NAME, TWO_SALES);
    const std::string earlier = "$1\t1\t1\t0\t5\t1.000\t100\n";
    writeFile(plugin.path("Kasa7.par"), earlier);

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = earlier.size() + 10;  // room for part of the first line only
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    plugin.import(DAY, DAY, "12345", 0);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(plugin.parameterFile(), earlier);
    EXPECT_TRUE(plugin.receiptExists(NAME));
    plugin.import(DAY, DAY, "12345", 0);
    EXPECT_EQ(plugin.parameterFile(), earlier + TWO_SALES_LINES);
    EXPECT_FALSE(plugin.receiptExists(NAME));
}

TEST(ImportSafety, FileWithMoreThan300SlotsStays) {
    for (int sales : {299, 300}) {
        SCOPED_TRACE(sales);
        PluginHarness plugin(registerSeven());
        std::vector<std::string> lines(static_cast<size_t>(sales), sale("1", "1", "1"));
        lines.push_back(end(15, 3));
        plugin.writeReceipt(NAME, lines);
        plugin.import(DAY, DAY, "12345", 1);
        if (sales == 299) {
            EXPECT_FALSE(plugin.receiptExists(NAME));
            EXPECT_EQ(plugin.host().lines.size(), 300u);
            EXPECT_EQ(plugin.host().documentQuantity, 299000);
            std::string written = plugin.parameterFile();
            EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 299);
        } else {
            EXPECT_TRUE(plugin.receiptExists(NAME));
            EXPECT_TRUE(plugin.host().lines.empty());
            EXPECT_EQ(plugin.parameterFile(), "");
            EXPECT_EQ(
                plugin.report(),
                reportFor("Plik " + std::string(NAME) +
                          " ma więcej niż 300 pozycji - nie wczytano go, plik pozostawiono."));
        }
    }
}

// A receipt still being written by the online server has no end line yet.
TEST(ImportSafety, FileWithoutReceiptEndStaysUntilTheReceiptIsComplete) {
    for (const std::vector<std::string>& partial :
         {std::vector<std::string>{}, std::vector<std::string>{sale("11", "2", "1")},
          std::vector<std::string>{sale("11", "2", "1"), sale("22", "3", "2"), end(15, 3),
                                   sale("11", "2", "1")}}) {
        SCOPED_TRACE(partial.size());
        PluginHarness plugin(registerSeven());
        plugin.writeReceipt(NAME, partial);
        plugin.import(DAY, DAY, "12345", 1);
        EXPECT_TRUE(plugin.receiptExists(NAME));
        EXPECT_EQ(plugin.parameterFile(), "");
        EXPECT_TRUE(plugin.host().lines.empty());
        EXPECT_EQ(plugin.report(),
                  reportFor("Plik " + std::string(NAME) +
                            " nie kończy się końcem paragonu - nie wczytano go, plik "
                            "pozostawiono."));
    }
    PluginHarness plugin(registerSeven());
    plugin.writeReceipt(NAME, {sale("11", "2", "1"), sale("22", "3", "2")});
    plugin.import(DAY, DAY, "12345", 0);
    plugin.writeReceipt(NAME, TWO_SALES);
    plugin.import(DAY, DAY, "12345", 0);
    EXPECT_FALSE(plugin.receiptExists(NAME));
    EXPECT_EQ(plugin.parameterFile(), TWO_SALES_LINES);
}

// A frame carries up to 256 characters and the online server writes them unchanged; the reader
// keeps 255 of them, and the rest of the line must not turn into a line of its own.
TEST(ImportSafety, LinesOf255CharactersAndMoreAreReadAsOneLine) {
    // The line with a last field of 'x' that makes it exactly length characters long.
    auto padded = [](const std::string& line, size_t length) {
        return line + std::string(length - line.size() - 1, 'x') + ";";
    };
    const std::string shortSale = sale("11", "2", "1");
    const std::string shortEnd = end(15, 3);
    for (size_t length : {size_t(254), size_t(255), size_t(256), size_t(300), size_t(600)}) {
        for (bool longEnd : {false, true}) {
            SCOPED_TRACE(::testing::Message() << length << (longEnd ? " end" : " sale"));
            PluginHarness plugin(registerSeven());
            plugin.writeReceipt(NAME, {longEnd ? shortSale : padded(shortSale, length),
                                       longEnd ? padded(shortEnd, length) : shortEnd});
            plugin.import(DAY, DAY, "12345", 1);
            EXPECT_FALSE(plugin.receiptExists(NAME));
            EXPECT_EQ(plugin.parameterFile(), "$3\t15\t1\t0\t11\t1.000\t200\n");
            EXPECT_EQ(plugin.host().lines.size(), 2u);
            EXPECT_EQ(plugin.report(),
                      "\nWczytanie danych z dnia:07.12.2026\nZakres wczytanych paragonów:15-15\n");
        }
    }
}

TEST(ImportSafety, FileWithTheSameReceiptTwiceImportsEverySaleOnce) {
    PluginHarness plugin(registerSeven());
    plugin.writeReceipt(NAME, {sale("11", "2", "1"), sale("22", "3", "2"), end(15, 3),
                               sale("33", "1", "4"), receipt::percentage(1, "50"), end(15, 3)});
    plugin.import(DAY, DAY, "12345", 1);
    EXPECT_EQ(plugin.parameterFile(), TWO_SALES_LINES + "$3\t15\t3\t0\t33\t4.000\t600\n");
    EXPECT_EQ(plugin.host().lines.size(), 5u);
    EXPECT_EQ(plugin.host().documentQuantity, 7000);
    EXPECT_EQ(plugin.host().documentValue, 80000 + 60000);
}

TEST(ImportSafety, HostRecordOfAnotherLengthIsNeverOverrun) {
    for (uint16_t length : {uint16_t(60), uint16_t(100), uint16_t(200)}) {
        SCOPED_TRACE(length);
        hostsim::Options options = registerSeven();
        options.recordLength[2] = length;
        PluginHarness plugin(options);
        plugin.writeReceipt(NAME, TWO_SALES);
        EXPECT_EQ(plugin.import(DAY, DAY, "12345", 1), hostsim::HANDLER_RESULT + 2);
        EXPECT_TRUE(plugin.host().guardIntact());
        ASSERT_EQ(plugin.host().lines.size(), 3u);
        for (const auto& line : plugin.host().lines) {
            ASSERT_EQ(line.size(), length);
            for (size_t i = 113; i < line.size(); ++i)
                EXPECT_EQ(line[i], 0) << "byte " << i;
        }
        EXPECT_EQ(plugin.parameterFile(), TWO_SALES_LINES);
        EXPECT_TRUE(plugin.host().faults.empty());
    }
}

TEST(ImportSafety, DatesThatDoNotAdvanceEndTheDayLoop) {
    PluginHarness undated(registerSeven());
    undated.writeReceipt(NAME, TWO_SALES);
    EXPECT_EQ(undated.import("", "", "12345", 0), hostsim::HANDLER_RESULT + 2);
    EXPECT_TRUE(undated.receiptExists(NAME));

    hostsim::Options options = registerSeven();
    options.missing = {"__newDate@8"};
    PluginHarness stuck(options);
    stuck.writeReceipt(NAME, TWO_SALES);
    EXPECT_EQ(stuck.import(DAY, "20261209", "12345", 0), hostsim::HANDLER_RESULT + 2);
    EXPECT_FALSE(stuck.receiptExists(NAME));
    EXPECT_EQ(stuck.parameterFile(), TWO_SALES_LINES);
}

// Many receipts over several days, imported in overlapping ranges: every sale arrives once.
TEST(ImportSafety, NoReceiptIsLostOrCountedTwice) {
    PluginHarness plugin(registerSeven());
    std::mt19937 random(7);
    std::map<std::string, int> expected;  // "receipt code" -> quantity
    int fileNumber = 0;
    for (const char* day : {"20261206", "20261207", "20261208"}) {
        for (int receiptNumber = 1; receiptNumber <= 40; ++receiptNumber) {
            std::vector<std::string> lines;
            int sales = 1 + static_cast<int>(random() % 5);
            for (int s = 0; s < sales; ++s) {
                int quantity = 1 + static_cast<int>(random() % 9);
                std::string code = std::to_string(100 + s);
                lines.push_back(sale(code, "1", std::to_string(quantity)));
                expected[std::string(day) + "/" + std::to_string(receiptNumber) + " " + code] +=
                    quantity;
            }
            lines.push_back(end(receiptNumber, 1));
            char name[64];
            std::snprintf(name, sizeof(name), "%s_%05d_12345_1_%d.txt", day, ++fileNumber,
                          receiptNumber);
            plugin.writeReceipt(name, lines);
        }
        // Days overlap: the second range repeats the first's days.
        plugin.import("20261206", day, "12345", 1);
    }
    EXPECT_TRUE(plugin.receiptFiles().empty());

    // The parameter file does not name the day; count per receipt number and code.
    std::map<std::string, int> found;
    std::istringstream lines(plugin.parameterFile());
    int total = 0;
    for (std::string line; std::getline(lines, line);) {
        int series, number, ordinal, zero;
        char code[32];
        double quantity;
        ASSERT_EQ(std::sscanf(line.c_str(), "$%d\t%d\t%d\t%d\t%31s\t%lf", &series, &number,
                              &ordinal, &zero, code, &quantity),
                  6);
        found[std::to_string(number) + " " + code] += static_cast<int>(quantity);
        total += static_cast<int>(quantity);
    }
    std::map<std::string, int> expectedPerNumber;
    int expectedTotal = 0;
    for (const auto& [key, quantity] : expected) {
        expectedPerNumber[key.substr(key.find('/') + 1)] += quantity;
        expectedTotal += quantity;
    }
    EXPECT_EQ(found, expectedPerNumber);
    EXPECT_EQ(total, expectedTotal);
    EXPECT_EQ(plugin.host().documentQuantity, expectedTotal * 1000);
    EXPECT_TRUE(plugin.host().faults.empty());
}

}  // namespace
}  // namespace kos::test
