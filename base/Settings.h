// The program's persistent settings and the store they live in. Every part reads its settings
// from one Settings object; only loadSettings/saveSettings touch the store.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kos {

// Section and value names as the store keeps them.
inline constexpr const char* SETTINGS_SECTION = "Settings";
inline constexpr const char* RECENT_FILES_SECTION = "Recent File List";
inline constexpr int RECENT_FILE_COUNT = 4;
inline constexpr int COM_PORT_COUNT = 4;

// A per-user key-value store. A value that is missing or of the other kind reads as absent.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<int> getInt(const std::string& section, const std::string& name) = 0;
    virtual std::optional<std::string> getString(const std::string& section,
                                                 const std::string& name) = 0;
    virtual void setInt(const std::string& section, const std::string& name, int value) = 0;
    virtual void setString(const std::string& section, const std::string& name,
                           const std::string& value) = 0;
};

// Strings are UTF-8 as the user typed them (paths, VAT descriptions).
struct Settings {
    int port = 1;          // "com1".."com4"
    int portSpeed = 4800;  // 2400, 4800 or 9600
    std::string receiptDir;
    std::string receiptBackupDir;  // empty: no backup copies
    int articlesSortOrder = 0;
    int ecrNr = 1;
    int updateArticles = 0;
    bool continueSendingOnError = true;
    bool ecrPrintChanges = false;
    bool ecrSaveToLog = false;
    std::array<std::string, 7> ptu;  // PTUA..PTUG
    // Device path behind "com1".."com4" (Com1Device..Com4Device).
    std::array<std::string, COM_PORT_COUNT> comDevice;
};

// "$HOME/TarvelSerwer": default of ReceiptDir and ReceiptBackupDir.
std::string defaultReceiptDir();

// All values at their defaults.
Settings defaultSettings();

// Reads every value with its default. A bool is true only when stored as exactly 1.
void loadSettings(SettingsStore& store, Settings& settings);

// Writes every value: ints as numbers, bools as 0 or 1, strings as strings, in table order.
void saveSettings(SettingsStore& store, const Settings& settings);

// The recent-file list ("File1".."File4", most recent first); empty entries are skipped.
std::vector<std::string> loadRecentFiles(SettingsStore& store);
// Writes all four entries; missing ones as empty strings.
void saveRecentFiles(SettingsStore& store, const std::vector<std::string>& files);
// Puts path first, drops an earlier occurrence and keeps at most four.
void addRecentFile(std::vector<std::string>& files, const std::string& path);

}  // namespace kos
