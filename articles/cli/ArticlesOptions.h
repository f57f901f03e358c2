// The command line of kos-articles: a command, the ".dat" file, then its arguments and options.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace kos {

struct ArticlesOptions {
    std::string command;  // export, import, add, header, send, read, delete, zero, ...
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
    // the register line (send, read, delete, zero, send-header, read-header, find-register)
    std::optional<std::string> device;
    std::optional<int> port, speed, ecr;
    std::optional<bool> continueOnError;
    bool deleteMissing = false;  // send: otherwise the setting UpdateArticles
    // find-register
    std::optional<std::string> ports;
    std::optional<std::string> start;
    bool descending = false;
    bool apply = false;
    // send, read through a running kos-online
    std::optional<std::string> socket;  // its control socket; default as the server's
    bool noServer = false;              // the direct line even when a server answers
};

// Commands that take no ".dat" file.
bool commandWithoutFile(const std::string& command);

// False with a reason in error, or with error "help".
bool parseArticlesOptions(int argc, const char* const* argv, ArticlesOptions& options,
                          std::string& error);
const char* articlesUsage();

}  // namespace kos
