// The online document's window against registers on a pseudo-terminal: the toggle with its
// states and questions, status texts, saving and closing while online, the export, and a
// window that stays responsive while silent registers are polled.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMdiArea>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <thread>

#include "GuiTestSupport.h"
#include "Simulator.h"
#include "online/OnlineComm.h"
#include "online/ui/OnlineCommands.h"
#include "online/ui/OnlineDocument.h"
#include "online/ui/TarvelServerView.h"
#include "shell/ChildFrame.h"
#include "shell/Commands.h"
#include "support/Pty.h"

namespace kos::test {
namespace {

const char* const TEXT_ASK_STOP = "Czy na pewno chcesz zakończyć komunikację z kasami?";
const char* const TEXT_OTHER_ONLINE = "Komunikacja z kasami jest włączona w innym dokumencie.";
const char* const TEXT_APP_CLOSE_REFUSED =
    "Przed zamknięciem aplikacji trzeba zakończyć komunikację z kasami.";

// Runs the event loop until pred holds or timeoutMs passed.
template <typename Pred>
bool waitFor(Pred pred, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

struct OnlineWindowTest : ::testing::Test {
    // Declared first so that the line outlives the documents polling it.
    std::unique_ptr<ecrsim::Simulator> sim;
    std::unique_ptr<Pty> silentLine;
    GuiFixture f;
    MainFrame* frame = f.app->mainFrame();

    void useDevice(const std::string& device, int speed) {
        Settings& s = f.app->settings();
        s.port = 1;
        s.portSpeed = speed;
        s.comDevice[0] = device;
        s.receiptDir = f.dir.file("paragony");
        s.receiptBackupDir.clear();
        std::filesystem::create_directory(s.receiptDir);
    }
    void useSimulator(std::vector<int> registers) {
        ecrsim::SimOptions options;
        options.registers = std::move(registers);
        sim = std::make_unique<ecrsim::Simulator>(options);
        std::string error;
        ASSERT_TRUE(sim->open(error)) << error;
        sim->start();
        useDevice(sim->slavePath(), 9600);
    }
    OnlineDocument* newDocument() {
        frame->execute(cmd::FILE_NEW);
        return qobject_cast<OnlineDocument*>(frame->activeDocument());
    }
    TarvelServerView* activeView() {
        return qobject_cast<TarvelServerView*>(frame->activeFrame()->widget());
    }
    void activate(OnlineDocument* doc) {
        for (QMdiSubWindow* w : frame->mdiArea()->subWindowList())
            if (static_cast<ChildFrame*>(w)->document() == doc)
                frame->mdiArea()->setActiveSubWindow(w);
        frame->updateCommands();
    }
    QAction* toggle() { return frame->action(cmd::ONLINE_TOGGLE); }
    std::vector<QString> statuses(TarvelServerView* view) {
        std::vector<QString> s;
        for (int i = 0; i < view->topLevelItemCount(); ++i)
            s.push_back(view->topLevelItem(i)->text(1));
        return s;
    }
};

TEST_F(OnlineWindowTest, ToggleConnectsTheRegistersAndStopsAfterTheQuestion) {
    useSimulator({8, 2});
    OnlineDocument* doc = newDocument();
    TarvelServerView* view = activeView();
    view->addRegisters("8,2");
    frame->updateCommands();
    EXPECT_TRUE(toggle()->isEnabled());
    EXPECT_FALSE(toggle()->isChecked());

    ASSERT_TRUE(frame->execute(cmd::ONLINE_TOGGLE));
    ASSERT_TRUE(doc->isOnline()) << (f.texts().empty() ? "" : f.texts().back());
    EXPECT_TRUE(toggle()->isChecked());
    EXPECT_TRUE(toggle()->isEnabled());
    EXPECT_FALSE(frame->action(cmd::FILE_SAVE)->isEnabled());
    EXPECT_FALSE(frame->action(cmd::FILE_SAVE_AS)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::ADD)->isEnabled());
    const std::vector<QString> connected(2, "podłączona");
    ASSERT_TRUE(waitFor([&] { return statuses(view) == connected; }, 20000));
    EXPECT_TRUE(std::filesystem::exists(f.dir.file("paragony/TarvelServer.log")));

    f.prompt.answers = {false};
    frame->execute(cmd::ONLINE_TOGGLE);
    EXPECT_TRUE(doc->isOnline());
    EXPECT_EQ(f.texts(), std::vector<std::string>{TEXT_ASK_STOP});

    f.prompt.answers = {true};
    frame->execute(cmd::ONLINE_TOGGLE);
    EXPECT_FALSE(doc->isOnline());
    EXPECT_FALSE(toggle()->isChecked());
    EXPECT_TRUE(frame->action(cmd::FILE_SAVE_AS)->isEnabled());
    drainEvents();
    EXPECT_EQ(statuses(view), std::vector<QString>(2, "nie podłączona"));
}

TEST_F(OnlineWindowTest, AFailedStartLeavesItOff) {
    useSimulator({1});
    f.app->settings().receiptDir.clear();
    OnlineDocument* doc = newDocument();
    frame->execute(cmd::ONLINE_TOGGLE);
    EXPECT_FALSE(doc->isOnline());
    EXPECT_FALSE(toggle()->isChecked());
    EXPECT_EQ(f.texts(), std::vector<std::string>{
                             "Przed rozpoczęciem komunikacji należy określić katalog gdzie "
                             "będą zapisywane informacje o paragonach."});
}

TEST_F(OnlineWindowTest, OnlyOneDocumentCommunicates) {
    useSimulator({1});
    OnlineDocument* first = newDocument();
    frame->execute(cmd::ONLINE_TOGGLE);
    ASSERT_TRUE(first->isOnline());
    OnlineDocument* second = newDocument();
    ASSERT_NE(first, second);
    activate(second);
    // Pressed and disabled for the other document.
    EXPECT_TRUE(toggle()->isChecked());
    EXPECT_FALSE(toggle()->isEnabled());
    EXPECT_TRUE(frame->action(cmd::FILE_SAVE_AS)->isEnabled());
    // Even run directly, it refuses.
    second->toggleOnline();
    EXPECT_FALSE(second->isOnline());
    EXPECT_EQ(f.texts(), std::vector<std::string>{TEXT_OTHER_ONLINE});
    EXPECT_EQ(f.prompt.shown.back().icon, PromptIcon::None);

    f.prompt.answers = {true};
    activate(first);
    frame->execute(cmd::ONLINE_TOGGLE);
    ASSERT_FALSE(first->isOnline());
    activate(second);
    EXPECT_FALSE(toggle()->isChecked());
    EXPECT_TRUE(toggle()->isEnabled());
}

TEST_F(OnlineWindowTest, ClosingIsRefusedWhileOnline) {
    useSimulator({3});
    OnlineDocument* doc = newDocument();
    activeView()->addRegisters("3");  // modified, so a close would ask to save
    frame->execute(cmd::ONLINE_TOGGLE);
    ASSERT_TRUE(doc->isOnline());

    frame->execute(cmd::FILE_CLOSE);
    frame->activeFrame()->close();
    drainEvents();
    ASSERT_EQ(f.app->docManager().documents().size(), 1);
    EXPECT_EQ(
        f.texts(),
        std::vector<std::string>(
            2, "Przed zamknięciem dokumentu należy zakończyć wyłączyć komunikację z kasami."));
    EXPECT_EQ(f.prompt.shown[0].icon, PromptIcon::None);

    f.prompt.shown.clear();
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(f.texts(), std::vector<std::string>{TEXT_APP_CLOSE_REFUSED});
    EXPECT_EQ(f.prompt.shown[0].icon, PromptIcon::None);
    EXPECT_TRUE(doc->isOnline());

    // After stopping, closing goes on with the save question (answered No here).
    f.prompt.shown.clear();
    f.prompt.answers = {true, false};
    frame->execute(cmd::ONLINE_TOGGLE);
    ASSERT_FALSE(doc->isOnline());
    EXPECT_TRUE(frame->close());
    drainEvents();
    EXPECT_TRUE(f.app->docManager().documents().isEmpty());
    ASSERT_EQ(f.prompt.shown.size(), 2u);
    EXPECT_EQ(f.prompt.shown[1].icon, PromptIcon::Question);
}

TEST_F(OnlineWindowTest, ExportAsksForTheFileAndWritesIt) {
    newDocument();
    activeView()->addRegisters("8,2");
    frame->updateCommands();
    EXPECT_TRUE(frame->action(cmd::EXPORT_SALES)->isEnabled());
    frame->execute(cmd::EXPORT_SALES);  // cancelled
    ASSERT_EQ(f.files.saveRequests.size(), 1u);
    const SaveFileRequest& r = f.files.saveRequests[0];
    EXPECT_EQ(r.defaultName, "sprzedaz");
    EXPECT_EQ(r.defaultSuffix, "txt");
    EXPECT_EQ(r.filter, "Plik tekstowy (*.txt);;Wszystkie pliki (*.*)");

    const std::string path = f.dir.file("sprzedaz.txt");
    f.files.answers = {QString::fromStdString(path)};
    frame->execute(cmd::EXPORT_SALES_RESET);
    EXPECT_EQ(readFile(path), "8;;2;;\r\n0,000;0,000;0,000;0,000;\r\n");
    EXPECT_TRUE(f.prompt.shown.empty());

    f.files.answers = {QString::fromStdString(f.dir.file("missing/sprzedaz.txt"))};
    frame->execute(cmd::EXPORT_SALES);
    EXPECT_EQ(f.texts(), std::vector<std::string>{"Błąd podczas otwierania pliku."});
}

TEST_F(OnlineWindowTest, WindowStaysResponsiveWhileTwelveSilentRegistersArePolled) {
    // Nobody answers on this line: each poll waits out the 400 ms of 2400 bit/s.
    silentLine = std::make_unique<Pty>();
    useDevice(silentLine->slavePath(), 2400);
    OnlineDocument* doc = newDocument();
    activeView()->addRegisters("1,2,3,4,5,6,7,8,9,10,11,12");
    frame->execute(cmd::ONLINE_TOGGLE);
    ASSERT_TRUE(doc->isOnline());

    // A 10 ms timer on the window's thread; the longest gap between its ticks is how long the
    // window could not answer the user.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        ++ticks;
        frame->updateCommands();
    });
    timer.start(10);
    waitFor([&] { return clock.elapsed() > 2500; }, 5000);
    timer.stop();
    EXPECT_GT(ticks, 50);
    // A poll of a silent register takes 400 ms; a window waiting on the line would show it.
    EXPECT_LT(longest, 300);
    RecordProperty("longest_gap_ms", static_cast<int>(longest));

    f.prompt.answers = {true};
    QElapsedTimer stopTime;
    stopTime.start();
    frame->execute(cmd::ONLINE_TOGGLE);
    EXPECT_FALSE(doc->isOnline());
    // The stop waits for the poll in progress, and no longer.
    EXPECT_LT(stopTime.elapsed(), 2000);
}

}  // namespace
}  // namespace kos::test
