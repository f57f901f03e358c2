// A Prompt whose answers are scripted and whose texts are recorded.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/Prompt.h"

namespace kos::test {

class ScriptedPrompt final : public Prompt {
public:
    struct Shown {
        std::string text;
        PromptIcon icon;
    };

    void message(const std::string& text, PromptIcon icon) override {
        shown.push_back({text, icon});
        if (onMessage)
            onMessage(text);
    }
    // Answers come from `answers` in order; an unscripted question is answered No and recorded.
    bool ask(const std::string& text) override {
        shown.push_back({text, PromptIcon::Question});
        if (answers.empty()) {
            unscripted.push_back(text);
            return false;
        }
        bool a = answers.front();
        answers.pop_front();
        return a;
    }

    // Answers of the Yes/No/Cancel questions in order; an unscripted one is Cancel and recorded.
    PromptAnswer askYesNoCancel(const std::string& text) override {
        shown.push_back({text, PromptIcon::Question});
        if (choices.empty()) {
            unscripted.push_back(text);
            return PromptAnswer::Cancel;
        }
        PromptAnswer a = choices.front();
        choices.pop_front();
        return a;
    }

    std::deque<bool> answers;
    std::deque<PromptAnswer> choices;
    std::vector<Shown> shown;
    std::vector<std::string> unscripted;
    // Called while a box with an OK button is up, to look at what the user sees behind it.
    std::function<void(const std::string&)> onMessage;
};

}  // namespace kos::test
