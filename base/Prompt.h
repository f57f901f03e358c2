// Message boxes as the lower layers' callers need them. The desktop program shows QMessageBox,
// kos-online writes to standard error, tests script the answers and record the texts.
// Texts are UTF-8.
#pragma once

#include <string>

namespace kos {

enum class PromptIcon {
    None,         // plain box: a refused command
    Stop,         // failure
    Question,     // Yes/No confirmation
    Information,  // success report
    Exclamation,  // warning
};

// The answer to a Yes/No/Cancel question.
enum class PromptAnswer { Yes, No, Cancel };

class Prompt {
public:
    virtual ~Prompt() = default;
    // A box with an OK button.
    virtual void message(const std::string& text, PromptIcon icon) = 0;
    // A Yes/No question (question icon); true for Yes.
    virtual bool ask(const std::string& text) = 0;
    // A Yes/No/Cancel question (question icon); closing the box counts as Cancel. A prompt that
    // cannot offer Cancel asks Yes/No.
    virtual PromptAnswer askYesNoCancel(const std::string& text) {
        return ask(text) ? PromptAnswer::Yes : PromptAnswer::No;
    }
};

}  // namespace kos
