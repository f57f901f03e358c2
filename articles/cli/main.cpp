// kos-articles: exports, imports and edits the price list of an article document (".dat").
#include <unistd.h>

#include <cstdio>
#include <string>

#include "ArticlesCommands.h"
#include "ArticlesOptions.h"
#include "ArticlesPrompt.h"
#include "ServerPath.h"
#include "base/qt/QtSettingsStore.h"

int main(int argc, char** argv) {
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
        QtSettingsStore store;
        Settings settings = defaultSettings();
        loadSettings(store, settings);
        return serverArticlesCommand(options, settings, prompt);
    }
    if (options.command == "import")
        return importArticles(options, prompt);
    if (options.command == "add")
        return addArticle(options, prompt);
    return editHeader(options, prompt);
}
