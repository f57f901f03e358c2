// Messages of kos-articles on standard error. The duplicate question of an import takes a fixed
// answer (Yes with --skip-duplicates, No otherwise) unless a person can be asked on a terminal.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/Prompt.h"

namespace kos {

class ArticlesPrompt final : public Prompt {
public:
    // interactive: standard input is a terminal that does not carry the data.
    ArticlesPrompt(bool fixedAnswer, bool interactive)
        : fixedAnswer_(fixedAnswer), interactive_(interactive) {}

    void message(const std::string& text, PromptIcon /*icon*/) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
    }

    bool ask(const std::string& text) override {
        std::fprintf(stderr, "%s [T/N] ", text.c_str());
        if (!interactive_) {
            std::fprintf(stderr, "%s\n", fixedAnswer_ ? "T" : "N");
            return fixedAnswer_;
        }
        std::fflush(stderr);
        char line[64];
        if (!std::fgets(line, sizeof line, stdin))
            return false;
        return line[0] == 'T' || line[0] == 't';
    }

private:
    bool fixedAnswer_;
    bool interactive_;
};

}  // namespace kos
