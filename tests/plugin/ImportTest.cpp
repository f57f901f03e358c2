// The import of receipt files: the parameter file, document lines, days, register selection
// and the report.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "PluginHarness.h"

namespace kos::test {
namespace {

using receipt::DAY;
using receipt::end;
using receipt::percentage;
using receipt::sale;

class Import : public ::testing::Test {
protected:
    Import() : plugin(optionsFor(7)) {}
    static hostsim::Options optionsFor(int registerNumber) {
        hostsim::Options options;
        options.registerNumber = registerNumber;
        return options;
    }
    void TearDown() override {
        EXPECT_TRUE(plugin.host().faults.empty()) << plugin.host().faults.front();
        EXPECT_EQ(plugin.host().lockDepth, 0);
    }
    int32_t importDay(int mode, const std::string& unique = "12345") {
        return plugin.import(DAY, DAY, unique, mode);
    }
    int32_t hostCommand() {
        return plugin.host().handlerCalls.empty()
                   ? -1
                   : static_cast<int32_t>(plugin.host().handlerCalls.back().arguments[0]);
    }

    PluginHarness plugin;
};

const std::vector<std::string> TWO_SALES_AND_DISCOUNT = {
    sale("123", "1.50", "2"), sale("00456", "2.00", "1"), percentage(0, "-10"), end(15, 3)};

TEST_F(Import, TwoSalesWithAScopeZeroDiscountByCounters) {
    plugin.writeReceipt("20261207_00001_12345_3_15.txt", TWO_SALES_AND_DISCOUNT);
    EXPECT_EQ(importDay(0), hostsim::HANDLER_RESULT + 2);
    EXPECT_EQ(plugin.parameterFile(),
              "$3\t15\t1\t0\t123\t2.000\t300\n"
              "$3\t15\t2\t0\t00456\t1.000\t180\n");
    EXPECT_TRUE(plugin.host().lines.empty());
    EXPECT_EQ(hostCommand(), 0x3E00);
    EXPECT_TRUE(plugin.receiptFiles().empty());
    EXPECT_EQ(plugin.report(),
              "\nWczytanie danych z dnia:07.12.2026\nZakres wczytanych paragonów:15-15\n");
    EXPECT_EQ(plugin.host().shownFile, "temp.txt");
}

TEST_F(Import, ByReceiptsAppendsOneDocumentLinePerSlot) {
    plugin.writeReceipt("20261207_00001_12345_3_15.txt", TWO_SALES_AND_DISCOUNT);
    importDay(1);
    EXPECT_EQ(documentLines(plugin.host()),
              (std::vector<DocumentLine>{
                  {"..........123", 2000, 30000}, {"..........456", 1000, 18000}, {"", 0, 0}}));
    EXPECT_EQ(plugin.host().documentQuantity, 3000);
    EXPECT_EQ(plugin.host().documentValue, 48000);
    EXPECT_EQ(plugin.host().indexedLines, 3);
    EXPECT_EQ(hostCommand(), 0x3F00);
    EXPECT_EQ(plugin.parameterFile(),
              "$3\t15\t1\t0\t123\t2.000\t300\n"
              "$3\t15\t2\t0\t00456\t1.000\t180\n");
}

TEST_F(Import, SaleAndPercentageArithmetic) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::string parameterFile;
        std::vector<DocumentLine> document;
    };
    const Case cases[] = {
        {"thousandth at price 1",
         {sale("7", "1", "0.001"), end(1, 1)},
         "$1\t1\t1\t0\t7\t0.001\t0\n",
         {{"............7", 1, 10}, {"", 0, 0}}},
        {"scope 0 before any sale changes nothing",
         {percentage(0, "-50"), sale("7", "2", "1"), end(1, 1)},
         "$1\t1\t1\t0\t7\t1.000\t200\n",
         {{"............7", 1000, 20000}, {"", 0, 0}}},
        {"other scope changes every sale so far",
         {sale("1", "1", "1"), sale("2", "3", "2"), percentage(1, "10"), sale("3", "1", "1"),
          end(1, 1)},
         "$1\t1\t1\t0\t1\t1.000\t110\n$1\t1\t2\t0\t2\t2.000\t660\n$1\t1\t3\t0\t3\t1.000\t100\n",
         {{"............1", 1000, 11000},
          {"............2", 2000, 66000},
          {"............3", 1000, 10000},
          {"", 0, 0}}},
        {"negative quantity and cut fractions",
         {sale("9", "1.999", "-1.5"), end(1, 1)},
         "$1\t1\t1\t0\t9\t-1.500\t-300\n",
         {{"............9", -1500, -29985}, {"", 0, 0}}},
        {"exact thousandths",
         {sale("7", "1", "1.001"), sale("8", "2", "1.005"), end(1, 1)},
         "$1\t1\t1\t0\t7\t1.001\t100\n$1\t1\t2\t0\t8\t1.005\t201\n",
         {{"............7", 1001, 10010}, {"............8", 1005, 20100}, {"", 0, 0}}},
        {"exact product, then minus 10 percent on the last sale",
         {sale("9", "1.15", "2.3"), sale("9", "1.15", "2.3"), percentage(0, "-10"), end(1, 1)},
         "$1\t1\t1\t0\t9\t2.300\t264\n$1\t1\t2\t0\t9\t2.300\t238\n",
         {{"............9", 2300, 26450}, {"............9", 2300, 23805}, {"", 0, 0}}},
        {"plus 15 percent with a whole result",
         {sale("5", "0.30", "1"), percentage(1, "15"), end(1, 1)},
         "$1\t1\t1\t0\t5\t1.000\t34\n",
         {{"............5", 1000, 3450}, {"", 0, 0}}},
        {"sale without PLU",
         {sale("", "0", "12.5"), end(1, 1)},
         "$1\t1\t1\t0\t\t12.500\t0\n",
         {{"", 12500, 0}, {"", 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PluginHarness one(optionsFor(3));
        one.writeReceipt("20261207_00001_12345_1_1.txt", c.lines);
        one.import(DAY, DAY, "12345", 1);
        EXPECT_EQ(one.parameterFile(), c.parameterFile);
        EXPECT_EQ(documentLines(one.host()), c.document);
    }
}

TEST_F(Import, CodeFormattingOfDocumentLines) {
    struct Case {
        const char* code;
        const char* document;
        const char* parameter;
    };
    const Case cases[] = {
        {"123", "..........123", "123"},
        {"00123", "..........123", "00123"},
        {"A12", "..........A12", "A12"},
        {" 1 2 ", "...........12", " 1 2 "},
        {"0000000000000", ".............", "0000000000000"},
        {"12345678901234", "12345678901234", "12345678901234"},
        {"00000000000000000123", ".............00", "000000000000000"},
        {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        PluginHarness one(optionsFor(3));
        one.writeReceipt("20261207_00001_12345_1_1.txt", {sale(c.code, "1", "2"), end(1, 1)});
        one.import(DAY, DAY, "12345", 1);
        std::vector<DocumentLine> lines = documentLines(one.host());
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], (DocumentLine{c.document, 2000, 20000}));
        EXPECT_EQ(one.parameterFile(),
                  "$1\t1\t1\t0\t" + std::string(c.parameter) + "\t2.000\t200\n");
    }
}

TEST_F(Import, LinesThatAreNoSalesTakeASlotButLoseNoSale) {
    plugin.writeReceipt("20261207_00001_12345_2_8.txt",
                        {sale("1", "1", "1"), "", "12345;5;1;x;", sale("2", "1", "1"), end(8, 2)});
    importDay(1);
    EXPECT_EQ(documentLines(plugin.host()),
              (std::vector<DocumentLine>{{"............1", 1000, 10000},
                                         {"", 0, 0},
                                         {"", 0, 0},
                                         {"............2", 1000, 10000},
                                         {"", 0, 0}}));
    EXPECT_EQ(plugin.parameterFile(), "$2\t8\t1\t0\t1\t1.000\t100\n$2\t8\t2\t0\t2\t1.000\t100\n");
}

TEST_F(Import, OneNumberFileWritesNothingButIsReported) {
    plugin.writeReceipt("20261207_00004_12345_4.txt", {end(0, 4)});
    importDay(1);
    EXPECT_EQ(plugin.parameterFile(), "");
    EXPECT_EQ(documentLines(plugin.host()), (std::vector<DocumentLine>{{"", 0, 0}}));
    EXPECT_EQ(plugin.report(),
              "\nWczytanie danych z dnia:07.12.2026\nZakres wczytanych paragonów:4-4\n");
    EXPECT_TRUE(plugin.receiptFiles().empty());
}

TEST_F(Import, DayRanges) {
    struct Case {
        const char* from;
        const char* to;
        std::vector<std::string> left;
        int headings;
    };
    const Case cases[] = {
        {"20261207",
         "20261207",
         {"20261206_00001_12345_1_1.txt", "20261208_00001_12345_1_3.txt"},
         1},
        {"20261206", "20261208", {}, 3},
        {"20261208",
         "20261207",
         {"20261206_00001_12345_1_1.txt", "20261207_00001_12345_1_2.txt",
          "20261208_00001_12345_1_3.txt"},
         0},
        {"20261231",
         "20270101",
         {"20261206_00001_12345_1_1.txt", "20261207_00001_12345_1_2.txt",
          "20261208_00001_12345_1_3.txt"},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + "-" + c.to);
        PluginHarness one(optionsFor(3));
        for (const char* name : {"20261206_00001_12345_1_1.txt", "20261207_00001_12345_1_2.txt",
                                 "20261208_00001_12345_1_3.txt"})
            one.writeReceipt(name, {sale("5", "1", "1"), end(name[25] - '0', 1)});
        EXPECT_EQ(one.import(c.from, c.to, "12345", 0), hostsim::HANDLER_RESULT + 2);
        EXPECT_EQ(one.receiptFiles(), c.left);
        std::string report = one.report();
        size_t headings = 0;
        for (size_t at = report.find("Wczytanie"); at != std::string::npos;
             at = report.find("Wczytanie", at + 1))
            ++headings;
        EXPECT_EQ(headings, static_cast<size_t>(c.headings));
        EXPECT_EQ(one.host().handlerCalls.size(), 1u);
    }
}

TEST_F(Import, UniqueNumberSelectsTheRegister) {
    struct Case {
        const char* unique;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"", {}},
        {"ABCDE", {}},
        {"ABCDE12345", {"20261207_00002_99999_1_2.txt"}},
        {"ABCDE99999", {"20261207_00001_12345_1_1.txt"}},
        {"ABCDE4", {"20261207_00001_12345_1_1.txt", "20261207_00002_99999_1_2.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unique);
        PluginHarness one(optionsFor(3));
        one.writeReceipt("20261207_00001_12345_1_1.txt", {end(1, 1)});
        one.writeReceipt("20261207_00002_99999_1_2.txt", {end(2, 1)});
        one.import(DAY, DAY, c.unique, 0);
        EXPECT_EQ(one.receiptFiles(), c.left);
    }
}

TEST_F(Import, ReportListsRunsOfReceiptNumbers) {
    for (int number : {1, 2, 3, 5, 9998, 9999, 10000, 0})
        plugin.writeReceipt("20261207_0" + std::to_string(10000 + number).substr(1) + "_12345_1_" +
                                std::to_string(number) + ".txt",
                            {sale("1", "1", "1"), end(number, 1)});
    importDay(0);
    EXPECT_EQ(plugin.report(),
              "\nWczytanie danych z dnia:07.12.2026\n"
              "Zakres wczytanych paragonów:1-3\n"
              "Zakres wczytanych paragonów:5-5\n"
              "Zakres wczytanych paragonów:9998-9999\n");
    EXPECT_TRUE(plugin.receiptFiles().empty());
    // 0 and 10000 are imported although not reported.
    EXPECT_NE(plugin.parameterFile().find("$1\t10000\t1\t"), std::string::npos);
    EXPECT_NE(plugin.parameterFile().find("$1\t0\t1\t"), std::string::npos);
}

TEST_F(Import, CancelLeavesEverythingButTheReport) {
    writeFile(plugin.path("temp.txt"), "old report");
    plugin.writeReceipt("20261207_00001_12345_3_15.txt", TWO_SALES_AND_DISCOUNT);
    plugin.options().cancelDialog = true;
    EXPECT_EQ(importDay(1), 0);
    EXPECT_TRUE(plugin.host().handlerCalls.empty());
    EXPECT_EQ(plugin.receiptFiles().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(plugin.path("temp.txt")));
    EXPECT_FALSE(std::filesystem::exists(plugin.path("Kasa7.par")));
    EXPECT_EQ(readFile(plugin.path("host.ini")), "");
}

TEST_F(Import, ConfigurationEntryIsOfferedNextTime) {
    importDay(1, "QWERTY7");
    EXPECT_EQ(readFile(plugin.path("host.ini")), "[Tabela7]\nNrUnikat=QWERTY7,1\n");
    plugin.writeReceipt("20261207_00001_Y7_3_15.txt", TWO_SALES_AND_DISCOUNT);
    plugin.options().uniqueNumber.clear();
    plugin.options().readMode = -1;
    plugin.host().sendCommand(2, 0x3E00);
    EXPECT_EQ(hostCommand(), 0x3F00);
    EXPECT_EQ(plugin.host().lines.size(), 3u);
    EXPECT_TRUE(plugin.receiptFiles().empty());
}

TEST_F(Import, DialogTemplate) {
    importDay(0);
    ASSERT_EQ(plugin.host().dialogTitles.size(), 1u);
    EXPECT_EQ(plugin.host().dialogTitles[0], toMazovia("Wprowadź"));
}

}  // namespace
}  // namespace kos::test
