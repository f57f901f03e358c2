// kos-articles: exports, imports and edits the price list of an article document (".dat").
#include <unistd.h>

#include <cstdio>
#include <string>

#include "ArticlesCommands.h"
#include "ArticlesOptions.h"
#include "ArticlesPrompt.h"
#include "LineCommands.h"
#include "base/Version.h"
#include "ServerPath.h"
#include "base/qt/QtSettingsStore.h"

namespace {

// The commands that talk to the register: the settings with this run's line options.
int runOnLine(const kos::ArticlesOptions& options) {
    using namespace kos;
    QtSettingsStore store;
    Settings settings = defaultSettings();
    loadSettings(store, settings);
    applyLineOptions(options, settings);
    const std::string& c = options.command;
    if (c == "send")
        return sendToRegister(options, settings);
    if (c == "read")
        return readFromRegister(options, settings);
    if (c == "delete")
        return deleteInRegister(options, settings);
    if (c == "zero")
        return zeroRegisterCounters(settings);
    if (c == "send-header")
        return sendHeaderToRegister(options, settings);
    if (c == "read-header")
        return readHeaderFromRegister(options, settings);
    return findRegister(options, settings, store);
}

}  // namespace

int main(int argc, char** argv) {
    if (kos::askedForVersion(argc, argv)) {
        std::printf("kos-articles %s\n", kos::VERSION_TEXT);
        return 0;
    }
    using namespace kos;
    ArticlesOptions options;
    std::string error;
    if (!parseArticlesOptions(argc, argv, options, error)) {
        if (error == "help") {
            std::fputs(articlesUsage(), stdout);
            return 0;
        }
        const std::string usage = articlesUsage();
        std::fprintf(stderr, "%s\n%s (--help: opis)\n", error.c_str(),
                     usage.substr(0, usage.find('\n')).c_str());
        return 2;
    }
    // A person can answer the duplicate question only on a terminal that does not carry the
    // imported lines.
    const bool interactive = !options.skipDuplicates && ::isatty(STDIN_FILENO) &&
                             !(options.command == "import" && options.stream.empty());
    ArticlesPrompt prompt(options.skipDuplicates, interactive);
    if (options.command == "export") {
        QtSettingsStore store;
        Settings settings = defaultSettings();
        loadSettings(store, settings);
        return exportArticles(options, settings, prompt);
    }
    if (options.command == "send" || options.command == "read") {
        // Through a running kos-online when one answers on its socket; the line otherwise.
        QtSettingsStore store;
        Settings settings = defaultSettings();
        loadSettings(store, settings);
        applyLineOptions(options, settings);
        const int rc = serverArticlesCommand(options, settings, prompt);
        if (rc != USE_DIRECT_LINE)
            return rc;
    }
    if (options.command == "import")
        return importArticles(options, prompt);
    if (options.command == "add")
        return addArticle(options, prompt);
    if (options.command == "header")
        return editHeader(options, prompt);
    return runOnLine(options);
}
