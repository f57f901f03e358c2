// Starting and stopping online communication: every refusal of the start leaves the document
// off with its port closed; a start sets the line timing, logs, and claims the process's one
// communicating document until the stop.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "CommSupport.h"
#include "online/OnlineComm.h"
#include "support/Pty.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

const std::string NO_DIR =
    "Przed rozpoczęciem komunikacji należy określić katalog gdzie będą zapisywane informacje o "
    "paragonach.";
const std::string LOG_START = "Rozpoczęcie komunikacji z kasami w trybie online";
const std::string LOG_STOP = "Zakończenie komunikacji z kasami w trybie online";

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class StartStopTest : public ::testing::Test {
protected:
    void expectOff() {
        EXPECT_FALSE(doc.isOnline());
        EXPECT_FALSE(doc.link().isOpen());
        EXPECT_EQ(nullptr, communicatingDocument());
    }
    std::vector<std::string> texts() {
        std::vector<std::string> t;
        for (const auto& s : prompt.shown)
            t.push_back(s.text);
        return t;
    }

    TempDir tmp;
    Pty pty;
    FixedDateClock clock;
    TarvelServerDoc doc{clock};
    ScriptedPrompt prompt;
    std::string receipts = tmp.file("receipts");
    Settings settings = onlineSettings(pty.slavePath(), 9600, receipts, "");
};

struct FailureCase {
    const char* name;
    // Prepares the settings (receipt directory in a fresh folder) and the world around them.
    std::function<void(Settings&, const TempDir&, SerialPort& holder)> arrange;
    std::deque<bool> answers;
    // Texts shown in order; "{r}" and "{b}" stand for the receipt and backup paths.
    std::vector<std::string> shown;
};

void makeDir(const std::string& path) {
    ASSERT_EQ(0, ::mkdir(path.c_str(), 0755));
}

std::string filled(std::string text, const Settings& s) {
    for (auto [key, value] :
         {std::pair<std::string, std::string>{"{r}", s.receiptDir}, {"{b}", s.receiptBackupDir}}) {
        const size_t at = text.find(key);
        if (at != std::string::npos)
            text.replace(at, key.size(), value);
    }
    return text;
}

TEST_F(StartStopTest, EveryFailedStartLeavesCommunicationOffAndThePortClosed) {
    const std::string notDir =
        "Lokalizacja gdzie będą zapisywane informacje o paragonach nie jest katalogiem.\n\"{r}\"";
    const std::string askCreate =
        "Katalog gdzie będą zapisywane informacje o paragonach nie istnieje,\nCzy chcesz "
        "utworzyć \"{r}\"?";
    const std::string askCreateBackup =
        "Katalog zapasowy gdzie będą zapisywane informacje o paragonach nie istnieje,\nCzy "
        "chcesz utworzyć \"{b}\"?";
    const std::string backupNotDir =
        "Lokalizacja zapasowa, gdzie będą zapisywane informacje o paragonach nie jest "
        "katalogiem.\n\"{b}\"";
    const std::string portFailed =
        "Błąd podczas otwierania portu szeregowego com1 do komunikacji z kasami.";

    const std::vector<FailureCase> cases = {
        {"empty receipt directory",
         [](Settings& s, auto&, auto&) { s.receiptDir.clear(); },
         {},
         {NO_DIR}},
        {"missing directory, No", [](auto&, auto&, auto&) {}, {false}, {askCreate}},
        {"missing parent, Yes",
         [](Settings& s, const TempDir& d, auto&) { s.receiptDir = d.file("a/b"); },
         {true},
         {askCreate, "Błąd podczas tworzenia katalogu."}},
        {"file instead of directory",
         [](Settings& s, auto&, auto&) { writeFile(s.receiptDir, "x"); },
         {},
         {notDir}},
        {"missing backup, No",
         [](Settings& s, const TempDir& d, auto&) {
             makeDir(s.receiptDir);
             s.receiptBackupDir = d.file("backup");
         },
         {false},
         {askCreateBackup}},
        {"file instead of backup directory",
         [](Settings& s, const TempDir& d, auto&) {
             makeDir(s.receiptDir);
             s.receiptBackupDir = d.file("backup");
             writeFile(s.receiptBackupDir, "x");
         },
         {},
         {backupNotDir}},
        {"no such device",
         [](Settings& s, const TempDir& d, auto&) {
             makeDir(s.receiptDir);
             s.comDevice[0] = d.file("ttyNONE");
         },
         {},
         {portFailed}},
        {"speed the registers do not use",
         [](Settings& s, auto&, auto&) {
             makeDir(s.receiptDir);
             s.portSpeed = 19200;
         },
         {},
         {"Błąd podczas ustawiania parametrów portu szeregowego com1 do komunikacji z kasami."}},
        {"port held elsewhere",
         [](Settings& s, auto&, SerialPort& holder) {
             makeDir(s.receiptDir);
             ASSERT_TRUE(holder.openDevice(s.comDevice[0], 9600));
         },
         {},
         {portFailed}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        SerialPort holder;
        Settings s = onlineSettings(pty.slavePath(), 9600, dir.file("receipts"), "");
        prompt = ScriptedPrompt();
        prompt.answers = c.answers;
        c.arrange(s, dir, holder);

        EXPECT_FALSE(startOnline(doc, s, prompt));

        std::vector<std::string> expected;
        for (const std::string& text : c.shown)
            expected.push_back(filled(text, s));
        EXPECT_EQ(expected, texts());
        EXPECT_TRUE(prompt.answers.empty());
        for (size_t i = 0; i < prompt.shown.size(); ++i)
            EXPECT_EQ(i < c.answers.size() ? PromptIcon::Question : PromptIcon::Stop,
                      prompt.shown[i].icon);
        expectOff();
    }
}

TEST_F(StartStopTest, AnsweredYesCreatesBothDirectoriesAndStarts) {
    settings.receiptBackupDir = tmp.file("backup");
    prompt.answers = {true, true};
    ASSERT_TRUE(startOnline(doc, settings, prompt));
    EXPECT_EQ(2u, prompt.shown.size());
    EXPECT_TRUE(isDirectory(receipts));
    EXPECT_TRUE(isDirectory(settings.receiptBackupDir));
    stopOnline(doc, prompt);
    expectOff();
}

TEST_F(StartStopTest, TimingFollowsTheSpeedAndTheLogRecordsStartAndStop) {
    ASSERT_EQ(0, ::mkdir(receipts.c_str(), 0755));
    const std::vector<std::pair<int, int>> speeds = {{2400, 400}, {4800, 200}, {9600, 100}};
    for (auto [speed, beginFrame] : speeds) {
        SCOPED_TRACE(speed);
        settings.portSpeed = speed;
        ASSERT_TRUE(startOnline(doc, settings, prompt));
        EXPECT_TRUE(doc.isOnline());
        EXPECT_TRUE(doc.link().isOpen());
        EXPECT_EQ(beginFrame, doc.link().getBeginFrameTimeout());
        EXPECT_EQ(&doc, communicatingDocument());
        EXPECT_EQ(receipts, doc.receiptDir());
        stopOnline(doc, prompt);
        expectOff();
        EXPECT_EQ("", doc.receiptDir());
        EXPECT_EQ("", doc.backupDir());
    }
    EXPECT_TRUE(prompt.shown.empty());
    const std::string log = readFile(receipts + "/TarvelServer.log");
    size_t starts = 0, stops = 0;
    for (size_t at = 0; (at = log.find(LOG_START, at)) != std::string::npos; ++at)
        ++starts;
    for (size_t at = 0; (at = log.find(LOG_STOP, at)) != std::string::npos; ++at)
        ++stops;
    EXPECT_EQ(3u, starts);
    EXPECT_EQ(3u, stops);
    EXPECT_LT(log.find(LOG_START), log.find(LOG_STOP));
}

TEST_F(StartStopTest, OnlyOneDocumentCommunicatesAtATime) {
    ASSERT_EQ(0, ::mkdir(receipts.c_str(), 0755));
    TarvelServerDoc other(clock);
    ScriptedPrompt otherPrompt;
    auto state = [](const TarvelServerDoc& d) {
        const ToggleButtonState s = toggleButtonState(d);
        return std::make_pair(s.pressed, s.enabled);
    };
    EXPECT_EQ(std::make_pair(false, true), state(doc));
    ASSERT_TRUE(startOnline(doc, settings, prompt));
    EXPECT_EQ(std::make_pair(true, true), state(doc));
    EXPECT_EQ(std::make_pair(true, false), state(other));

    EXPECT_FALSE(startOnline(other, settings, otherPrompt));
    EXPECT_FALSE(toggleOnline(other, settings, otherPrompt));
    ASSERT_EQ(2u, otherPrompt.shown.size());
    for (const auto& s : otherPrompt.shown) {
        EXPECT_EQ("Komunikacja z kasami jest włączona w innym dokumencie.", s.text);
        EXPECT_EQ(PromptIcon::None, s.icon);
    }
    EXPECT_FALSE(other.isOnline());
    EXPECT_EQ(&doc, communicatingDocument());

    // The toggle asks first; No keeps communication running.
    prompt.answers = {false, true};
    EXPECT_TRUE(toggleOnline(doc, settings, prompt));
    EXPECT_FALSE(toggleOnline(doc, settings, prompt));
    EXPECT_EQ("Czy na pewno chcesz zakończyć komunikację z kasami?", prompt.shown.back().text);
    expectOff();
    EXPECT_EQ(std::make_pair(false, true), state(other));

    EXPECT_TRUE(toggleOnline(other, settings, otherPrompt));
    EXPECT_EQ(&other, communicatingDocument());
    stopOnline(other, otherPrompt);
    EXPECT_EQ(nullptr, communicatingDocument());
}

}  // namespace
}  // namespace kos::test
