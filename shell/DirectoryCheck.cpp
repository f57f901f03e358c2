#include "shell/DirectoryCheck.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <filesystem>

namespace kos {

const DirectoryMessages RECEIPT_DIR_MESSAGES = {
    "Nieprawidłowa nazwa katalogu.",         "Podany katalog nie istnieje, Czy chcesz go utworzyć?",
    "Błąd podczas tworzenia katalogu.",      "Błąd podczas odczytu informacji o katalogu.",
    "Podana nazwa nie jest nazwą katalogu.",
};

const DirectoryMessages BACKUP_DIR_MESSAGES = {
    "Nieprawidłowa nazwa katalogu zapasowego.",
    "Podany katalog zapasowy nie istnieje, Czy chcesz go utworzyć?",
    "Błąd podczas tworzenia katalogu zapasowego.",
    "Błąd podczas odczytu informacji o katalogu zapasowym.",
    "Podana nazwa nie jest nazwą katalogu zapasowego.",
};

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n\v\f";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool resolveFullPath(const std::string& name, std::string& fullPath) {
    if (name.empty() || name.size() >= PATH_MAX || name.find('\0') != std::string::npos)
        return false;
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(name, ec);
    if (ec)
        return false;
    std::string full = p.lexically_normal().string();
    while (full.size() > 1 && full.back() == '/')
        full.pop_back();
    if (full.size() >= PATH_MAX)
        return false;
    fullPath = full;
    return true;
}

bool checkDirectoryField(std::string& dir, const DirectoryMessages& messages, Prompt& prompt) {
    dir = trimmed(dir);
    std::string full;
    if (!resolveFullPath(dir, full)) {
        prompt.message(messages.badName, PromptIcon::Stop);
        return false;
    }
    dir = full;
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 && errno == ENOENT) {
        if (!prompt.ask(messages.askCreate))
            return false;
        if (mkdir(dir.c_str(), 0777) != 0) {
            prompt.message(messages.createFailed, PromptIcon::Stop);
            return false;
        }
    }
    if (stat(dir.c_str(), &st) != 0) {
        prompt.message(messages.statFailed, PromptIcon::Stop);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        prompt.message(messages.notDirectory, PromptIcon::Stop);
        return false;
    }
    return true;
}

void confirmServerPage(ServerPageValues& values, Prompt& prompt) {
    if (!checkDirectoryField(values.receiptDir, RECEIPT_DIR_MESSAGES, prompt)) {
        // The backup field keeps its text, as typed, when the receipt directory fails.
        return;
    }
    if (!values.backupEnabled) {
        values.backupDir.clear();
        return;
    }
    checkDirectoryField(values.backupDir, BACKUP_DIR_MESSAGES, prompt);
}

}  // namespace kos
