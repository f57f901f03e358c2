// A Prompt whose answers are scripted and whose texts are recorded.
#pragma once

#include <deque>
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

    std::deque<bool> answers;
    std::vector<Shown> shown;
    std::vector<std::string> unscripted;
};

}  // namespace kos::test
