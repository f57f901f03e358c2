// Messages and questions of the headless server on standard error. A question is asked on the
// terminal when standard input is one; otherwise it takes its default answer, Yes: a server
// started unattended should create its missing directories rather than refuse to run.
#pragma once

#include <cstdio>

#include "base/Prompt.h"

namespace kos {

class ConsolePrompt final : public Prompt {
public:
    ConsolePrompt(std::FILE* in, std::FILE* out, bool interactive)
        : in_(in), out_(out), interactive_(interactive) {}

    void message(const std::string& text, PromptIcon icon) override;
    bool ask(const std::string& text) override;

private:
    std::FILE* in_;
    std::FILE* out_;
    bool interactive_;
};

}  // namespace kos
