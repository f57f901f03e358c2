// kos-articles against ecrsim on a pseudo-terminal: sending with and without deleting what the
// document lacks, refusals, Ctrl+C, reading, the header, the register search and bad input.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <memory>
#include <mutex>

#include "Simulator.h"
#include "ArticleSupport.h"
#include "articles/EcrDoc.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

using ecrsim::SimArticle;
using ecrsim::SimOptions;
using ecrsim::Simulator;

const std::string PROGRAM = std::string(KOS_BINARY_DIR) + "/articles/cli/kos-articles";
const std::string FAILED =
    "Błąd podczas komunikacji z kasą lub operacja przerwana przez "
    "użytkownika.\n";

struct Outcome {
    int status;
    std::string out, err;
};

class LineCommands : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        setenv("HOME", dir.path().c_str(), 1);
    }
    void startSim(SimOptions o) {
        sim = std::make_unique<Simulator>(std::move(o));
        std::string error;
        ASSERT_TRUE(sim->open(error)) << error;
        sim->start();
        // Every frame of the PC is recorded; scripted answers replace the register's.
        sim->setAnswerHook([this](int, const std::string& request, std::optional<std::string>& a) {
            std::lock_guard<std::mutex> guard(lock);
            requests.push_back(request);
            if (onRequest)
                onRequest(request);
            const auto it = scripted.find(request.substr(0, 2));
            if (it == scripted.end())
                return false;
            a = it->second;
            return true;
        });
    }
    // kos-articles with args on register 1 of the simulator's first line.
    Outcome run(std::vector<std::string> args, bool onLine = true) {
        // Options given by the case come after these and override them.
        if (onLine)
            args.insert(
                args.begin() + std::min<size_t>(2, args.size()),
                {"--device", sim->slavePath(), "--port", "1", "--speed", "9600", "--ecr", "1"});
        const pid_t child = ::fork();
        if (child == 0) {
            ::chdir(dir.path().c_str());
            ::dup2(::open("stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
            ::dup2(::open("stderr", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            std::vector<char*> argv{const_cast<char*>(PROGRAM.c_str())};
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(PROGRAM.c_str(), argv.data());
            ::_exit(127);
        }
        pid = child;
        int status = 0;
        ::waitpid(child, &status, 0);
        pid = 0;
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir.file("stdout")),
                readFile(dir.file("stderr"))};
    }
    // A document holding the articles in the order given (not sorted by PLU).
    void writeDocument(const std::string& name, std::vector<std::unique_ptr<Article>> articles) {
        EcrDoc doc;
        for (auto& a : articles)
            doc.articles.append(std::move(a));
        ASSERT_EQ(DatStatus::Ok, doc.writeFile(dir.file(name)));
    }
    std::unique_ptr<EcrDoc> readDocument(const std::string& name) {
        auto doc = std::make_unique<EcrDoc>();
        EXPECT_EQ(DatStatus::Ok, doc->readFile(dir.file(name)));
        return doc;
    }
    std::map<std::string, SimArticle> registerArticles() {
        std::map<std::string, SimArticle> out;
        sim->withRegister(1, [&](ecrsim::SimRegister& r) { out = r.articles; });
        return out;
    }
    std::vector<std::string> sentOf(const std::string& kind) {
        std::lock_guard<std::mutex> guard(lock);
        std::vector<std::string> out;
        for (const std::string& r : requests)
            if (r.rfind(kind, 0) == 0)
                out.push_back(r);
        return out;
    }

    TempDir dir;
    std::unique_ptr<Simulator> sim;
    std::mutex lock;
    std::vector<std::string> requests;
    std::map<std::string, std::string> scripted;  // request kind ("I0", "G") -> answer
    std::function<void(const std::string&)> onRequest;
    std::atomic<pid_t> pid{0};
};

std::vector<SimArticle> registerTable() {
    return {{"00000000000012", "MLEKO", 1, 250, 0, 1500, 375},
            {"00000000000013", "CHLEB", 1, 399, 0, 2000, 798},
            {"00000000000100", "MAS)O", 1, 699, 0, 0, 0},
            {"00000000001234", "JAB)KA", 2, 450, 1, 0, 0},
            {"00000000005000", "^MIETANA", 1, 325, 0, 1000, 325}};
}

// The document holds 5000 before 12: a walk that assumed PLU order would delete 12 (and its
// sales totals) in the register.
TEST_F(LineCommands, SendAllDeletesExactlyWhatTheUnsortedDocumentLacks) {
    SimOptions o;
    o.articles = registerTable();
    startSim(o);
    std::vector<std::unique_ptr<Article>> list;
    list.push_back(makeArticle("5000", "\x8cMIETANA", 330));
    list.push_back(makeArticle("12", "MLEKO", 260));
    list.push_back(makeArticle("77", "NOWY", 100));
    writeDocument("a.dat", std::move(list));

    Outcome r = run({"send", "a.dat", "--delete-missing"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(
        "Operacja komunikacji z kasą zakończona poprawnie.\nUsunięto 3, wysłano 3 , błędów 0\n",
        r.out);
    EXPECT_EQ((std::vector<std::string>{"C0;00000000000013;", "C0;00000000000100;",
                                        "C0;00000000001234;"}),
              sentOf("C0"));
    const auto table = registerArticles();
    ASSERT_EQ(3u, table.size());
    EXPECT_EQ(1500, table.at("00000000000012").quantity);
    EXPECT_EQ(260, table.at("00000000000012").price);
    EXPECT_EQ(1000, table.at("00000000005000").quantity);
    const auto sent = readDocument("a.dat");
    for (const Article* a : sent->articles)
        EXPECT_FALSE(a->modified) << a->name;

    r = run({"send", "a.dat"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(
        "Operacja komunikacji z kasą zakończona poprawnie.\nUsunięto 0, wysłano 3 , błędów 0\n",
        r.out);
}

TEST_F(LineCommands, RefusedArticleWithContinueOnAndOff) {
    SimOptions o;
    o.refusedPlus = {"00000000000013"};
    startSim(o);
    std::vector<std::unique_ptr<Article>> list;
    list.push_back(makeArticle("12", "A", 100));
    list.push_back(makeArticle("13", "B", 100));
    list.push_back(makeArticle("14", "C", 100));
    writeDocument("a.dat", std::move(list));

    Outcome r = run({"send", "a.dat", "--continue-on-error"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(
        "Operacja komunikacji z kasą zakończona poprawnie.\nUsunięto 0, wysłano 2 , błędów 1\n",
        r.out);
    auto doc = readDocument("a.dat");
    EXPECT_FALSE(doc->articles.getAt(0)->modified);
    EXPECT_TRUE(doc->articles.getAt(1)->modified);
    EXPECT_FALSE(doc->articles.getAt(2)->modified);

    r = run({"send", "a.dat", "--stop-on-error"});
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(FAILED, r.err);
    EXPECT_EQ(5u, sentOf("W0").size());  // 3, then 12 and 13; 14 not again
    doc = readDocument("a.dat");
    EXPECT_TRUE(doc->articles.getAt(1)->modified);
    EXPECT_TRUE(doc->articles.getAt(2)->modified);
}

TEST_F(LineCommands, InterruptWhileSendingStopsBeforeTheNextArticle) {
    startSim({});
    std::vector<std::unique_ptr<Article>> list;
    for (const char* plu : {"21", "22", "23", "24", "25"})
        list.push_back(makeArticle(plu, plu, 100));
    writeDocument("a.dat", std::move(list));
    int w0 = 0;
    onRequest = [&](const std::string& request) {
        if (request.rfind("W0", 0) == 0 && ++w0 == 2 && pid.load() > 0)
            ::kill(pid.load(), SIGINT);
    };
    const Outcome r = run({"send", "a.dat"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(
        "Operacja komunikacji z kasą zakończona poprawnie.\nUsunięto 0, wysłano 2 , błędów 0\n",
        r.out);
    EXPECT_EQ(2u, sentOf("W0").size());
    const auto doc = readDocument("a.dat");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(i >= 2, doc->articles.getAt(i)->modified) << i;
}

TEST_F(LineCommands, ReadGivesTheRegistersArticlesOrNothingWhenUnreachable) {
    SimOptions o;
    o.articles = registerTable();
    startSim(o);
    Outcome r = run({"read", "r.dat"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("Operacja komunikacji z kasą zakończona poprawnie.\nOdebrano 5\n", r.out);
    r = run({"export", "r.dat"}, false);
    EXPECT_EQ(
        "x\t00000000000012\tMLEKO\t2,50\tNIE\tA 22%\t1,500\t3,75\n"
        "x\t00000000000013\tCHLEB\t3,99\tNIE\tA 22%\t2,000\t7,98\n"
        "x\t00000000000100\tMASŁO\t6,99\tNIE\tA 22%\t0,000\t0,00\n"
        "x\t00000000001234\tJABŁKA\t4,50\tTAK\tB 7%\t0,000\t0,00\n"
        "x\t00000000005000\tŚMIETANA\t3,25\tNIE\tA 22%\t1,000\t3,25\n",
        r.out);

    r = run({"read", "r.dat", "--device", dir.file("missing")});
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(FAILED, r.err);
    EXPECT_EQ(0, readDocument("r.dat")->articles.count());
}

TEST_F(LineCommands, HeaderRoundTripCentredAndRight) {
    startSim({});
    ASSERT_EQ(0, run({"header", "h.dat", "--line", "1", "ABC", "--line", "3", "ŁÓDŹ", "--align",
                      "centre"},
                     false)
                     .status);
    auto lines = [&] {
        std::vector<std::string> out;
        sim->withRegister(1, [&](ecrsim::SimRegister& reg) { out = reg.header; });
        return out;
    };
    Outcome r = run({"send-header", "h.dat"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("Operacja komunikacji z kasą zakończona poprawnie.\n", r.out);
    EXPECT_EQ((std::vector<std::string>{"       ABC", std::string(9, ' '), "       )]D'",
                                        std::string(9, ' '), std::string(9, ' ')}),
              lines());

    ASSERT_EQ(0, run({"header", "h.dat", "--align", "right"}, false).status);
    ASSERT_EQ(0, run({"send-header", "h.dat"}).status);
    EXPECT_EQ(std::string(15, ' ') + "ABC", lines()[0]);

    r = run({"read-header", "h.dat"});
    ASSERT_EQ(0, r.status) << r.err;
    const auto doc = readDocument("h.dat");
    EXPECT_EQ(ECRHeader::LEFT, doc->header.alignment);
    EXPECT_EQ(std::string(15, ' ') + "ABC", doc->header.lines[0]);
    EXPECT_EQ(std::string(14, ' ') +
                  "\xa3\xd3"
                  "D\x8f",
              doc->header.lines[2]);
    EXPECT_EQ(std::string(18, ' '), doc->header.lines[1]);
}

TEST_F(LineCommands, BadInputEndsWithItsMessageAndAConsistentFile) {
    startSim({});
    struct Case {
        const char* what;
        const char* answer;  // the register's answer to I0
    };
    const Case reads[] = {
        {"garbage", "XYZ"},
        {"truncated article", "0;00000000000012;MLEKO;1;"},
        {"all-zero PLU", "0;00000000000000;MLEKO;1;2.50;0;0.000;0.00;"},
    };
    for (const Case& c : reads) {
        std::vector<std::unique_ptr<Article>> list;
        list.push_back(makeArticle("12", "STARY", 100));
        writeDocument("r.dat", std::move(list));
        scripted["I0"] = c.answer;
        const Outcome r = run({"read", "r.dat"});
        EXPECT_EQ(1, r.status) << c.what;
        EXPECT_EQ(FAILED, r.err) << c.what;
        EXPECT_EQ(0, readDocument("r.dat")->articles.count()) << c.what;
    }
    scripted.clear();

    std::vector<std::unique_ptr<Article>> list;
    list.push_back(makeArticle("12", "A;B", 100));
    writeDocument("s.dat", std::move(list));
    Outcome r = run({"send", "s.dat", "--stop-on-error"});
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(FAILED, r.err);
    EXPECT_TRUE(sentOf("W0").empty());
    EXPECT_TRUE(readDocument("s.dat")->articles.getAt(0)->modified);

    writeFile(dir.file("junk.dat"), "not an article file");
    const size_t before = sentOf("").size();
    r = run({"send", "junk.dat"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("Unexpected file format.")) << r.err;
    EXPECT_EQ("not an article file", readFile(dir.file("junk.dat")));
    EXPECT_EQ(before, sentOf("").size());
}

TEST_F(LineCommands, DeleteSelectedAndZeroWithTheProtocolLog) {
    SimOptions o;
    o.articles = registerTable();
    startSim(o);
    ::mkdir(dir.file("config").c_str(), 0755);
    ::mkdir(dir.file("config/Tarvel").c_str(), 0755);
    writeFile(dir.file("config/Tarvel/KOS.ini"), "[KOS%20ONLINE]\nSettings\\EcrSaveToLog=1\n");
    std::vector<std::unique_ptr<Article>> list;
    list.push_back(makeArticle("12", "MLEKO", 250));
    list.push_back(makeArticle("13", "CHLEB", 399));
    writeDocument("a.dat", std::move(list));

    Outcome r = run({"delete", "a.dat", "--plu", "13"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("Operacja komunikacji z kasą zakończona poprawnie.\nUsunięto 1\n", r.out);
    EXPECT_EQ((std::vector<std::string>{"C0;00000000000013;"}), sentOf("C0"));
    EXPECT_EQ(4u, registerArticles().size());

    r = run({"zero"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.out);
    int zeroed = 0;
    sim->withRegister(1, [&](ecrsim::SimRegister& reg) { zeroed = reg.countersZeroed; });
    EXPECT_EQ(1, zeroed);
    const std::string log = readFile(dir.file("kos.log"));
    EXPECT_NE(std::string::npos, log.find("START TX310Comm::deleteArticles"));
    EXPECT_NE(std::string::npos, log.find("START TX310Comm::zeroCounters"));
}

// Register 7 on COM3 answering only at 9600; COM1 and COM3 searched from 7.
TEST_F(LineCommands, FindRegisterOnAnotherPortAndSpeedAndApplyIt) {
    SimOptions o;
    o.registers = {7};
    o.lines = 3;
    o.registerLines[7] = 3;
    o.registerSpeeds[7] = 9600;
    startSim(o);
    ::mkdir(dir.file("config").c_str(), 0755);
    ::mkdir(dir.file("config/Tarvel").c_str(), 0755);
    writeFile(dir.file("config/Tarvel/KOS.ini"),
              "[KOS%20ONLINE]\nSettings\\Com1Device=" + sim->slavePath(1) +
                  "\nSettings\\Com3Device=" + sim->slavePath(3) + "\n");
    const Outcome r = run({"find-register", "--ports", "1,3", "--start", "7", "--apply"}, false);
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("nr logiczny 7, com3, 9600 bps\n", r.out);
    const std::string ini = readFile(dir.file("config/Tarvel/KOS.ini"));
    EXPECT_NE(std::string::npos, ini.find("Settings\\Port=3")) << ini;
    EXPECT_NE(std::string::npos, ini.find("Settings\\PortSpeed=9600")) << ini;
    EXPECT_NE(std::string::npos, ini.find("Settings\\ecrNr=7")) << ini;
}

}  // namespace
}  // namespace kos::test
