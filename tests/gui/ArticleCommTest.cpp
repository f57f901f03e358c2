// The progress dialog and the exchanges of the article windows with ecrsim; the receipt
// header's view and dialog.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

#include "ArticleTestSupport.h"
#include "Simulator.h"
#include "articles/ui/ArticleCommands.h"
#include "articles/ui/CHeaderDlg.h"
#include "articles/ui/CHeaderView.h"
#include "articles/ui/CommDlgJobHost.h"
#include "base/Codepage.h"
#include "online/ControlProtocol.h"
#include "online/OnlineComm.h"
#include "online/ServerClientTransfer.h"
#include "online/TarvelServerDoc.h"
#include "shell/MainFrame.h"

extern char** environ;

namespace kos::test {
namespace {

// A job that takes one step per article, as the transfer jobs do, and waits after its first
// step until "Przerwij" reaches it.
JobResult pausingJob(JobControl& control, int steps) {
    JobResult result;
    for (int i = 0; i < steps && !control.aborted(); ++i) {
        ++result.count;
        control.progress(result.count * 1000 / steps, "Wysłano " + std::to_string(result.count));
        for (int wait = 0; i == 0 && wait < 2000 && !control.aborted(); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    result.success = true;
    return result;
}

TEST(ArticleCommDialog, PrzerwijStopsTheJobAndOnlyTheJobsEndClosesTheDialog) {
    ensureGuiApp();
    bool abortEnabledAfter = true;
    QString status;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dlg || dlg->findChild<QPlainTextEdit*>("status")->toPlainText().isEmpty())
            return;
        poll.stop();
        status = dlg->findChild<QPlainTextEdit*>("status")->toPlainText();
        QTest::keyClick(dlg, Qt::Key_Escape);
        dlg->close();
        EXPECT_TRUE(dlg->isVisible());
        QTest::keyClick(dlg, Qt::Key_Return);
        abortEnabledAfter = dlg->findChild<QPushButton*>("abort")->isEnabled();
    });
    poll.start(10);
    CommDlgJobHost host(nullptr);
    const JobResult result = host.run("Wysyłanie informacji o artykułach.",
                                      [](JobControl& control) { return pausingJob(control, 3); });
    EXPECT_EQ(status, "Wysłano 1");
    EXPECT_FALSE(abortEnabledAfter);
    EXPECT_TRUE(result.success);
    EXPECT_EQ(result.count, 1);
}

// The article windows against ecrsim on a pseudo-terminal.
struct ArticleComm : ::testing::Test {
    void SetUp() override {
        ecrsim::SimOptions options;
        options.articles = {{"00000000000012", "MLEKO", 1, 250, 0, 1500, 375},
                            {"00000000000100", "MAS)O", 1, 699, 0, 0, 0},
                            {"00000000005000", "^MIETANA", 1, 325, 0, 0, 0}};
        options.speed = 9600;
        sim = std::make_unique<ecrsim::Simulator>(options);
        std::string error;
        ASSERT_TRUE(sim->open(error)) << error;
        sim->start();
        Settings& s = f.app->settings();
        s.port = 1;
        s.portSpeed = 9600;
        s.comDevice[0] = sim->slavePath();
        s.ecrNr = 1;
    }
    std::map<std::string, ecrsim::SimArticle> registerArticles() {
        std::map<std::string, ecrsim::SimArticle> out;
        sim->withRegister(1, [&](ecrsim::SimRegister& r) { out = r.articles; });
        return out;
    }
    // "Wyślij wszystkie" of three articles that the server carries to register 1.
    void sendThreeThroughTheServer() {
        f.put("7", "CHLEB", 399);
        f.put("8", "BULKA", 60);
        f.put("9", "SER", 1299);
        f.app->mainFrame()->updateCommands();
        f.prompt.answers = {true};
        // The list keeps its rows while the server has the job.
        int rowsWhileSending = -1;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget())
                rowsWhileSending = f.view->articlesModel().rowCount();
        });
        poll.start(5);
        ASSERT_TRUE(f.app->mainFrame()->execute(cmd::ECR_SEND));
        EXPECT_EQ(rowsWhileSending, 3);
        EXPECT_TRUE(f.shown("Czy chcesz wysłać dane do kasy?"));
        ASSERT_FALSE(f.prompt.shown.empty());
        EXPECT_EQ(f.prompt.shown.back().text, "Wysłano artykuły do kasy.\nWysłano 3, błędów 0");
        const auto table = registerArticles();
        EXPECT_EQ(table.size(), 6u);
        EXPECT_EQ(table.count("00000000000008"), 1u);
        EXPECT_EQ(table.at("00000000000009").price, 1299);
        EXPECT_EQ(table.at("00000000000007").name.substr(0, 5), "CHLEB");
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(f.cell(row, 0), "x");
        EXPECT_TRUE(f.doc->isModified());
    }
    // An online document communicating with register 1 in this program, stopped at the end.
    void startServer() {
        Settings& s = f.app->settings();
        s.receiptDir = f.dir.file("paragony");
        s.receiptBackupDir.clear();
        std::filesystem::create_directory(s.receiptDir);
        server = std::make_unique<TarvelServerDoc>();
        ASSERT_EQ(0, server->addRegister(1));
        ASSERT_TRUE(startOnline(*server, s, f.prompt));
    }
    void TearDown() override {
        if (server)
            stopOnline(*server, f.prompt);
    }
    // Declared first so that the line outlives the document.
    std::unique_ptr<ecrsim::Simulator> sim;
    ArticleFixture f;
    std::unique_ptr<TarvelServerDoc> server;
};

TEST_F(ArticleComm, SendAllDeletesWhatTheDocumentLacksAndMarksTheSent) {
    f.put("5000", utf8ToCp1250("ŚMIETANA").c_str(), 330);
    f.put("77", "NOWY", 100);
    f.dialogs.push_back([](QDialog& d) {
        control<QAbstractButton>(d, "update")->setChecked(true);
        return int(QDialog::Accepted);
    });
    f.app->mainFrame()->execute(cmd::ECR_SEND);
    EXPECT_EQ(
        f.prompt.shown.back().text,
        "Operacja komunikacji z kasą zakończona poprawnie.\nUsunięto 2, wysłano 2 , błędów 0");
    const auto table = registerArticles();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table.at("00000000005000").price, 330);
    EXPECT_EQ(table.at("00000000000077").name.substr(0, 4), "NOWY");
    EXPECT_EQ(f.cell(0, 0), "x");
    EXPECT_EQ(f.cell(1, 0), "x");
    EXPECT_TRUE(f.doc->isModified());
}

TEST_F(ArticleComm, TheCommunicatingOnlineDocumentCarriesSendsAndReads) {
    startServer();
    sendThreeThroughTheServer();

    // A register the online document lacks: nothing goes out, the marks stay.
    f.put("10", "MAKA", 450, false);
    int row = 0;
    while (row < f.view->articlesModel().rowCount() && f.cell(row, 2) != "MAKA")
        ++row;
    f.select({row});
    f.app->settings().ecrNr = 5;
    f.prompt.answers = {true};
    f.app->mainFrame()->execute(cmd::ECR_SEND_SELECTED);
    EXPECT_EQ(f.prompt.shown.back().text, "Brak kasy o numerze logicznym 5.");
    EXPECT_EQ(registerArticles().size(), 6u);
    EXPECT_EQ(f.cell(row, 0), "x");

    f.app->settings().ecrNr = 1;
    f.prompt.answers = {true};
    f.app->mainFrame()->execute(cmd::ECR_SEND_SELECTED);
    EXPECT_EQ(f.prompt.shown.back().text, "Wysłano artykuły do kasy.\nWysłano 1, błędów 0");
    EXPECT_EQ(registerArticles().at("00000000000010").price, 450);
    EXPECT_EQ(f.cell(row, 0), "x");
    EXPECT_TRUE(f.doc->isModified());

    // Reading replaces the list by the register's seven articles.
    f.put("11", "TYLKO TU", 1);
    f.prompt.answers = {true};
    f.app->mainFrame()->execute(cmd::ECR_READ);
    EXPECT_EQ(f.prompt.shown.back().text, "Odebrano 7 artykułów z kasy.");
    ASSERT_EQ(f.view->articlesModel().rowCount(), 7);
    EXPECT_EQ(f.doc->core().articles.findByName("TYLKO TU"), -1);
    EXPECT_GE(f.doc->core().articles.findByName("MLEKO"), 0);
    EXPECT_TRUE(f.prompt.unscripted.empty());
}

// "Przerwij" while articles go out, on the line and through the server: the register keeps
// what it got before the stop, and exactly those articles lose their marks.
TEST_F(ArticleComm, PrzerwijStopsTheSendAndTheMarksMatchTheRegister) {
    std::atomic<bool> pressed{false};
    std::atomic<int> writes{0};
    sim->setAnswerHook([&](int, const std::string& request, std::optional<std::string>&) {
        // The second article waits until the window has pressed "Przerwij".
        if (request.rfind("W0;", 0) == 0 && ++writes == 2)
            for (int i = 0; i < 1000 && !pressed; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return false;
    });
    // On the line the send ends as if the list were exhausted and reports what it reached.
    for (const bool server : {false, true}) {
        SCOPED_TRACE(server ? "server" : "line");
        if (server) {
            startServer();
            sim->withRegister(1, [](ecrsim::SimRegister& r) { r.articles.clear(); });
        }
        f.doc->core().articles.removeAll();
        f.view->refill();
        for (int i = 0; i < 20; ++i)
            f.put(std::to_string(200 + i).c_str(), ("TOWAR " + std::to_string(i)).c_str(), 100);
        f.view->selectAll();
        pressed = false;
        writes = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dlg || dlg->findChild<QPlainTextEdit*>("status")->toPlainText().isEmpty())
                return;
            poll.stop();
            pressed = true;
            dlg->findChild<QPushButton*>()->click();
        });
        poll.start(10);
        f.prompt.answers = {true};
        f.app->mainFrame()->execute(cmd::ECR_SEND_SELECTED);
        EXPECT_TRUE(pressed);
        std::set<std::string> table;
        for (const auto& entry : registerArticles())
            if (entry.first >= "00000000000200" && entry.first < "00000000000220")
                table.insert(entry.first);
        EXPECT_GE(table.size(), 1u);
        EXPECT_LT(table.size(), 20u);
        EXPECT_EQ(f.prompt.shown.back().text,
                  server ? std::string("Wysyłanie przerwane przez użytkownika.")
                         : "Operacja komunikacji z kasą zakończona poprawnie.\nWysłano " +
                               std::to_string(table.size()) + ", błędów 0");
        for (Article* a : f.doc->core().articles)
            EXPECT_EQ(!a->modified, table.count(a->plu.toString()) == 1) << a->plu.toString();
    }
}

TEST_F(ArticleComm, SendAllGoesThroughKosOnlineOnItsControlSocket) {
    const std::string socket = defaultControlPath();
    const std::string program = std::string(KOS_BINARY_DIR) + "/online/server/kos-online";
    std::vector<std::string> args = {program,         f.dir.file("praca.dsr"),
                                     "--device",      sim->slavePath(),
                                     "--port",        "2",
                                     "--speed",       "9600",
                                     "--receipt-dir", f.dir.path(),
                                     "--backup-dir",  "",
                                     "--registers",   "1",
                                     "--control",     socket};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // The simulator's pseudo-terminal stays with the test.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    pid_t pid = -1;
    ASSERT_EQ(0, posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ));
    posix_spawn_file_actions_destroy(&actions);
    struct Kill {
        pid_t pid;
        ~Kill() {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    } killServer{pid};
    for (int i = 0; i < 200 && !serverAnswers(socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(serverAnswers(socket));

    sendThreeThroughTheServer();
}

TEST_F(ArticleComm, ReadingReplacesTheArticlesAndTheHeader) {
    f.put("7", "STARY", 100);
    sim->withRegister(1, [](ecrsim::SimRegister& r) { r.header = {"SKLEP", "", "", "", ""}; });
    f.doc->core().header.lines[2] = "STARA LINIA";
    f.prompt.answers = {true, true};
    f.app->mainFrame()->execute(cmd::ECR_READ);
    ASSERT_EQ(f.view->articlesModel().rowCount(), 3);
    EXPECT_EQ(f.cell(0, 2), "MLEKO");
    EXPECT_EQ(f.prompt.shown.back().text,
              "Operacja komunikacji z kasą zakończona poprawnie.\nOdebrano 3");

    f.app->mainFrame()->execute(cmd::WINDOW_HEADER);
    f.app->mainFrame()->execute(cmd::ECR_READ);
    EXPECT_EQ(f.doc->core().header.lines[0], "SKLEP");
    EXPECT_EQ(f.doc->core().header.lines[2], "");
    EXPECT_EQ(f.prompt.shown.back().text, "Operacja komunikacji z kasą zakończona poprawnie.");

    // With no register on the line the commands report the communication error.
    f.app->settings().comDevice[0] = f.dir.file("no-such-port");
    f.app->mainFrame()->execute(cmd::WINDOW_ARTICLES);
    f.app->mainFrame()->execute(cmd::ECR_ZERO_COUNTERS);
    EXPECT_EQ(f.prompt.shown.back().icon, PromptIcon::Stop);
}

// Register 1 answers only at 9600: the search from 0 passes number 0 and the lower speeds, and
// "Ustaw" makes the find the settings.
TEST_F(ArticleComm, FindRegisterShowsTheFindAndUstawSetsIt) {
    Settings& s = f.app->settings();
    s.ecrNr = 5;
    s.portSpeed = 2400;
    QString nr, port, speed;
    f.dialogs.push_back([&](QDialog& d) {
        setText(d, "start", "0");
        control<QAbstractButton>(d, "search")->click();
        nr = control<QLineEdit>(d, "foundNr")->text();
        port = control<QComboBox>(d, "foundPort")->currentText();
        speed = control<QComboBox>(d, "foundSpeed")->currentText();
        control<QAbstractButton>(d, "set")->click();
        return int(QDialog::Accepted);
    });
    f.app->mainFrame()->execute(cmd::FIND_ECR);
    EXPECT_EQ(nr, "1");
    EXPECT_EQ(port, "com1");
    EXPECT_EQ(speed, "9600");
    EXPECT_EQ(s.ecrNr, 1);
    EXPECT_EQ(s.portSpeed, 9600);
    EXPECT_EQ(s.port, 1);
    EXPECT_TRUE(f.prompt.shown.empty());
}

TEST(ArticleHeader, LinesAreDrawnAlignedIn18WideBox) {
    ensureGuiApp();
    RecordingDevice device(400, 300, 96);
    QPainter painter(&device);
    const QFontMetrics fm = painter.fontMetrics();
    const int box = 18 * fm.horizontalAdvance(QLatin1Char('W'));
    const int abc = fm.horizontalAdvance("ABC");
    for (uint8_t alignment : {0, 1, 2}) {
        ECRHeader header;
        header.lines[1] = "ABC";
        header.alignment = alignment;
        device.texts.clear();
        drawHeader(painter, header);
        double x = -1;
        for (const auto& t : device.texts)
            if (t.text == "ABC")
                x = t.pos.x();
        const double expected[] = {0.0, (box - abc) / 2.0, double(box - abc)};
        EXPECT_NEAR(x, expected[alignment], 1.0) << int(alignment);
    }
}

TEST(ArticleHeader, DialogRefusesLinesOver18Characters) {
    ensureGuiApp();
    ScriptedPrompt prompt;
    ECRHeader header;
    header.lines[1] = utf8ToCp1250("ZA DŁUGA LINIA Z KASY");  // 21 characters from the register
    CHeaderDlg dialog(header, prompt);
    EXPECT_EQ(pressOk(dialog), QDialog::Rejected);
    EXPECT_EQ(prompt.shown.at(0).text, "Wprowadź nie więcej niż 18 znaków.");
    EXPECT_EQ(dialog.focusWidget()->objectName(), "line2");

    QLineEdit* line = control<QLineEdit>(dialog, "line2");
    line->setText("123456789012345678");
    line->setFocus();
    QTest::keyClicks(line, "9");
    EXPECT_EQ(line->text(), "123456789012345678");
    control<QRadioButton>(dialog, "align2")->setChecked(true);
    EXPECT_EQ(pressOk(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.header().lines[1], "123456789012345678");
    EXPECT_EQ(dialog.header().alignment, ECRHeader::RIGHT);
}

}  // namespace
}  // namespace kos::test
