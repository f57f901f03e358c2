// The options sheet "Parametry": directory checks and what OK and Cancel store.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>

#include "GuiTestSupport.h"
#include "shell/Commands.h"
#include "shell/OptionsSheet.h"

namespace kos::test {
namespace {

struct OptionsSheetTest : ::testing::Test {
    GuiFixture f;

    // Opens the sheet through its command, lets `fill` type into it, then confirms or cancels.
    void runSheet(const std::function<void(OptionsSheet&)>& fill, bool ok = true) {
        QTimer::singleShot(0, [&] {
            auto* sheet = f.app->mainFrame()->findChild<OptionsSheet*>();
            ASSERT_NE(sheet, nullptr);
            fill(*sheet);
            ok ? sheet->accept() : sheet->reject();
        });
        ASSERT_TRUE(f.app->mainFrame()->execute(cmd::OPTIONS));
    }
    std::string stored(const char* name) {
        return f.store->getString("Settings", name).value_or("?");
    }
};

TEST_F(OptionsSheetTest, CleanStoreOpensWithBackupTicked) {
    runSheet(
        [](OptionsSheet& sheet) {
            EXPECT_TRUE(sheet.serverPage()->backupBox()->isChecked());
            EXPECT_TRUE(sheet.serverPage()->backupDirEdit()->isEnabled());
            EXPECT_EQ(sheet.portPage()->portGroup()->checkedId(), 0);
            EXPECT_EQ(sheet.portPage()->speedGroup()->checkedId(), 1);
            sheet.serverPage()->backupBox()->setChecked(false);
            EXPECT_FALSE(sheet.serverPage()->backupDirEdit()->isEnabled());
        },
        false);
    // Cancel stores nothing.
    EXPECT_FALSE(f.store->getString("Settings", "ReceiptDir").has_value());
}

TEST_F(OptionsSheetTest, StoresTrimmedFullPathAndEmptyBackupWhenBoxCleared) {
    const std::string receipts = f.dir.file("paragony");
    std::filesystem::create_directory(receipts);
    runSheet([&](OptionsSheet& sheet) {
        sheet.serverPage()->receiptDirEdit()->setText(
            QString::fromStdString("  " + f.dir.path() + "/x/../paragony/  "));
        sheet.serverPage()->backupBox()->setChecked(false);
        sheet.portPage()->portGroup()->button(2)->setChecked(true);
        sheet.portPage()->speedGroup()->button(2)->setChecked(true);
        sheet.portPage()->deviceEdit(2)->setText(" /dev/ttyUSB0 ");
    });
    EXPECT_TRUE(f.prompt.shown.empty());
    EXPECT_EQ(stored("ReceiptDir"), receipts);
    EXPECT_EQ(stored("ReceiptBackupDir"), "");
    EXPECT_EQ(f.store->getInt("Settings", "Port"), 3);
    EXPECT_EQ(f.store->getInt("Settings", "PortSpeed"), 9600);
    EXPECT_EQ(stored("Com3Device"), "/dev/ttyUSB0");
    EXPECT_EQ(f.app->settings().receiptDir, receipts);

    // The next opening shows the box clear.
    runSheet(
        [](OptionsSheet& sheet) {
            EXPECT_FALSE(sheet.serverPage()->backupBox()->isChecked());
            EXPECT_FALSE(sheet.serverPage()->backupDirEdit()->isEnabled());
            EXPECT_EQ(sheet.portPage()->portGroup()->checkedId(), 2);
        },
        false);
}

TEST_F(OptionsSheetTest, UnresolvableDirectoryIsReportedAndStoredAsTyped) {
    const std::string tooLong = "/" + std::string(5000, 'a');
    const std::string backupTyped = " keep me ";
    runSheet([&](OptionsSheet& sheet) {
        sheet.serverPage()->receiptDirEdit()->setText(QString::fromStdString(" " + tooLong + " "));
        sheet.serverPage()->backupBox()->setChecked(false);
        sheet.serverPage()->backupDirEdit()->setText(QString::fromStdString(backupTyped));
    });
    ASSERT_EQ(f.prompt.shown.size(), 1u);
    EXPECT_EQ(f.prompt.shown[0].text, "Nieprawidłowa nazwa katalogu.");
    EXPECT_EQ(f.prompt.shown[0].icon, PromptIcon::Stop);
    EXPECT_EQ(stored("ReceiptDir"), tooLong);
    // The backup field keeps its text, even with the box clear.
    EXPECT_EQ(stored("ReceiptBackupDir"), backupTyped);
}

TEST_F(OptionsSheetTest, DirectoryChecksInOrder) {
    const std::string aFile = f.dir.file("plik");
    writeFile(aFile, "x");
    const std::string existing = f.dir.file("jest");
    std::filesystem::create_directory(existing);
    const std::string missing = f.dir.file("nowy");
    const std::string deepMissing = f.dir.file("a/b/c");
    struct Case {
        std::string receipt;
        bool backupOn;
        std::string backup;
        std::deque<bool> answers;
        std::vector<std::string> messages;
        bool receiptCreated;
    };
    const Case cases[] = {
        {missing,
         false,
         "",
         {false},
         {"Podany katalog nie istnieje, Czy chcesz go utworzyć?"},
         false},
        {missing,
         false,
         "",
         {true},
         {"Podany katalog nie istnieje, Czy chcesz go utworzyć?"},
         true},
        {deepMissing,
         false,
         "",
         {true},
         {"Podany katalog nie istnieje, Czy chcesz go utworzyć?",
          "Błąd podczas tworzenia katalogu."},
         false},
        {aFile, false, "", {}, {"Podana nazwa nie jest nazwą katalogu."}, false},
        {existing, true, "", {}, {"Nieprawidłowa nazwa katalogu zapasowego."}, false},
        {existing, true, aFile, {}, {"Podana nazwa nie jest nazwą katalogu zapasowego."}, false},
        {existing,
         true,
         deepMissing,
         {true},
         {"Podany katalog zapasowy nie istnieje, Czy chcesz go utworzyć?",
          "Błąd podczas tworzenia katalogu zapasowego."},
         false},
        {existing, true, existing, {}, {}, false},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(missing);
        f.prompt.shown.clear();
        f.prompt.answers = c.answers;
        runSheet([&](OptionsSheet& sheet) {
            sheet.serverPage()->receiptDirEdit()->setText(QString::fromStdString(c.receipt));
            sheet.serverPage()->backupBox()->setChecked(c.backupOn);
            sheet.serverPage()->backupDirEdit()->setText(QString::fromStdString(c.backup));
        });
        EXPECT_EQ(f.texts(), c.messages) << c.receipt << " / " << c.backup;
        if (c.receipt == missing) {
            EXPECT_EQ(std::filesystem::is_directory(missing), c.receiptCreated);
        }
        // The sheet closes as confirmed whatever the checks found.
        EXPECT_EQ(stored("ReceiptDir"), c.receipt);
    }
}

TEST_F(OptionsSheetTest, UnknownSpeedShowsThirdButtonAndStores9600) {
    f.app->settings().portSpeed = 19200;
    f.app->settings().port = 4;
    runSheet([](OptionsSheet& sheet) {
        EXPECT_EQ(sheet.portPage()->speedGroup()->checkedId(), 2);
        EXPECT_EQ(sheet.portPage()->portGroup()->checkedId(), 3);
        sheet.serverPage()->backupBox()->setChecked(false);
    });
    EXPECT_EQ(f.store->getInt("Settings", "PortSpeed"), 9600);
    EXPECT_EQ(f.store->getInt("Settings", "Port"), 4);
}

}  // namespace
}  // namespace kos::test
