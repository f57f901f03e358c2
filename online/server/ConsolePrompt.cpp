#include "ConsolePrompt.h"

#include <cctype>
#include <string>

namespace kos {

void ConsolePrompt::message(const std::string& text, PromptIcon /*icon*/) {
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
}

bool ConsolePrompt::ask(const std::string& text) {
    std::fprintf(out_, "%s [T/n] ", text.c_str());
    if (!interactive_) {
        std::fprintf(out_, "T\n");
        std::fflush(out_);
        return true;
    }
    std::fflush(out_);
    char line[64];
    if (!std::fgets(line, sizeof line, in_))
        return false;  // input closed: nobody agreed
    const unsigned char c = static_cast<unsigned char>(line[0]);
    return !(std::tolower(c) == 'n');
}

}  // namespace kos
