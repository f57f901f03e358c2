// The register list of the online document: adding from a comma list, removing, and the
// status texts from the worker's messages.
#include <gtest/gtest.h>

#include <QAction>
#include <thread>

#include "GuiTestSupport.h"
#include "online/ui/OnlineDocument.h"
#include "online/ui/TarvelServerView.h"
#include "shell/ChildFrame.h"
#include "shell/Commands.h"

namespace kos::test {
namespace {

struct RegisterViewTest : ::testing::Test {
    GuiFixture f;
    MainFrame* frame = nullptr;
    OnlineDocument* doc = nullptr;
    TarvelServerView* view = nullptr;

    void SetUp() override {
        frame = f.app->mainFrame();
        ASSERT_TRUE(frame->execute(cmd::FILE_NEW));
        doc = qobject_cast<OnlineDocument*>(frame->activeDocument());
        view = qobject_cast<TarvelServerView*>(frame->activeFrame()->widget());
        ASSERT_TRUE(doc && view);
    }
    // Rows as "number:status:slot".
    std::vector<std::string> rows() const {
        std::vector<std::string> r;
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = view->topLevelItem(i);
            r.push_back((item->text(0) + ":" + item->text(1) + ":" +
                         QString::number(item->data(0, Qt::UserRole).toInt()))
                            .toStdString());
        }
        return r;
    }
    // "Dodaj" through its command with the dialog answered by `text`.
    void add(const QString& text) {
        view->setRegisterInput([text](QWidget*, QString& out) {
            out = text;
            return true;
        });
        frame->updateCommands();
        ASSERT_TRUE(frame->execute(cmd::ADD));
    }
};

TEST_F(RegisterViewTest, ColumnsOfTheList) {
    ASSERT_EQ(view->columnCount(), 2);
    EXPECT_EQ(view->headerItem()->text(0), "Nr logiczny");
    EXPECT_EQ(view->headerItem()->text(1), "Status");
    EXPECT_EQ(view->columnWidth(0), 80);
    EXPECT_EQ(view->columnWidth(1), 120);
}

TEST_F(RegisterViewTest, AddsThreeRegistersFromACommaList) {
    add(" 8,2,56 ");
    EXPECT_EQ(rows(), (std::vector<std::string>{"8:nie podłączona:0", "2:nie podłączona:1",
                                                "56:nie podłączona:2"}));
    EXPECT_EQ(doc->core().logicalNumberAt(2), 56);
    EXPECT_TRUE(doc->isModified());
    EXPECT_TRUE(f.prompt.shown.empty());
}

TEST_F(RegisterViewTest, ErrorsStopTheRestOfTheList) {
    struct Case {
        QString text;
        std::vector<std::string> rows;
        std::string message;
    };
    const Case cases[] = {
        {"5,x,7", {"5:nie podłączona:0"}, "Niepoprawny format numeru kasy x."},
        {"5,,7", {"5:nie podłączona:0"}, "Niepoprawny format numeru kasy ."},
        {"5, 7a", {"5:nie podłączona:0"}, "Niepoprawny format numeru kasy 7a."},
        {"5,5,7", {"5:nie podłączona:0"}, "Kasa o tym numerze 5 już istnieje lub za dużo kas."},
        // The line calls registers 1 to 99 only.
        {"3,100", {"3:nie podłączona:0"}, "Niepoprawny format numeru kasy 100."},
        {"3,0", {"3:nie podłączona:0"}, "Niepoprawny format numeru kasy 0."},
        {"4,", {"4:nie podłączona:0"}, ""},
        {" +9 , 99 ", {"9:nie podłączona:0", "99:nie podłączona:1"}, ""},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < SLOT_COUNT; ++i)
            doc->core().removeRegister(i);
        view->refill();
        f.prompt.shown.clear();
        add(c.text);
        EXPECT_EQ(rows(), c.rows) << c.text.toStdString();
        if (c.message.empty()) {
            EXPECT_TRUE(f.prompt.shown.empty()) << c.text.toStdString();
        } else {
            ASSERT_EQ(f.prompt.shown.size(), 1u) << c.text.toStdString();
            EXPECT_EQ(f.prompt.shown[0].text, c.message);
            EXPECT_EQ(f.prompt.shown[0].icon, PromptIcon::Stop);
        }
    }
}

TEST_F(RegisterViewTest, AddIsDisabledAtTwelveRegisters) {
    add("1,2,3,4,5,6,7,8,9,10,11");
    frame->updateCommands();
    EXPECT_TRUE(frame->action(cmd::ADD)->isEnabled());
    add("12,13");
    EXPECT_EQ(view->topLevelItemCount(), 12);
    EXPECT_TRUE(f.shown("Kasa o tym numerze 13 już istnieje lub za dużo kas."));
    frame->updateCommands();
    EXPECT_FALSE(frame->action(cmd::ADD)->isEnabled());
    EXPECT_FALSE(frame->execute(cmd::ADD));
}

TEST_F(RegisterViewTest, RemoveAsksAndRemovesTheSelectedRegisters) {
    add("8,2,56");
    frame->updateCommands();
    EXPECT_FALSE(frame->action(cmd::DELETE)->isEnabled());
    view->topLevelItem(0)->setSelected(true);
    view->topLevelItem(2)->setSelected(true);
    frame->updateCommands();
    ASSERT_TRUE(frame->action(cmd::DELETE)->isEnabled());

    f.prompt.answers = {false};
    frame->execute(cmd::DELETE);
    EXPECT_EQ(view->topLevelItemCount(), 3);
    ASSERT_EQ(f.prompt.shown.size(), 1u);
    EXPECT_EQ(f.prompt.shown[0].text,
              "Czy na pewno chcesz usunąć zaznaczone kasy?\nDane o sprzedaży dla tych kas "
              "zostaną usunięte.");

    f.prompt.answers = {true};
    frame->execute(cmd::DELETE);
    EXPECT_EQ(rows(), std::vector<std::string>{"2:nie podłączona:1"});
    EXPECT_EQ(doc->core().logicalNumberAt(0), -1);
    EXPECT_EQ(doc->core().logicalNumberAt(1), 2);
    EXPECT_EQ(doc->core().logicalNumberAt(2), -1);

    // A freed slot is taken again; the row still names its slot.
    add("77");
    EXPECT_EQ(rows(), (std::vector<std::string>{"2:nie podłączona:1", "77:nie podłączona:0"}));
}

TEST_F(RegisterViewTest, StatusMessagesFromAnotherThreadArriveInOrder) {
    add("8,2");
    std::thread worker([this] {
        for (int i = 0; i < 1000; ++i)
            doc->core().notifyStatus(i % 2, (i / 2) % 2);
        doc->core().notifyStatus(1, 1);
        doc->core().notifyStatus(5, 1);  // no register there
        doc->core().notifyStatus(0, 7);  // not a flag
    });
    worker.join();
    // Nothing changes before the window's thread handles the posted messages.
    EXPECT_EQ(view->topLevelItem(0)->text(1), "nie podłączona");
    drainEvents();
    // Slot 0 last got (998 / 2) % 2 = 1; slot 1 last got 1.
    EXPECT_EQ(rows(), (std::vector<std::string>{"8:podłączona:0", "2:podłączona:1"}));
    doc->core().notifyStatus(0, 0);
    drainEvents();
    EXPECT_EQ(view->topLevelItem(0)->text(1), "nie podłączona");
}

}  // namespace
}  // namespace kos::test
