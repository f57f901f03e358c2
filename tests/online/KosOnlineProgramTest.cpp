// The kos-online program as a separate process against simulated registers: receipts written
// and reported, a clean end on SIGTERM with the exports and the saved document, and its
// failures on standard error with a non-zero exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>

#include "CommSupport.h"
#include "CommandLine.h"
#include "online/OnlineComm.h"
#include "support/TempDir.h"

extern char** environ;

namespace kos::test {
namespace {

const std::string PROGRAM = std::string(KOS_BINARY_DIR) + "/online/server/kos-online";

// kos-online with its standard output and error in files and standard input from /dev/null.
class Program {
public:
    Program(const TempDir& dir, std::vector<std::string> args)
        : out_(dir.file("stdout.txt")), err_(dir.file("stderr.txt")) {
        // Settings of the run come from a settings file of the test's own.
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        setenv("HOME", dir.path().c_str(), 1);
        // Its control socket too, so runs side by side never meet on one.
        setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        // Nothing else of the test goes along: a simulator's pseudo-terminal held open by the
        // child would never hang up.
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
        args.insert(args.begin(), PROGRAM);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(0, posix_spawn(&pid_, PROGRAM.c_str(), &actions, nullptr, argv.data(), environ));
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    // The exit status, or -1 when it did not exit normally.
    int wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void signal(int sig) { kill(pid_, sig); }
    std::string out() const { return readFile(out_); }
    std::string err() const { return readFile(err_); }

    // Waits until standard output holds count occurrences of text.
    bool waitForOutput(const std::string& text, size_t count, int timeoutMs) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            if (occurrences(out(), text) >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    static size_t occurrences(const std::string& s, const std::string& text) {
        size_t n = 0;
        for (size_t at = 0; (at = s.find(text, at)) != std::string::npos; at += text.size())
            ++n;
        return n;
    }

private:
    std::string out_, err_;
    pid_t pid_ = -1;
};

TEST(KosOnlineProgramTest, CollectsReceiptsAndOnSigtermExportsAndSaves) {
    TempDir dir;
    ecrsim::SimOptions o;
    o.registers = {4, 5};
    o.receiptEveryMs = 100;
    o.maxReceipts = 4;
    o.articles = ecrsim::sampleArticles();
    ecrsim::Simulator sim(o);
    std::string error;
    ASSERT_TRUE(sim.open(error)) << error;
    sim.start();

    const std::string receipts = dir.file("paragony");  // missing: created without a question
    const std::string dsr = dir.file("praca.dsr");
    Program p(dir, {dsr, "--device", sim.slavePath(), "--port", "2", "--speed", "9600",
                    "--receipt-dir", receipts, "--backup-dir", "", "--registers", "4,5", "--export",
                    dir.file("a.txt"), "--export-reset", dir.file("b.txt")});
    ASSERT_TRUE(p.waitForOutput(": paragon ", 8, 60000)) << p.out() << p.err();
    p.signal(SIGTERM);
    EXPECT_EQ(0, p.wait()) << p.err();
    sim.stop();

    const std::string out = p.out();
    EXPECT_NE(std::string::npos, out.find("kasa 4: podłączona\n"));
    EXPECT_NE(std::string::npos, out.find("kasa 5: nie podłączona\n"));
    std::vector<std::string> files = filesIn(receipts);
    files.erase(std::remove(files.begin(), files.end(), "TarvelServer.log"), files.end());
    EXPECT_EQ(8u, files.size());
    for (const std::string& f : files)
        EXPECT_EQ(1u, Program::occurrences(out, ": paragon " + receipts + "/" + f + "\n")) << f;
    EXPECT_NE(std::string::npos, p.err().find("Czy chcesz utworzyć \"" + receipts + "\"? [T/n] T"));

    // Both exports after the stop; the first leaves the sales, the second takes them out.
    const std::string a = readFile(dir.file("a.txt"));
    EXPECT_EQ(0u, a.rfind("4;200004;5;200005;\r\n", 0)) << a;
    EXPECT_EQ(a, readFile(dir.file("b.txt")));
    SalesSums exported;
    addExportSums(a, exported);
    EXPECT_EQ(withoutZeros(journalSums(sim.journal())), withoutZeros(exported));

    TarvelServerDoc saved;
    ASSERT_EQ(DsrStatus::Ok, saved.readFile(dsr));
    EXPECT_EQ(0, saved.findSlot(4));
    EXPECT_EQ(1, saved.findSlot(5));
    EXPECT_TRUE(saved.salesEntryCount() == 0);
    EXPECT_EQ("", saved.receiptDir());  // emptied by the stop before the save
}

// The adapter is pulled and plugged in again under the same name: the user sees both, and the
// register is collected from again without a restart.
TEST(KosOnlineProgramTest, ReportsALostPortAndItsReturn) {
    TempDir dir;
    const std::string link = dir.file("ttyUSB0");
    ecrsim::SimOptions o;
    o.registers = {4};
    o.linkPath = link;
    auto sim = std::make_unique<ecrsim::Simulator>(o);
    std::string error;
    ASSERT_TRUE(sim->open(error)) << error;
    sim->start();
    Program p(dir, {dir.file("praca.dsr"), "--device", link, "--speed", "9600", "--receipt-dir",
                    dir.path(), "--backup-dir", "", "--registers", "4"});
    ASSERT_TRUE(p.waitForOutput("kasa 4: podłączona\n", 1, 30000)) << p.out() << p.err();
    sim.reset();
    ASSERT_TRUE(p.waitForOutput("port " + link + ": utracono połączenie\n", 1, 30000)) << p.out();
    EXPECT_TRUE(p.waitForOutput("kasa 4: nie podłączona\n", 1, 30000)) << p.out();

    sim = std::make_unique<ecrsim::Simulator>(o);
    ASSERT_TRUE(sim->open(error)) << error;
    sim->start();
    ASSERT_TRUE(p.waitForOutput("port " + link + ": ponownie otwarty\n", 1, 30000)) << p.out();
    EXPECT_TRUE(p.waitForOutput("kasa 4: podłączona\n", 2, 30000)) << p.out();
    p.signal(SIGTERM);
    EXPECT_EQ(0, p.wait()) << p.err();
}

TEST(KosOnlineProgramTest, FailuresGoToStandardErrorWithANonZeroStatus) {
    struct Case {
        std::vector<std::string> args;  // after the document; "{dir}" is the test's folder
        int status;
        std::string err;  // the beginning of standard error
    };
    const std::vector<Case> cases = {
        {{"--speed", "fast"}, 2, "Niepoprawna wartość opcji --speed: fast\n"},
        {{"--port", "5"}, 2, "Niepoprawna wartość opcji --port: 5\n"},
        {{"--bogus", "1"}, 2, "Nieznana opcja --bogus\n"},
        {{"--receipt-dir"}, 2, "Brak wartości opcji --receipt-dir\n"},
        {{"--receipt-dir", ""},
         1,
         "Przed rozpoczęciem komunikacji należy określić katalog gdzie będą zapisywane "
         "informacje o paragonach.\n"},
        {{"--receipt-dir", "{dir}", "--registers", "1,x"},
         1,
         "Niepoprawny format numeru kasy x.\n"},
        {{"--receipt-dir", "{dir}", "--registers", "0,100"},
         1,
         "Numer kasy 100 jest spoza zakresu od 0 do 99.\n"},
        {{"--receipt-dir", "{dir}", "--backup-dir", "", "--device", "{dir}/ttyNONE", "--port", "3"},
         1,
         "Błąd podczas otwierania portu szeregowego com3 do komunikacji z kasami.\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::vector<std::string> args = {dir.file("x.dsr")};
        for (std::string a : c.args) {
            if (a.rfind("{dir}", 0) == 0)
                a.replace(0, 5, dir.path());
            args.push_back(a);
        }
        SCOPED_TRACE(::testing::PrintToString(args));
        Program p(dir, args);
        EXPECT_EQ(c.status, p.wait());
        EXPECT_EQ(0u, p.err().rfind(c.err, 0)) << p.err();
    }
    TempDir dir;
    // A document that cannot be written is refused before communication starts.
    Program unwritable(
        dir, {dir.file("no/x.dsr"), "--receipt-dir", dir.path(), "--device", dir.file("ttyNONE")});
    EXPECT_EQ(1, unwritable.wait());
    EXPECT_EQ("Failed to save document.\n", unwritable.err());
    Program noDocument(dir, {});
    EXPECT_EQ(2, noDocument.wait());
    EXPECT_EQ(0u, noDocument.err().rfind("Brak nazwy dokumentu\n", 0));
}

TEST(KosOnlineProgramTest, LeavesAnUnreadableDocumentAsItIsAndRefusesOneInUse) {
    TempDir dir;
    // Version 1, two empty directory strings, 11 slots: "Niepoprawny format pliku.".
    const std::string unreadable("\1\0\0\0\0\0\13\0\0\0\5\6", 12);
    writeFile(dir.file("x.dsr"), unreadable);
    const std::vector<std::string> rest = {"--receipt-dir", dir.path(), "--device",
                                           dir.file("ttyNONE")};
    std::vector<std::string> args = {dir.file("x.dsr")};
    args.insert(args.end(), rest.begin(), rest.end());
    Program p(dir, args);
    EXPECT_EQ(1, p.wait());
    EXPECT_EQ("Niepoprawny format pliku.\n", p.err());
    EXPECT_EQ(unreadable, readFile(dir.file("x.dsr")));

    TarvelServerDoc holder;
    ASSERT_EQ(Journal::Claim::Owned, holder.attachJournal(dir.file("y.dsr")));
    args[0] = dir.file("y.dsr");
    Program second(dir, args);
    EXPECT_EQ(1, second.wait());
    EXPECT_EQ(std::string(TEXT_JOURNAL_HELD) + "\n", second.err());
    struct stat st {};
    EXPECT_NE(0, ::stat(dir.file("y.dsr").c_str(), &st));
}

}  // namespace
}  // namespace kos::test
