// The directory checks of the "Serwer" page: resolve a typed name to a full path, offer to
// create a missing directory (one level), and make sure the name is a directory. No Qt here.
#pragma once

#include <string>

#include "base/Prompt.h"

namespace kos {

// The messages of one directory field.
struct DirectoryMessages {
    const char* badName;
    const char* askCreate;
    const char* createFailed;
    const char* statFailed;
    const char* notDirectory;
};

extern const DirectoryMessages RECEIPT_DIR_MESSAGES;
extern const DirectoryMessages BACKUP_DIR_MESSAGES;

// Trims white space at both ends.
std::string trimmed(const std::string& text);

// Absolute, normalised path without a trailing "/"; false for an empty name or one too long
// for the system.
bool resolveFullPath(const std::string& name, std::string& fullPath);

// Trims `dir`, replaces it by its full path when that resolves, and runs the checks, telling the
// user about the first failure. True when `dir` names an existing directory.
bool checkDirectoryField(std::string& dir, const DirectoryMessages& messages, Prompt& prompt);

struct ServerPageValues {
    std::string receiptDir;
    std::string backupDir;
    bool backupEnabled = true;
};

// What confirming the page does: the receipt directory is checked; when it passes and the
// backup box is clear the backup directory is emptied, otherwise the backup directory is
// checked as well. The values end up as they should be stored, whatever failed.
void confirmServerPage(ServerPageValues& values, Prompt& prompt);

}  // namespace kos
