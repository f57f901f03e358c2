#include "base/Settings.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace kos {

namespace {

constexpr const char* PTU_NAMES[7] = {"PTUA", "PTUB", "PTUC", "PTUD", "PTUE", "PTUF", "PTUG"};
constexpr const char* PTU_DEFAULTS[7] = {"22%", "7%", "0%", "12%", "3%", "", "zw."};

std::string comDeviceName(int i) {
    return "Com" + std::to_string(i + 1) + "Device";
}
std::string defaultComDevice(int i) {
    return "/dev/ttyS" + std::to_string(i);
}

std::string homeDir() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return ".";
}

int readInt(SettingsStore& store, const char* name, int fallback) {
    return store.getInt(SETTINGS_SECTION, name).value_or(fallback);
}

// Stored as a number; true only for exactly 1.
bool readBool(SettingsStore& store, const char* name, bool fallback) {
    auto v = store.getInt(SETTINGS_SECTION, name);
    return v ? *v == 1 : fallback;
}

std::string readString(SettingsStore& store, const std::string& name, const std::string& fallback) {
    return store.getString(SETTINGS_SECTION, name).value_or(fallback);
}

}  // namespace

std::string defaultReceiptDir() {
    return homeDir() + "/TarvelSerwer";
}

Settings defaultSettings() {
    Settings s;
    s.receiptDir = defaultReceiptDir();
    s.receiptBackupDir = defaultReceiptDir();
    for (int i = 0; i < 7; ++i)
        s.ptu[i] = PTU_DEFAULTS[i];
    for (int i = 0; i < COM_PORT_COUNT; ++i)
        s.comDevice[i] = defaultComDevice(i);
    return s;
}

void loadSettings(SettingsStore& store, Settings& settings) {
    const Settings d = defaultSettings();
    settings.port = readInt(store, "Port", d.port);
    settings.portSpeed = readInt(store, "PortSpeed", d.portSpeed);
    settings.receiptDir = readString(store, "ReceiptDir", d.receiptDir);
    settings.receiptBackupDir = readString(store, "ReceiptBackupDir", d.receiptBackupDir);
    settings.articlesSortOrder = readInt(store, "ArticlesSortOrder", d.articlesSortOrder);
    settings.ecrNr = readInt(store, "ecrNr", d.ecrNr);
    settings.updateArticles = readInt(store, "UpdateArticles", d.updateArticles);
    settings.continueSendingOnError =
        readBool(store, "ContinueSendingOnError", d.continueSendingOnError);
    settings.ecrPrintChanges = readBool(store, "EcrPrintChanges", d.ecrPrintChanges);
    settings.ecrSaveToLog = readBool(store, "EcrSaveToLog", d.ecrSaveToLog);
    for (int i = 0; i < 7; ++i)
        settings.ptu[i] = readString(store, PTU_NAMES[i], d.ptu[i]);
    for (int i = 0; i < COM_PORT_COUNT; ++i) {
        // An empty device would make the port unopenable with no hint why.
        std::string dev = readString(store, comDeviceName(i), d.comDevice[i]);
        settings.comDevice[i] = dev.empty() ? d.comDevice[i] : dev;
    }
}

void saveSettings(SettingsStore& store, const Settings& settings) {
    store.setInt(SETTINGS_SECTION, "Port", settings.port);
    store.setInt(SETTINGS_SECTION, "PortSpeed", settings.portSpeed);
    store.setString(SETTINGS_SECTION, "ReceiptDir", settings.receiptDir);
    store.setString(SETTINGS_SECTION, "ReceiptBackupDir", settings.receiptBackupDir);
    store.setInt(SETTINGS_SECTION, "ArticlesSortOrder", settings.articlesSortOrder);
    store.setInt(SETTINGS_SECTION, "ecrNr", settings.ecrNr);
    store.setInt(SETTINGS_SECTION, "UpdateArticles", settings.updateArticles);
    store.setInt(SETTINGS_SECTION, "ContinueSendingOnError", settings.continueSendingOnError);
    store.setInt(SETTINGS_SECTION, "EcrPrintChanges", settings.ecrPrintChanges);
    store.setInt(SETTINGS_SECTION, "EcrSaveToLog", settings.ecrSaveToLog);
    for (int i = 0; i < 7; ++i)
        store.setString(SETTINGS_SECTION, PTU_NAMES[i], settings.ptu[i]);
    for (int i = 0; i < COM_PORT_COUNT; ++i)
        store.setString(SETTINGS_SECTION, comDeviceName(i), settings.comDevice[i]);
}

std::vector<std::string> loadRecentFiles(SettingsStore& store) {
    std::vector<std::string> files;
    for (int i = 1; i <= RECENT_FILE_COUNT; ++i) {
        auto v = store.getString(RECENT_FILES_SECTION, "File" + std::to_string(i));
        if (v && !v->empty())
            files.push_back(*v);
    }
    return files;
}

void saveRecentFiles(SettingsStore& store, const std::vector<std::string>& files) {
    for (int i = 0; i < RECENT_FILE_COUNT; ++i) {
        std::string value = i < static_cast<int>(files.size()) ? files[i] : std::string();
        store.setString(RECENT_FILES_SECTION, "File" + std::to_string(i + 1), value);
    }
}

void addRecentFile(std::vector<std::string>& files, const std::string& path) {
    for (auto it = files.begin(); it != files.end();) {
        if (*it == path)
            it = files.erase(it);
        else
            ++it;
    }
    files.insert(files.begin(), path);
    if (files.size() > static_cast<size_t>(RECENT_FILE_COUNT))
        files.resize(RECENT_FILE_COUNT);
}

}  // namespace kos
