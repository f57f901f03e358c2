// The command line of kos-articles: a command, the ".dat" file, then its arguments and options.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace kos {

struct ArticlesOptions {
    std::string command;  // export, import, add, header, send, read
    std::string file;
    std::string stream;  // OUT of export, IN of import; empty: standard output / input
    bool cp1250 = false;
    bool skipDuplicates = false;
    // add
    std::optional<std::string> plu, name, price, vat;
    bool openPrice = false;
    // header
    std::map<int, std::string> lines;  // line number 1..5 -> text (UTF-8)
    std::optional<int> alignment;
    // send, read (send --plu takes a comma list of the articles to send)
    std::optional<std::string> socket;  // control socket of kos-online; default as the server's
    bool noServer = false;
};

// False with a reason in error, or with error "help".
bool parseArticlesOptions(int argc, const char* const* argv, ArticlesOptions& options,
                          std::string& error);
const char* articlesUsage();

}  // namespace kos
