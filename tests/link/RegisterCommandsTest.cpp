// The one-shot register commands against a simulated register: articles, header, counters, and
// the answers that must end a command with the right code.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Simulator.h"
#include "link/EcrMessages.h"
#include "link/TX310Commands.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

namespace kos {
namespace {

using ecrsim::SimOptions;
using ecrsim::SimRegister;
using ecrsim::Simulator;

constexpr int PORT = 1;
constexpr int BAUD = 9600;
constexpr uint8_t ECR = 4;

EcrArticle article(const char* plu, const char* name, int32_t price, int vat, int open) {
    EcrArticle a;
    std::snprintf(a.plu, sizeof a.plu, "%s", plu);
    std::snprintf(a.name, sizeof a.name, "%s", name);
    a.price = price;
    a.vat = static_cast<uint8_t>(vat);
    a.openPrice = static_cast<uint8_t>(open);
    return a;
}

// What the callbacks saw.
struct Calls {
    std::vector<EcrArticle> source;
    std::vector<std::string> progress;  // "i:ok:accepted:refused"
    std::vector<EcrArticle> stored;
    std::vector<int> storeResults;  // returned in turn, then 1
};

ArticleSourceFn fromList(Calls& calls) {
    return [&calls](const std::string&, int i, EcrArticle& out) {
        if (i >= static_cast<int>(calls.source.size()))
            return 0;
        out = calls.source[i];
        return 1;
    };
}

ArticleProgressFn recordProgress(Calls& calls) {
    return
        [&calls](const std::string&, int i, const EcrArticle&, int ok, int accepted, int refused) {
            calls.progress.push_back(std::to_string(i) + ":" + std::to_string(ok) + ":" +
                                     std::to_string(accepted) + ":" + std::to_string(refused));
        };
}

ArticleStoreFn store(Calls& calls) {
    return [&calls](const std::string&, int i, int, const EcrArticle& a) {
        calls.stored.push_back(a);
        return i < static_cast<int>(calls.storeResults.size()) ? calls.storeResults[i] : 1;
    };
}

class RegisterCommandsTest : public testing::Test {
protected:
    void SetUp() override {
        SimOptions options;
        options.registers = {ECR};
        sim = std::make_unique<Simulator>(options);
        std::string error;
        ASSERT_TRUE(sim->open(error)) << error;
        sim->start();
        saved_ = comDevice(PORT);
        setComDevice(PORT, sim->slavePath());
        // Sleeps cost nothing; a silent line still ends after a few reads.
        clock.stepPerRead = 1000;
        // Every frame of the PC is recorded; answers come from the register unless scripted.
        sim->setAnswerHook(
            [this](int, const std::string& request, std::optional<std::string>& answer) {
                std::lock_guard<std::mutex> guard(lock_);
                requests.push_back(request);
                auto it = scripted.find(request);
                if (it == scripted.end())
                    return false;
                answer = it->second;
                return true;
            });
    }
    void TearDown() override {
        sim->stop();
        setComDevice(PORT, saved_);
    }
    struct SendOutcome {
        int rc = -1;
        int accepted = -1;
        int refused = -1;
    };
    // Sends the list A, B (with the given name), C with all W38 settings skipped.
    SendOutcome sendThree(bool continueOnError, const char* secondName, Calls& calls) {
        sim->withRegister(ECR, [](SimRegister& reg) { reg.articles.clear(); });
        calls.source = {article("00000000000012", "A", 1, 0, 0),
                        article("00000000000013", secondName, 1, 0, 0),
                        article("00000000000014", "C", 1, 0, 0)};
        std::string reply;
        SendOutcome out;
        TX310Commands comm(clock);
        out.rc =
            comm.sendArticles(PORT, BAUD, continueOnError, true, true, ECR, reply, fromList(calls),
                              recordProgress(calls), out.accepted, out.refused);
        EXPECT_FALSE(comm.isOpen());
        return out;
    }
    std::vector<std::string> sentRequests() {
        std::lock_guard<std::mutex> guard(lock_);
        return requests;
    }
    void script(const std::string& request, const std::string& answer) {
        std::lock_guard<std::mutex> guard(lock_);
        scripted[request] = answer;
    }
    SimRegister registerState() {
        SimRegister copy(0, "");
        sim->withRegister(ECR, [&](SimRegister& reg) { copy = reg; });
        return copy;
    }

    std::unique_ptr<Simulator> sim;
    test::ManualClock clock;
    std::vector<std::string> requests;
    std::map<std::string, std::string> scripted;

private:
    std::mutex lock_;
    std::string saved_;
};

TEST_F(RegisterCommandsTest, ArticlesSentReadBackAndDeleted) {
    Calls calls;
    calls.source = {article("00000000000012", "mleko", 250, 0, 0),
                    // "masło żółć" in code page 1250
                    article("00000000000100", "mas\xB3o \xBF\xF3\xB3\xE6", 699, 6, 1),
                    article("00000000001234", "Jab\xB3ka", 450, 1, 7)};
    std::string reply;
    int accepted = -1, refused = -1;
    {
        TX310Commands comm(clock);
        EXPECT_EQ(comm.sendArticles(PORT, BAUD, false, false, false, ECR, reply, fromList(calls),
                                    recordProgress(calls), accepted, refused),
                  TX310_OK);
        EXPECT_FALSE(comm.isOpen());
        EXPECT_EQ(comm.getBeginFrameTimeout(), 20000);
    }
    EXPECT_EQ(reply, "200004");
    EXPECT_EQ(accepted, 3);
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(calls.progress, (std::vector<std::string>{"0:1:1:0", "1:1:2:0", "2:1:3:0"}));
    EXPECT_EQ(sentRequests(),
              (std::vector<std::string>{"W38;1;1;", "W38;2;1;", "W0;00000000000012;MLEKO;1;250;0;",
                                        "W0;00000000000100;MAS)O _])[;7;699;1;",
                                        "W0;00000000001234;JAB)KA;2;450;1;"}));
    EXPECT_EQ(registerState().articles.at("00000000000100").name, "MAS)O _])[");

    int received = -1, errors = -1;
    {
        TX310Commands comm(clock);
        EXPECT_EQ(
            comm.receiveArticles(PORT, BAUD, false, ECR, reply, store(calls), received, errors),
            TX310_OK);
    }
    EXPECT_EQ(received, 3);
    EXPECT_EQ(errors, 0);
    ASSERT_EQ(calls.stored.size(), 3u);
    const char* names[] = {"MLEKO", "MAS\xA3O \xAF\xD3\xA3\xC6", "JAB\xA3KA"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(calls.stored[i].plu, calls.source[i].plu);
        EXPECT_STREQ(calls.stored[i].name, names[i]);
        EXPECT_EQ(calls.stored[i].price, calls.source[i].price);
        EXPECT_EQ(calls.stored[i].vat, calls.source[i].vat);
        EXPECT_EQ(calls.stored[i].openPrice, calls.source[i].openPrice ? 1 : 0);
    }

    Calls toDelete;
    toDelete.source = {calls.source[0], calls.source[2]};
    int deleted = -1;
    {
        TX310Commands comm(clock);
        EXPECT_EQ(comm.deleteArticles(PORT, BAUD, ECR, reply, fromList(toDelete), deleted),
                  TX310_OK);
    }
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(registerState().articles.size(), 1u);
    // Deleting a code the register does not hold is a refusal.
    {
        TX310Commands comm(clock);
        EXPECT_EQ(comm.deleteArticles(PORT, BAUD, ECR, reply, fromList(toDelete), deleted),
                  TX310_ERR_READ);
        EXPECT_EQ(deleted, 0);
    }
}

TEST_F(RegisterCommandsTest, EmptySourceStillSendsTheSettingsNotSkipped) {
    struct Case {
        bool skipFirst, skipSecond;
        std::vector<std::string> expected;
    };
    test::TempDir dir;
    const Case cases[] = {{false, false, {"W38;1;1;", "W38;2;1;"}},
                          {false, true, {"W38;1;1;"}},
                          {true, false, {"W38;2;1;"}},
                          {true, true, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.size());
        requests.clear();
        Calls none;
        std::string reply;
        int accepted = -1, refused = -1;
        TX310Commands comm(clock);
        ASSERT_TRUE(comm.openLog(dir.file("kos.log")));
        EXPECT_EQ(comm.sendArticles(PORT, BAUD, false, c.skipFirst, c.skipSecond, ECR, reply,
                                    fromList(none), nullptr, accepted, refused),
                  TX310_OK);
        comm.closeLog();
        EXPECT_FALSE(comm.isOpen());  // released
        EXPECT_EQ(sentRequests(), c.expected);
        EXPECT_EQ(accepted, 0);
        EXPECT_EQ(refused, 0);
    }
    const std::string log = test::readFile(dir.file("kos.log"));
    for (const char* line :
         {" START TX310Comm::sendArticles", "\n\ts = 57 33 38 3b 31 3b 31 3b ",
          "\n\ts (acsii) = W38;1;1;",
          " TX310Comm::sendFrame, i = 0, for( i = 0; i < MAX_FRAME_REPEAT; i ++ )",
          " START TX310Comm::receiveAck, return TX310_OK",
          " TX310Comm::sendFrame, return TX310_OK, receiveAck() == TX310_OK",
          " START TX310Comm::endInLineMode"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST_F(RegisterCommandsTest, RefusedArticleStopsOrIsSkipped) {
    sim->withRegister(ECR, [](SimRegister& reg) { reg.refusedPlus = {"00000000000013"}; });
    for (bool continueOnError : {false, true}) {
        SCOPED_TRACE(continueOnError);
        Calls calls;
        const auto [rc, accepted, refused] = sendThree(continueOnError, "B", calls);
        if (continueOnError) {
            EXPECT_EQ(rc, TX310_OK);
            EXPECT_EQ(accepted, 2);
            EXPECT_EQ(calls.progress, (std::vector<std::string>{"0:1:1:0", "1:0:1:1", "2:1:2:1"}));
            EXPECT_EQ(registerState().articles.count("00000000000014"), 1u);
        } else {
            EXPECT_EQ(rc, TX310_ERR_READ);
            EXPECT_EQ(accepted, 1);
            EXPECT_EQ(calls.progress, (std::vector<std::string>{"0:1:1:0", "1:0:1:1"}));
            EXPECT_EQ(registerState().articles.count("00000000000014"), 0u);
        }
        EXPECT_EQ(refused, 1);
    }
}

// A ";" in a name or a header line would end its field early and shift the rest; nothing
// holding one is sent. In an article list it counts as a refused article.
TEST_F(RegisterCommandsTest, SemicolonInANameOrHeaderLineIsRefusedBeforeSending) {
    for (bool continueOnError : {false, true}) {
        SCOPED_TRACE(continueOnError);
        const size_t before = sentRequests().size();
        Calls calls;
        const auto [rc, accepted, refused] = sendThree(continueOnError, "B;1;100", calls);
        const std::vector<std::string> all = sentRequests();
        const std::vector<std::string> sent(all.begin() + static_cast<long>(before), all.end());
        for (const std::string& request : sent)
            EXPECT_EQ(request.find("00000000000013"), std::string::npos) << request;
        EXPECT_EQ(refused, 1);
        EXPECT_EQ(registerState().articles.count("00000000000013"), 0u);
        if (continueOnError) {
            EXPECT_EQ(rc, TX310_OK);
            EXPECT_EQ(accepted, 2);
            EXPECT_EQ(calls.progress, (std::vector<std::string>{"0:1:1:0", "1:0:1:1", "2:1:2:1"}));
            EXPECT_EQ(registerState().articles.count("00000000000014"), 1u);
        } else {
            EXPECT_EQ(rc, TX310_ERR_FORMAT);
            EXPECT_EQ(accepted, 1);
            EXPECT_EQ(calls.progress, (std::vector<std::string>{"0:1:1:0", "1:0:1:1"}));
            EXPECT_EQ(sent, (std::vector<std::string>{"W0;00000000000012;A;1;1;0;"}));
        }
    }

    const std::vector<std::string> header = registerState().header;
    const size_t before = sentRequests().size();
    HeaderLines lines = {"SKLEP", "", "UL. DLUGA 5;NIP 1", "NIP 1", "ZAPRASZAMY"};
    std::string reply;
    TX310Commands comm(clock);
    EXPECT_EQ(comm.sendHeader(PORT, BAUD, ECR, reply, lines), TX310_ERR_FORMAT);
    EXPECT_FALSE(comm.isOpen());
    EXPECT_EQ(sentRequests().size(), before);
    EXPECT_EQ(registerState().header, header);
}

struct AnswerCase {
    const char* answer;
    int code;
    int32_t price;
    int32_t quantity;
    int32_t amount;
};

TEST_F(RegisterCommandsTest, ArticleAnswersAreReadOrRefused) {
    const AnswerCase cases[] = {
        {"0;12;MLEKO;1;12.5;0;1.000;2.50;", TX310_OK, 1205, 1000, 250},
        {"0;12;MLEKO;1;12.05;0;0.5;-1.50;", TX310_OK, 1205, 5, -150},
        {"0;12;MLEKO;1;;0;;;", TX310_OK, 0, 0, 0},
        {"0;12;MLEKO;1;12;0;3;4;", TX310_OK, 1200, 3000, 400},
        {"0;12;MLEKO;1;12.100;0;1.000;2.50;", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;12;MLEKO;1;1.00;0;1.1000;2.50;", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;12;MLEKO;1;1.00;0;1.000;2.100;", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;00000000000000;MLEKO;1;1.00;0;1.000;2.50;", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;123456789012345;MLEKO;1;1.00;0;1.000;2.50;", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;12a;MLEKO;1;1.00;0;1.000;2.50;", TX310_ERR_FORMAT, 0, 0, 0},
        {"1;12;MLEKO;1;1.00;0;1.000;2.50;", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;12;MLEKO;A;1.00;0;1.000;2.50;", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;12;MLEKO;1;1,00;0;1.000;2.50;", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;12;MLEKO;1;99999999999.00;0;1.000;2.50;", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;12;MLEKO;1;1.00;0;1.000;", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;12;MLEKO;1;1.00;0;1.000;2.50", TX310_ERR_FORMAT, 0, 0, 0},
        {"0;12;MLEKO", TX310_ERR_FORMAT, 0, 0, 0},
        {"", TX310_ERR_FORMAT, 0, 0, 0},
        {"E", TX310_ERR_READ, 0, 0, 0},
    };
    script("G", "D");
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.answer);
        script("I0;1;", c.answer);
        Calls calls;
        std::string reply;
        int received = -1, errors = -1;
        TX310Commands comm(clock);
        EXPECT_EQ(
            comm.receiveArticles(PORT, BAUD, false, ECR, reply, store(calls), received, errors),
            c.code);
        if (c.code != TX310_OK) {
            EXPECT_TRUE(calls.stored.empty());
            continue;
        }
        ASSERT_EQ(calls.stored.size(), 1u);
        EXPECT_STREQ(calls.stored[0].plu, "00000000000012");
        EXPECT_EQ(calls.stored[0].price, c.price);
        EXPECT_EQ(calls.stored[0].quantity, c.quantity);
        EXPECT_EQ(calls.stored[0].amount, c.amount);
    }
}

TEST_F(RegisterCommandsTest, LongNameIsCutToTheRecord) {
    script("I0;1;", "0;12;ABCDEFGHIJKLMNOPQRSTUVWXYZ$$$$;3;1.00;1;0.000;0.00;");
    script("G", "D");
    Calls calls;
    std::string reply;
    int received = -1, errors = -1;
    TX310Commands comm(clock);
    EXPECT_EQ(comm.receiveArticles(PORT, BAUD, false, ECR, reply, store(calls), received, errors),
              TX310_OK);
    ASSERT_EQ(calls.stored.size(), 1u);
    EXPECT_STREQ(calls.stored[0].name, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(calls.stored[0].vat, 2);
    EXPECT_EQ(calls.stored[0].openPrice, 1);
}

TEST_F(RegisterCommandsTest, StoreCallbackDecidesHowReadingGoesOn) {
    sim->withRegister(ECR, [](SimRegister& reg) {
        reg.articles["00000000000012"] = {"00000000000012", "A", 1, 100, 0, 0, 0};
        reg.articles["00000000000013"] = {"00000000000013", "B", 1, 100, 0, 0, 0};
    });
    struct Case {
        std::vector<int> results;
        bool continueOnError;
        int code, received, errors, stored;
    };
    const Case cases[] = {
        {{2, 1}, true, TX310_OK, 2, 1, 2},
        {{2, 1}, false, TX310_ERR_ABORTED, 0, 0, 1},
        {{1, 0}, true, TX310_ERR_ABORTED, 1, 0, 2},
    };
    for (const Case& c : cases) {
        Calls calls;
        calls.storeResults = c.results;
        std::string reply;
        int received = -1, errors = -1;
        TX310Commands comm(clock);
        EXPECT_EQ(comm.receiveArticles(PORT, BAUD, c.continueOnError, ECR, reply, store(calls),
                                       received, errors),
                  c.code);
        EXPECT_FALSE(comm.isOpen());  // released also when stopped
        EXPECT_EQ(received, c.received);
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(static_cast<int>(calls.stored.size()), c.stored);
    }
}

TEST_F(RegisterCommandsTest, HeaderRoundTripAndBadAnswers) {
    HeaderLines lines = {"Sklep \xAF\xF3\xB3\xE6", "", "ul. D\xB3uga 5", "NIP 1", "Zapraszamy"};
    std::string reply;
    {
        TX310Commands comm(clock);
        EXPECT_EQ(comm.sendHeader(PORT, BAUD, ECR, reply, lines), TX310_OK);
    }
    EXPECT_EQ(registerState().header,
              (std::vector<std::string>{"SKLEP _])[", " ", "UL. D)UGA 5", "NIP 1", "ZAPRASZAMY"}));
    HeaderLines back;
    {
        TX310Commands comm(clock);
        EXPECT_EQ(comm.receiveHeader(PORT, BAUD, ECR, reply, back), TX310_OK);
    }
    EXPECT_EQ(back, (HeaderLines{"SKLEP \xAF\xD3\xA3\xC6", " ", "UL. D\xA3UGA 5", "NIP 1",
                                 "ZAPRASZAMY"}));

    struct Case {
        const char* answer;
        int code;
    };
    for (const Case& c : {Case{"6;3;X;", TX310_ERR_FORMAT}, Case{"6;2;X", TX310_ERR_FORMAT},
                          Case{"5;2;X;", TX310_ERR_FORMAT}, Case{"6;x;X;", TX310_ERR_FORMAT},
                          Case{"E", TX310_ERR_READ}}) {
        SCOPED_TRACE(c.answer);
        script("R6;2;", c.answer);
        TX310Commands comm(clock);
        EXPECT_EQ(comm.receiveHeader(PORT, BAUD, ECR, reply, back), c.code);
    }
    script("W6;3;UL. D)UGA 5;", "E");
    TX310Commands comm(clock);
    EXPECT_EQ(comm.sendHeader(PORT, BAUD, ECR, reply, lines), TX310_ERR_READ);
    EXPECT_FALSE(comm.isOpen());
}

TEST_F(RegisterCommandsTest, ZeroCountersWaitsLongAndTakesAnyAnswer) {
    sim->withRegister(ECR, [](SimRegister& reg) {
        reg.articles["00000000000012"] = {"00000000000012", "A", 1, 100, 0, 5000, 500};
    });
    std::string reply;
    {
        TX310Commands comm(clock);
        EXPECT_EQ(comm.zeroCounters(PORT, BAUD, ECR, reply), TX310_OK);
        EXPECT_EQ(comm.getBeginFrameTimeout(), 30000);
    }
    EXPECT_EQ(registerState().articles.at("00000000000012").quantity, 0);
    EXPECT_EQ(registerState().countersZeroed, 1);

    // A register that takes 25 s (on the test clock) and then answers "E": still done.
    clock.stepPerRead = 0;
    sim->setAnswerHook([this](int, const std::string& request, std::optional<std::string>& a) {
        if (request != "B;")
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        clock.advance(25000);
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        a = "E";
        return true;
    });
    TX310Commands comm(clock);
    EXPECT_EQ(comm.zeroCounters(PORT, BAUD, ECR, reply), TX310_OK);
}

TEST(EcrMessagesTest, WriteMessageOfCode12) {
    EcrArticle a = article("00000000000012", "MLEKO", 250, 0, 0);
    EXPECT_EQ(articleWriteMessage(a), "W0;00000000000012;MLEKO;1;250;0;");
    EXPECT_EQ(articleDeleteMessage(a), "C0;00000000000012;");
    // A name without its terminating zero is still read only within the record.
    std::memset(a.name, 'X', sizeof a.name);
    EXPECT_EQ(articleWriteMessage(a), "W0;00000000000012;XXXXXXXXXXXXXXXXXXXXX;1;250;0;");
}

}  // namespace
}  // namespace kos
