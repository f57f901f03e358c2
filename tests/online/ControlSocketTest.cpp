// kos-online's control socket against simulated registers: article jobs through the server
// while every receipt still lands once, the register list and exports during polling, and
// clients that misbehave leaving the polls undisturbed.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <thread>

#include "CommSupport.h"
#include "CommandLine.h"
#include "ServerPath.h"
#include "online/ControlClient.h"
#include "online/ControlServer.h"
#include "online/OnlineComm.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

using nlohmann::json;
using Ms = std::chrono::milliseconds;

int64_t nowMs() {
    return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class RecordingPrompt final : public Prompt {
public:
    void message(const std::string& text, PromptIcon) override { messages.push_back(text); }
    bool ask(const std::string&) override { return true; }
    std::vector<std::string> messages;
};

// Three registers polled online with a control socket in a temporary folder.
struct ControlRun {
    explicit ControlRun(ecrsim::SimOptions o) : run((o.registers = {1, 2, 3}, o)) {}
    ::testing::AssertionResult start() {
        run.prompt.answers = {true};
        for (int nr : {1, 2, 3})
            run.doc.addRegister(nr);
        // Listening before the polls start, so it counts every receipt.
        std::string error;
        if (server.start(error) != ControlServer::StartResult::Started)
            return ::testing::AssertionFailure() << error;
        run.doc.addStatusListener(&server);
        return run.start(tmp.file("receipts"), "");
    }
    ~ControlRun() {
        server.stop();
        run.doc.removeStatusListener(&server);
        stopOnline(run.doc, run.prompt);
        run.sim.stop();
    }
    json call(json request) {
        ControlClient client;
        std::string error;
        json answer;
        EXPECT_TRUE(client.connect(socket, error) && client.call(request, answer, error)) << error;
        return answer;
    }
    // Calls of registers per second over ms.
    double pollRate(int ms) {
        const long before = run.sim.stats().calls;
        std::this_thread::sleep_for(Ms(ms));
        return (run.sim.stats().calls - before) * 1000.0 / ms;
    }

    TempDir tmp;
    OnlineRun run;
    std::string socket = tmp.file("kos-online.sock");
    ControlServer server{run.doc, socket};
};

TEST(ControlSocketTest, ArticlesGoThroughTheServerWhileEveryReceiptLandsOnce) {
    ecrsim::SimOptions o;
    o.receiptEveryMs = 1500;
    o.receiptLines = 2;
    o.maxReceipts = 25;
    o.articles = ecrsim::sampleArticles();
    ControlRun c(o);
    std::vector<int64_t> w0;  // arrival of each W0 at register 2
    c.run.sim.setAnswerHook([&](int ecr, const std::string& request, std::optional<std::string>&) {
        if (ecr == 2 && request.rfind("W0;", 0) == 0)
            w0.push_back(nowMs());
        return false;
    });
    ASSERT_TRUE(c.start());

    EcrDoc doc;
    for (int i = 0; i < 200; ++i) {
        auto a = std::make_unique<Article>();
        a->plu.parse(std::to_string(7000 + i));
        a->name = "TOWAR " + std::to_string(i);
        a->price = 100 + i;
        a->vat = static_cast<uint8_t>(i % 3);
        a->modified = false;
        ASSERT_TRUE(doc.articles.add(a));
    }
    const std::string file = c.tmp.file("cennik.dat");
    ASSERT_EQ(DatStatus::Ok, doc.writeFile(file));

    ArticlesOptions send;
    send.command = "send";
    send.file = file;
    send.socket = c.socket;
    Settings settings = defaultSettings();
    settings.ecrNr = 2;
    RecordingPrompt prompt;
    ASSERT_EQ(0, serverArticlesCommand(send, settings, prompt));
    ASSERT_EQ(1u, prompt.messages.size());
    EXPECT_EQ("Wysłano artykuły do kasy.\nWysłano 200, błędów 0", prompt.messages[0]);
    EcrDoc sent;
    ASSERT_EQ(DatStatus::Ok, sent.readFile(file));
    EXPECT_TRUE(std::none_of(sent.articles.begin(), sent.articles.end(),
                             [](const Article* a) { return a->modified; }));
    ASSERT_EQ(200u, w0.size());
    int64_t shortest = INT64_MAX;
    for (size_t i = 1; i < w0.size(); ++i)
        shortest = std::min(shortest, w0[i] - w0[i - 1]);
    const double mean = (w0.back() - w0.front()) / 199.0;
    std::printf("articles arrived %.0f ms apart on average, %lld ms at the least\n", mean,
                static_cast<long long>(shortest));
    // The steps start 400 ms apart at least (ServerJobTest checks the gate on the clock); seen
    // from the register, a frame may come a little late after a busy moment of the machine.
    EXPECT_GE(mean, 400.0);
    EXPECT_GE(shortest, 360);

    // Sales in the register's table come back with the articles.
    c.run.sim.withRegister(2, [](ecrsim::SimRegister& r) {
        r.articles["00000000007007"].quantity = 1500;
        r.articles["00000000007007"].amount = 160;
    });
    ArticlesOptions read = send;
    read.command = "read";
    prompt.messages.clear();
    ASSERT_EQ(0, serverArticlesCommand(read, settings, prompt));
    EcrDoc back;
    ASSERT_EQ(DatStatus::Ok, back.readFile(file));
    const int expected = 200 + static_cast<int>(ecrsim::sampleArticles().size());
    EXPECT_EQ(expected, back.articles.count());
    EXPECT_EQ("Odebrano " + std::to_string(expected) + " artykułów z kasy.", prompt.messages.at(0));
    Plu plu;
    plu.parse("7007");
    const Article& seven = *back.articles.getAt(back.articles.findByPlu(plu));
    EXPECT_EQ("TOWAR 7", seven.name);
    EXPECT_EQ(107, seven.price);
    EXPECT_EQ(1, seven.vat);
    EXPECT_EQ(1500, seven.saleQuantity);
    EXPECT_EQ(160, seven.saleValue);

    // Every receipt rung meanwhile is on disk exactly once.
    ASSERT_TRUE(c.run.sim.waitForJournal(75, 120000));
    ASSERT_TRUE(c.run.recorder.waitForReceipts(75, 20000));
    std::vector<std::string> files = filesIn(c.tmp.file("receipts"));
    files.erase(std::remove(files.begin(), files.end(), "TarvelServer.log"), files.end());
    const auto journal = c.run.sim.journal();
    EXPECT_EQ(journal.size(), files.size());
    for (const auto& r : journal) {
        const std::string name = receiptFileOf(files, r);
        ASSERT_FALSE(name.empty());
        EXPECT_EQ(receiptText(r.lines), readFile(c.tmp.file("receipts") + "/" + name));
    }
}

TEST(ControlSocketTest, RegistersAndExportsDuringPolling) {
    ecrsim::SimOptions o;
    o.receiptEveryMs = 100;
    o.maxReceipts = 12;
    o.articles = ecrsim::sampleArticles();
    ControlRun c(o);
    ASSERT_TRUE(c.start());
    ASSERT_TRUE(c.run.recorder.waitForReceipts(6, 20000));

    json status = c.call({{"cmd", "status"}});
    ASSERT_TRUE(status.value("ok", false)) << status;
    ASSERT_EQ(3u, status["registers"].size());
    long counted = 0;
    for (const json& r : status["registers"]) {
        EXPECT_TRUE(r["connected"].get<bool>()) << r;
        EXPECT_EQ(ecrsim::defaultSerial(r["number"].get<int>()), r["serial"]);
        counted += r["receipts_today"].get<long>();
    }
    EXPECT_GE(counted, 6);

    EXPECT_EQ(json::array({4, 5}), c.call({{"cmd", "add"}, {"list", "4, 5"}})["added"]);
    json twice = c.call({{"cmd", "add"}, {"list", "6,4"}});
    EXPECT_FALSE(twice["ok"].get<bool>());
    EXPECT_EQ("Kasa o tym numerze 4 już istnieje lub za dużo kas.", twice["error"]);
    EXPECT_EQ("Niepoprawny format numeru kasy x.",
              c.call({{"cmd", "add"}, {"list", "7,x"}})["error"]);
    EXPECT_EQ("Brak kasy o numerze logicznym 9.",
              c.call({{"cmd", "remove"}, {"list", "4,9"}})["error"]);
    EXPECT_TRUE(c.call({{"cmd", "remove"}, {"list", "4,5,6,7"}})["ok"].get<bool>());
    EXPECT_EQ(3u, c.call({{"cmd", "status"}})["registers"].size());
    EXPECT_EQ("Ścieżka pliku musi być bezwzględna.",
              c.call({{"cmd", "export"}, {"path", "a.txt"}})["error"]);

    // Ctrl+C while reading: the job is cancelled and the client keeps what was read.
    EcrDoc doc;
    RecordingPrompt prompt;
    // A register the server does not poll: nothing runs and the list stays as it was.
    auto kept = std::make_unique<Article>();
    kept->plu.parse("77");
    ASSERT_TRUE(doc.articles.add(kept));
    const std::atomic<bool> calm{false};
    EXPECT_EQ(ServerPathResult::NotRun,
              transferThroughServer(doc, {c.socket, 9, false, false, {}}, calm, prompt, nullptr));
    EXPECT_EQ(std::vector<std::string>{"Brak kasy o numerze logicznym 9."}, prompt.messages);
    EXPECT_EQ(1, doc.articles.count());
    prompt.messages.clear();

    const std::atomic<bool> interrupted{true};
    ServerPathRequest read{c.socket, 3, false, false, {}};
    EXPECT_EQ(ServerPathResult::Failed,
              transferThroughServer(doc, read, interrupted, prompt, nullptr));
    EXPECT_EQ(std::vector<std::string>{"Wysyłanie przerwane przez użytkownika."}, prompt.messages);
    EXPECT_LT(doc.articles.count(), static_cast<int>(o.articles.size()));

    const std::string first = c.tmp.file("first.txt");
    const std::string second = c.tmp.file("second.txt");
    EXPECT_TRUE(c.call({{"cmd", "export"}, {"path", first}, {"reset", true}})["ok"].get<bool>());
    ASSERT_TRUE(c.run.sim.waitForJournal(36, 60000));
    ASSERT_TRUE(c.run.recorder.waitForReceipts(36, 20000));
    EXPECT_TRUE(c.call({{"cmd", "export"}, {"path", second}, {"reset", true}})["ok"].get<bool>());
    SalesSums exported;
    addExportSums(readFile(first), exported);
    addExportSums(readFile(second), exported);
    EXPECT_EQ(withoutZeros(journalSums(c.run.sim.journal())), withoutZeros(exported));
}

// Connects without reading anything.
int rawConnect(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    EXPECT_EQ(0, ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
    return fd;
}

TEST(ControlSocketTest, MisbehavingClientsLeaveThePollsUndisturbed) {
    ControlRun c({});
    ASSERT_TRUE(c.start());
    std::this_thread::sleep_for(Ms(1000));
    const double quiet = c.pollRate(4000);

    // One that asks and never reads, one line of 1 MiB and more without its end, 50 at once.
    const int mute = rawConnect(c.socket);  // asks what needs no register, very often
    const std::string ask = json{{"v", 1}, {"cmd", "cancel"}}.dump() + "\n";
    // Its answers pile up until the server drops it; then its sending fails.
    std::atomic<bool> dropped{false};
    std::thread flood([&] {
        for (int i = 0; i < 1000000 && !dropped; ++i)
            dropped = ::send(mute, ask.data(), ask.size(), MSG_NOSIGNAL) < 0;
    });
    ControlClient longLine;
    std::string error;
    ASSERT_TRUE(longLine.connect(c.socket, error));
    const int longFd = rawConnect(c.socket);
    std::thread big([&] {
        const std::string chunk(64 * 1024, 'x');
        for (int i = 0; i < 17; ++i)
            if (::send(longFd, chunk.data(), chunk.size(), MSG_NOSIGNAL) < 0)
                break;
    });
    std::vector<std::unique_ptr<ControlClient>> many;
    for (int i = 0; i < 50; ++i) {
        many.push_back(std::make_unique<ControlClient>());
        ASSERT_TRUE(many.back()->connect(c.socket, error)) << error;
        ASSERT_TRUE(many.back()->send({{"id", i}, {"cmd", "status"}}));
    }
    const double busy = c.pollRate(4000);
    std::printf("polls per second: %.1f without clients, %.1f with them\n", quiet, busy);
    EXPECT_GE(busy, quiet * 0.90);

    for (auto& client : many) {
        json answer;
        EXPECT_EQ(ControlClient::Read::Message, client->next(answer, 5000));
        EXPECT_EQ(3u, answer.value("registers", json::array()).size());
    }
    big.join();
    char reply[256] = {};
    ssize_t n = ::recv(longFd, reply, sizeof reply - 1, 0);
    EXPECT_NE(std::string::npos, std::string(reply, n > 0 ? n : 0).find("Za długie żądanie."));
    // Then closed: an orderly end, or a reset when the server closed with the rest of the line
    // still unread in its buffer.
    n = ::recv(longFd, reply, sizeof reply, 0);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == ECONNRESET)) << n << " " << std::strerror(errno);
    flood.join();
    EXPECT_TRUE(dropped);
    ::close(longFd);
    ::close(mute);
    EXPECT_TRUE(c.call({{"cmd", "status"}})["ok"].get<bool>());
}

TEST(ControlSocketTest, OtherUsersAndMalformedRequestsAreRefusedAndStaleSocketsReplaced) {
    TempDir tmp;
    TarvelServerDoc doc;
    const std::string path = tmp.file("control");
    {
        // A server killed with its socket file left behind.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        ASSERT_EQ(0, ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
        ::close(fd);
    }
    ControlServer server(doc, path);
    std::string error;
    ASSERT_EQ(ControlServer::StartResult::Started, server.start(error)) << error;
    struct stat st;
    ASSERT_EQ(0, ::stat(path.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777);
    ControlServer second(doc, path);
    EXPECT_EQ(ControlServer::StartResult::InUse, second.start(error));

    struct Case {
        std::string line;
        std::string error;
        bool closed;
    } cases[] = {
        {"{\"v\":1,\"cmd\":\"status\"", "Niepoprawne żądanie.", true},
        {"[1,2]", "Niepoprawne żądanie.", true},
        {"{\"v\":2,\"cmd\":\"status\"}", "Nieobsługiwana wersja protokołu.", false},
        {"{\"v\":1,\"cmd\":\"format\"}", "Nieznane polecenie.", false},
        {"{\"v\":1,\"cmd\":\"read\",\"register\":7}", "Brak kasy o numerze logicznym 7.", false},
    };
    for (const Case& k : cases) {
        const int fd = rawConnect(path);
        const std::string line = k.line + "\n";
        ASSERT_EQ(static_cast<ssize_t>(line.size()), ::send(fd, line.data(), line.size(), 0));
        ControlClient reader;
        char buffer[512] = {};
        ssize_t n = ::recv(fd, buffer, sizeof buffer - 1, 0);
        ASSERT_GT(n, 0) << k.line;
        EXPECT_EQ(k.error, json::parse(std::string(buffer, n))["error"]) << k.line;
        timeval wait{0, 300000};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        EXPECT_EQ(k.closed, ::recv(fd, buffer, sizeof buffer, 0) == 0) << k.line;
        ::close(fd);
    }

    server.setOwnerUid(::getuid() + 1);
    ControlClient stranger;
    ASSERT_TRUE(stranger.connect(path, error));
    json answer;
    ASSERT_EQ(ControlClient::Read::Message, stranger.next(answer, 2000));
    EXPECT_EQ("Odmowa dostępu.", answer["error"]);
    EXPECT_EQ(ControlClient::Read::Closed, stranger.next(answer, 2000));
    server.stop();
    EXPECT_NE(0, ::stat(path.c_str(), &st));
}

}  // namespace
}  // namespace kos::test
