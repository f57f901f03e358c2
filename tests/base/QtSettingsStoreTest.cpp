#include "base/qt/QtSettingsStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace kos {
namespace {

using test::TempDir;

// QSettings fixes the per-user folder at its first use in a process, so this test points
// XDG_CONFIG_HOME and HOME at a folder that lives as long as the process.
TEST(QtSettingsStoreTest, PerUserStoreLivesUnderXdgConfigHome) {
    static TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    setenv("HOME", dir.path().c_str(), 1);
    {
        QtSettingsStore store;
        Settings s = defaultSettings();
        s.port = 2;
        s.ptu[0] = "23%";
        saveSettings(store, s);
        saveRecentFiles(store, {dir.file("sklep.dsr")});
    }
    std::string file = dir.file("Tarvel/KOS.ini");
    ASSERT_TRUE(std::filesystem::exists(file));
    std::string text = test::readFile(file);
    EXPECT_NE(text.find("[KOS%20ONLINE]"), std::string::npos) << text;
    EXPECT_NE(text.find("Settings\\Port=2"), std::string::npos) << text;
    EXPECT_NE(text.find("Recent%20File%20List\\File1="), std::string::npos) << text;

    QtSettingsStore again;
    Settings loaded;
    loadSettings(again, loaded);
    EXPECT_EQ(loaded.port, 2);
    EXPECT_EQ(loaded.ptu[0], "23%");
    EXPECT_EQ(loaded.receiptDir, dir.path() + "/TarvelSerwer");
    EXPECT_EQ(loadRecentFiles(again), std::vector<std::string>{dir.file("sklep.dsr")});
}

TEST(QtSettingsStoreTest, SaveThenLoadRoundTripsThroughTheIniFile) {
    TempDir dir;
    QString path = QString::fromStdString(dir.file("kos.ini"));
    Settings saved = defaultSettings();
    saved.port = 4;
    saved.portSpeed = 2400;
    saved.receiptDir = "/home/kasjer/Paragony, sklep №1";
    saved.receiptBackupDir = "";
    saved.articlesSortOrder = 3;
    saved.ecrNr = 99;
    saved.updateArticles = 1;
    saved.continueSendingOnError = false;
    saved.ecrPrintChanges = true;
    saved.ecrSaveToLog = true;
    saved.ptu = {"23%", "8%", "5%", "0%", "zw.", "np. ą", "@x"};
    saved.comDevice[1] = "/dev/ttyUSB0";
    {
        QtSettingsStore store(path);
        saveSettings(store, saved);
    }
    QtSettingsStore store(path);
    Settings loaded;
    loadSettings(store, loaded);
    EXPECT_EQ(loaded.port, 4);
    EXPECT_EQ(loaded.portSpeed, 2400);
    EXPECT_EQ(loaded.receiptDir, saved.receiptDir);
    EXPECT_EQ(loaded.receiptBackupDir, "");
    EXPECT_EQ(loaded.articlesSortOrder, 3);
    EXPECT_EQ(loaded.ecrNr, 99);
    EXPECT_EQ(loaded.updateArticles, 1);
    EXPECT_FALSE(loaded.continueSendingOnError);
    EXPECT_TRUE(loaded.ecrPrintChanges);
    EXPECT_TRUE(loaded.ecrSaveToLog);
    EXPECT_EQ(loaded.ptu, saved.ptu);
    EXPECT_EQ(loaded.comDevice, saved.comDevice);
}

TEST(QtSettingsStoreTest, HandEditedValuesOfTheWrongKindReadAsDefaults) {
    TempDir dir;
    std::string file = dir.file("kos.ini");
    test::writeFile(file,
                    "[KOS%20ONLINE]\n"
                    "Settings\\Port=abc\n"
                    "Settings\\PortSpeed=9600x\n"
                    "Settings\\ecrNr=\n"
                    "Settings\\ContinueSendingOnError=2\n"
                    "Settings\\EcrSaveToLog=1\n"
                    "Settings\\PTUA=a, b\n");
    QtSettingsStore store(QString::fromStdString(file));
    Settings s;
    loadSettings(store, s);
    EXPECT_EQ(s.port, 1);
    EXPECT_EQ(s.portSpeed, 4800);
    EXPECT_EQ(s.ecrNr, 1);
    EXPECT_FALSE(s.continueSendingOnError);
    EXPECT_TRUE(s.ecrSaveToLog);
    EXPECT_EQ(s.ptu[0], "22%");
}

}  // namespace
}  // namespace kos
