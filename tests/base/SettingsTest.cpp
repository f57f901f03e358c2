#include "base/Settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/MemorySettingsStore.h"

namespace kos {
namespace {

// Every value away from its default.
Settings changedSettings() {
    Settings s = defaultSettings();
    s.port = 3;
    s.portSpeed = 9600;
    s.receiptDir = "/srv/paragony";
    s.receiptBackupDir = "";
    s.articlesSortOrder = 2;
    s.ecrNr = 17;
    s.updateArticles = 1;
    s.continueSendingOnError = false;
    s.ecrPrintChanges = true;
    s.ecrSaveToLog = true;
    s.ptu = {"23%", "8%", "5%", "0%", "zw.", "np.", "—"};
    s.comDevice = {"/dev/ttyUSB0", "/dev/serial/by-id/usb-ą", "/dev/pts/9", "/dev/ttyS9"};
    return s;
}

void expectEqual(const Settings& a, const Settings& b) {
    EXPECT_EQ(a.port, b.port);
    EXPECT_EQ(a.portSpeed, b.portSpeed);
    EXPECT_EQ(a.receiptDir, b.receiptDir);
    EXPECT_EQ(a.receiptBackupDir, b.receiptBackupDir);
    EXPECT_EQ(a.articlesSortOrder, b.articlesSortOrder);
    EXPECT_EQ(a.ecrNr, b.ecrNr);
    EXPECT_EQ(a.updateArticles, b.updateArticles);
    EXPECT_EQ(a.continueSendingOnError, b.continueSendingOnError);
    EXPECT_EQ(a.ecrPrintChanges, b.ecrPrintChanges);
    EXPECT_EQ(a.ecrSaveToLog, b.ecrSaveToLog);
    EXPECT_EQ(a.ptu, b.ptu);
    EXPECT_EQ(a.comDevice, b.comDevice);
}

TEST(SettingsTest, CleanStoreReadsEveryDefault) {
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    MemorySettingsStore store;
    Settings s = changedSettings();
    loadSettings(store, s);
    EXPECT_EQ(s.port, 1);
    EXPECT_EQ(s.portSpeed, 4800);
    EXPECT_EQ(s.receiptDir, home + "/TarvelSerwer");
    EXPECT_EQ(s.receiptBackupDir, home + "/TarvelSerwer");
    EXPECT_EQ(s.articlesSortOrder, 0);
    EXPECT_EQ(s.ecrNr, 1);
    EXPECT_EQ(s.updateArticles, 0);
    EXPECT_TRUE(s.continueSendingOnError);
    EXPECT_FALSE(s.ecrPrintChanges);
    EXPECT_FALSE(s.ecrSaveToLog);
    EXPECT_EQ(s.ptu, (std::array<std::string, 7>{"22%", "7%", "0%", "12%", "3%", "", "zw."}));
    EXPECT_EQ(s.comDevice,
              (std::array<std::string, 4>{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}));
    expectEqual(s, defaultSettings());
}

TEST(SettingsTest, BoolIsTrueOnlyForExactlyOne) {
    for (int stored : {0, 1, 2, -1, 255}) {
        MemorySettingsStore store;
        for (const char* name : {"ContinueSendingOnError", "EcrPrintChanges", "EcrSaveToLog"})
            store.setInt(SETTINGS_SECTION, name, stored);
        Settings s;
        loadSettings(store, s);
        EXPECT_EQ(s.continueSendingOnError, stored == 1) << stored;
        EXPECT_EQ(s.ecrPrintChanges, stored == 1) << stored;
        EXPECT_EQ(s.ecrSaveToLog, stored == 1) << stored;
    }
}

TEST(SettingsTest, ValueOfTheWrongKindReadsAsTheDefault) {
    MemorySettingsStore store;
    store.setString(SETTINGS_SECTION, "Port", "abc");
    store.setString(SETTINGS_SECTION, "PortSpeed", "9600");
    store.setString(SETTINGS_SECTION, "ContinueSendingOnError", "0");
    store.setInt(SETTINGS_SECTION, "ReceiptDir", 5);
    store.setInt(SETTINGS_SECTION, "PTUA", 23);
    store.setString(SETTINGS_SECTION, "Com1Device", "");
    store.setInt("Other", "ecrNr", 9);
    Settings s;
    loadSettings(store, s);
    expectEqual(s, defaultSettings());
}

TEST(SettingsTest, SaveThenLoadRoundTripsEveryValueAsTheRightKind) {
    MemorySettingsStore store;
    Settings saved = changedSettings();
    saveSettings(store, saved);
    for (const char* name : {"Port", "PortSpeed", "ArticlesSortOrder", "ecrNr", "UpdateArticles",
                             "ContinueSendingOnError", "EcrPrintChanges", "EcrSaveToLog"})
        EXPECT_TRUE(store.getInt(SETTINGS_SECTION, name)) << name;
    for (const char* name :
         {"ReceiptDir", "ReceiptBackupDir", "PTUA", "PTUG", "Com1Device", "Com4Device"})
        EXPECT_TRUE(store.getString(SETTINGS_SECTION, name)) << name;
    EXPECT_EQ(store.getInt(SETTINGS_SECTION, "EcrPrintChanges"), 1);
    EXPECT_EQ(store.getInt(SETTINGS_SECTION, "ContinueSendingOnError"), 0);
    EXPECT_EQ(store.values.size(), 21u);

    Settings loaded;
    loadSettings(store, loaded);
    expectEqual(loaded, saved);
    // An empty backup directory means "no copies" and must survive as empty.
    EXPECT_EQ(loaded.receiptBackupDir, "");
}

TEST(SettingsTest, RecentFileListKeepsFourMostRecentFirst) {
    std::vector<std::string> files;
    for (const char* f : {"a.dsr", "b.dsr", "c.dsr", "d.dsr", "b.dsr", "e.dsr"})
        addRecentFile(files, f);
    EXPECT_EQ(files, (std::vector<std::string>{"e.dsr", "b.dsr", "d.dsr", "c.dsr"}));

    MemorySettingsStore store;
    saveRecentFiles(store, {"x.dsr", "y.dsr"});
    EXPECT_EQ(store.getString(RECENT_FILES_SECTION, "File1"), "x.dsr");
    EXPECT_EQ(store.getString(RECENT_FILES_SECTION, "File3"), "");
    EXPECT_EQ(loadRecentFiles(store), (std::vector<std::string>{"x.dsr", "y.dsr"}));
    saveRecentFiles(store, files);
    EXPECT_EQ(loadRecentFiles(store), files);
}

}  // namespace
}  // namespace kos
