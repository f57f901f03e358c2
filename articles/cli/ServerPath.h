// The server path of the article exchange: while kos-online runs, it owns the serial line, so
// kos-articles hands "send" and "read" to it through its control socket and the server carries
// the job out between its polls of the register.
#pragma once

#include "ArticlesOptions.h"
#include "base/Prompt.h"
#include "base/Settings.h"
#include "online/ServerClientTransfer.h"

namespace kos {

// kos-articles send / read: the document's file, the register ecrNr of settings, the server
// path only. The exit status: 0 when the job finished, else 1.
// USE_DIRECT_LINE: --no-server, or no server answers; the caller takes the serial line.
inline constexpr int USE_DIRECT_LINE = -1;
int serverArticlesCommand(const ArticlesOptions& options, const Settings& settings, Prompt& prompt);

}  // namespace kos
