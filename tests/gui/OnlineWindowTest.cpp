// The online document's commands in the window: the toggle with its three states and its
// questions, saving and closing while online, and the export's save dialog. Communication here
// is a stand-in worker that only takes and releases the register lock.
#include <gtest/gtest.h>

#include <QAction>
#include <QMdiArea>
#include <chrono>
#include <thread>

#include "GuiTestSupport.h"
#include "app/ui/ChildFrame.h"
#include "app/ui/Commands.h"
#include "online/ui/OnlineDocument.h"
#include "online/ui/TarvelServerView.h"

namespace kos::test {
namespace {

struct Calls {
    int starts = 0;
    int stops = 0;
    bool startResult = true;
    std::vector<std::pair<std::string, bool>> exports;
};

OnlineOperations standInOperations(Calls& calls) {
    OnlineOperations ops;
    ops.start = [&calls](TarvelServerDoc& doc, const Settings&, Prompt&) {
        ++calls.starts;
        if (!calls.startResult)
            return false;
        doc.worker = std::thread([&doc] {
            while (doc.registerLock.lockUnlessStopped()) {
                doc.registerLock.unlock();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        return true;
    };
    ops.stop = [&calls](TarvelServerDoc& doc, Prompt&) {
        ++calls.stops;
        doc.registerLock.setStop();
        doc.worker.join();
        doc.worker = std::thread();
    };
    ops.exportSales = [&calls](TarvelServerDoc&, const std::string& path, bool reset, Prompt&) {
        calls.exports.emplace_back(path, reset);
    };
    return ops;
}

struct OnlineWindowTest : ::testing::Test {
    Calls calls;
    GuiFixture f{standInOperations(calls)};
    MainFrame* frame = f.app->mainFrame();

    OnlineDocument* newDocument() {
        frame->execute(cmd::FILE_NEW);
        return qobject_cast<OnlineDocument*>(frame->activeDocument());
    }
    void activate(OnlineDocument* doc) {
        for (QMdiSubWindow* w : frame->mdiArea()->subWindowList())
            if (static_cast<ChildFrame*>(w)->document() == doc)
                frame->mdiArea()->setActiveSubWindow(w);
        frame->updateCommands();
    }
    QAction* toggle() { return frame->action(cmd::ONLINE_TOGGLE); }
};

TEST_F(OnlineWindowTest, ToggleStartsAndStopsAfterTheQuestion) {
    OnlineDocument* doc = newDocument();
    frame->updateCommands();
    EXPECT_TRUE(toggle()->isEnabled());
    EXPECT_FALSE(toggle()->isChecked());

    ASSERT_TRUE(frame->execute(cmd::ONLINE_TOGGLE));
    EXPECT_EQ(calls.starts, 1);
    EXPECT_TRUE(doc->isOnline());
    EXPECT_TRUE(toggle()->isChecked());
    EXPECT_TRUE(toggle()->isEnabled());
    EXPECT_FALSE(frame->action(cmd::FILE_SAVE)->isEnabled());
    EXPECT_FALSE(frame->action(cmd::FILE_SAVE_AS)->isEnabled());
    // Registers may still be added while online.
    EXPECT_TRUE(frame->action(cmd::ADD)->isEnabled());

    f.prompt.answers = {false};
    frame->execute(cmd::ONLINE_TOGGLE);
    EXPECT_TRUE(doc->isOnline());
    ASSERT_EQ(f.prompt.shown.size(), 1u);
    EXPECT_EQ(f.prompt.shown[0].text, TEXT_ASK_STOP_ONLINE);

    f.prompt.answers = {true};
    frame->execute(cmd::ONLINE_TOGGLE);
    EXPECT_FALSE(doc->isOnline());
    EXPECT_EQ(calls.stops, 1);
    EXPECT_FALSE(toggle()->isChecked());
    EXPECT_TRUE(frame->action(cmd::FILE_SAVE_AS)->isEnabled());
}

TEST_F(OnlineWindowTest, AFailedStartLeavesItOff) {
    OnlineDocument* doc = newDocument();
    calls.startResult = false;
    frame->execute(cmd::ONLINE_TOGGLE);
    EXPECT_EQ(calls.starts, 1);
    EXPECT_FALSE(doc->isOnline());
    EXPECT_FALSE(toggle()->isChecked());
}

TEST_F(OnlineWindowTest, OnlyOneDocumentCommunicates) {
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
    EXPECT_EQ(calls.starts, 1);
    EXPECT_TRUE(f.shown(TEXT_ONLINE_ELSEWHERE));
    EXPECT_EQ(f.prompt.shown.back().icon, PromptIcon::None);

    f.prompt.answers = {true};
    activate(first);
    frame->execute(cmd::ONLINE_TOGGLE);
    activate(second);
    EXPECT_FALSE(toggle()->isChecked());
    EXPECT_TRUE(toggle()->isEnabled());
}

TEST_F(OnlineWindowTest, ClosingIsRefusedWhileOnline) {
    OnlineDocument* doc = newDocument();
    auto* view = qobject_cast<TarvelServerView*>(frame->activeFrame()->widget());
    view->addRegisters("3");  // modified, so a close would ask to save
    frame->execute(cmd::ONLINE_TOGGLE);

    frame->execute(cmd::FILE_CLOSE);
    frame->activeFrame()->close();
    drainEvents();
    ASSERT_EQ(f.app->docManager().documents().size(), 1);
    EXPECT_EQ(f.texts(), std::vector<std::string>(2, TEXT_DOC_CLOSE_REFUSED));
    EXPECT_EQ(f.prompt.shown[0].icon, PromptIcon::None);

    f.prompt.shown.clear();
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(f.texts(), std::vector<std::string>{
                             "Przed zamknięciem aplikacji trzeba zakończyć komunikację z kasami."});
    EXPECT_EQ(f.prompt.shown[0].icon, PromptIcon::None);
    EXPECT_TRUE(doc->isOnline());

    // After stopping, closing goes on with the save question (answered No here).
    f.prompt.shown.clear();
    f.prompt.answers = {true, false};
    frame->execute(cmd::ONLINE_TOGGLE);
    EXPECT_TRUE(frame->close());
    drainEvents();
    EXPECT_TRUE(f.app->docManager().documents().isEmpty());
    ASSERT_EQ(f.prompt.shown.size(), 2u);
    EXPECT_EQ(f.prompt.shown[1].icon, PromptIcon::Question);
}

TEST_F(OnlineWindowTest, ExportAsksForTheFileFirst) {
    newDocument();
    frame->updateCommands();
    EXPECT_TRUE(frame->action(cmd::EXPORT_SALES)->isEnabled());
    frame->execute(cmd::EXPORT_SALES);  // cancelled
    EXPECT_TRUE(calls.exports.empty());
    ASSERT_EQ(f.files.saveRequests.size(), 1u);
    const SaveFileRequest& r = f.files.saveRequests[0];
    EXPECT_EQ(r.defaultName, "sprzedaz");
    EXPECT_EQ(r.defaultSuffix, "txt");
    EXPECT_EQ(r.filter, "Plik tekstowy (*.txt);;Wszystkie pliki (*.*)");

    const std::string path = f.dir.file("sprzedaz.txt");
    f.files.answers = {QString::fromStdString(path), QString::fromStdString(path)};
    frame->execute(cmd::EXPORT_SALES);
    frame->execute(cmd::EXPORT_SALES_RESET);
    EXPECT_EQ(calls.exports,
              (std::vector<std::pair<std::string, bool>>{{path, false}, {path, true}}));
}

TEST(OnlineWindowUnbound, CommandsWithoutTheirOperationsStayDisabled) {
    GuiFixture f{OnlineOperations{}};
    f.app->mainFrame()->execute(cmd::FILE_NEW);
    f.app->mainFrame()->updateCommands();
    EXPECT_FALSE(f.app->mainFrame()->action(cmd::ONLINE_TOGGLE)->isEnabled());
    EXPECT_FALSE(f.app->mainFrame()->action(cmd::EXPORT_SALES)->isEnabled());
    EXPECT_FALSE(f.app->mainFrame()->execute(cmd::ONLINE_TOGGLE));
}

}  // namespace
}  // namespace kos::test
