// The register's answers to the PC's commands, and its article-table file.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "CommandLine.h"
#include "SimRegister.h"
#include "support/TempDir.h"

namespace kos {
namespace {

using ecrsim::SimRegister;

struct Exchange {
    std::string request;
    std::optional<std::string> answer;
};

void run(SimRegister& reg, const std::vector<Exchange>& script) {
    for (const Exchange& e : script) {
        SCOPED_TRACE(e.request);
        EXPECT_EQ(reg.answer(e.request), e.answer);
    }
}

TEST(SimRegisterTest, ArticleTableThroughCommands) {
    SimRegister reg(1, "200001");
    reg.refusedPlus = {"00000000000077"};
    run(reg, {
                 {"W38;1;1;", "D"},
                 {"W0;00000000000012;MLEKO;1;250;0;", "D"},
                 {"W0;00000000000100;MAS)O;7;699;1;", "D"},
                 {"W0;00000000000077;SOL;1;100;0;", "E"},                  // refused by option
                 {"W0;00000000000000;ZERO;1;100;0;", "E"},                 // no such code
                 {"W0;12;SHORT;1;100;0;", "E"},                            // not 14 digits
                 {"W0;00000000000013;;1;100;0;", "E"},                     // empty name
                 {"W0;00000000000013;X;8;100;0;", "E"},                    // no rate H
                 {"W0;00000000000013;X;1;1.00;0;", "E"},                   // price in hundredths
                 {"W0;00000000000013;X;1;100;2;", "E"},                    // open price 0 or 1
                 {"W0;00000000000013;X;1;100;0", "E"},                     // last ';' missing
                 {"W0;00000000000013;ABCDEFGHIJKLMNOPQRSTU;1;1;0;", "E"},  // 21 characters
                 {"I0;1;", "0;00000000000012;MLEKO;1;2.50;0;0.000;0.00;"},
                 {"G", "0;00000000000100;MAS)O;7;6.99;1;0.000;0.00;"},
                 {"G", "D"},
                 {"I0;00000000000013;", "0;00000000000100;MAS)O;7;6.99;1;0.000;0.00;"},
                 {"S", std::nullopt},
                 {"G", "D"},  // the listing was stopped
                 {"C0;00000000000012;", "D"},
                 {"C0;00000000000012;", "E"},
                 {"I0;1;", "0;00000000000100;MAS)O;7;6.99;1;0.000;0.00;"},
             });
    EXPECT_EQ(reg.settings.at("1"), "1");
}

TEST(SimRegisterTest, HeaderCountersAndUnknownCommands) {
    SimRegister reg(1, "200001");
    reg.articles["00000000000012"] = {"00000000000012", "MLEKO", 1, 250, 0, 1500, 375};
    run(reg, {
                 {"W6;2;UL. ^WI(TA 1;", "D"},
                 {"R6;2;", "6;2;UL. ^WI(TA 1;"},
                 {"W6;6;X;", "E"},
                 {"R6;0;", "E"},
                 {"I0;12;", "0;00000000000012;MLEKO;1;2.50;0;1.500;3.75;"},
                 {"B;", "D"},
                 {"I0;12;", "0;00000000000012;MLEKO;1;2.50;0;0.000;0.00;"},
                 {"X;", "E"},
                 {"", "E"},
                 {"W38;", "E"},
             });
    EXPECT_EQ(reg.countersZeroed, 1);
}

TEST(SimRegisterTest, ArticleFileAndCommandLine) {
    test::TempDir dir;
    test::writeFile(dir.file("a.txt"), "# table\n12;MLEKO;1;250\n\n100;MAS)O;2;699;1;2000;1398\n");
    std::vector<ecrsim::SimArticle> articles;
    std::string error;
    ASSERT_TRUE(ecrsim::loadArticles(dir.file("a.txt"), articles, error)) << error;
    ASSERT_EQ(articles.size(), 2u);
    EXPECT_EQ(articles[0].plu, "00000000000012");
    EXPECT_EQ(articles[1].quantity, 2000);
    EXPECT_EQ(articles[1].openPrice, 1);

    for (const char* bad :
         {"12;MLEKO;8;250\n", "0;ZERO;1;1\n", "12;;1;250\n", "12;X;1\n", "12;X;1;2.50\n"}) {
        test::writeFile(dir.file("bad.txt"), bad);
        articles.clear();
        EXPECT_FALSE(ecrsim::loadArticles(dir.file("bad.txt"), articles, error)) << bad;
        EXPECT_NE(error.find("bad.txt:1"), std::string::npos);
    }

    ecrsim::SimOptions options;
    const char* argv[] = {"ecrsim",     "--registers", "1,7,99",    "--refuse", "12",
                          "--lose-ack", "3",           "--corrupt", "5"};
    ASSERT_TRUE(ecrsim::parseCommandLine(9, argv, options, error)) << error;
    EXPECT_EQ(options.registers, (std::vector<int>{1, 7, 99}));
    EXPECT_EQ(options.refusedPlus, (std::vector<std::string>{"00000000000012"}));
    EXPECT_EQ(options.faults.loseAckEvery, 3);
    EXPECT_EQ(options.faults.corruptEvery, 5);
    EXPECT_FALSE(options.articles.empty());  // the sample table

    for (std::vector<const char*> bad : {std::vector<const char*>{"ecrsim", "--registers", "100"},
                                         {"ecrsim", "--registers", "1,x"},
                                         {"ecrsim", "--corrupt"},
                                         {"ecrsim", "--bogus", "1"},
                                         {"ecrsim", "--refuse", "0"},
                                         {"ecrsim", "--silent", "-1"}}) {
        ecrsim::SimOptions o;
        EXPECT_FALSE(ecrsim::parseCommandLine(static_cast<int>(bad.size()), bad.data(), o, error))
            << bad[1];
    }
}

}  // namespace
}  // namespace kos
