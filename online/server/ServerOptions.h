// The command line of kos-online. Options override the settings for this run only.
#pragma once

#include <optional>
#include <string>

#include "base/Settings.h"

namespace kos {

struct ServerOptions {
    std::string document;  // the ".dsr" file, opened or created
    std::optional<std::string> device;
    std::optional<int> port;
    std::optional<int> speed;
    std::optional<std::string> receiptDir;
    std::optional<std::string> backupDir;  // empty: no backup copies
    std::optional<std::string> registers;  // as the "Dodaj" dialog takes them
    int durationSeconds = 0;               // 0: until SIGINT or SIGTERM
    std::string exportPath;                // after the stop, when set
    std::string exportResetPath;
    std::optional<std::string> controlPath;  // empty: no control socket
};

// False with a reason in error, or with error "help".
bool parseServerOptions(int argc, const char* const* argv, ServerOptions& options,
                        std::string& error);
const char* serverUsage();

// The settings of this run: port, its device, speed and directories from the options.
void applyServerOptions(const ServerOptions& options, Settings& settings);

// The control socket of this run: --control, else the default; "" for none.
std::string controlPathOf(const ServerOptions& options);

}  // namespace kos
