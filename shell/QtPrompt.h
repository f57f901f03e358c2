// Message boxes of the desktop program: QMessageBox with the icon the caller asks for.
#pragma once

#include "base/Prompt.h"

class QWidget;

namespace kos {

class QtPrompt final : public Prompt {
public:
    // Boxes are modal to the parent's window (or application-modal without one).
    explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const std::string& text, PromptIcon icon) override;
    bool ask(const std::string& text) override;
    PromptAnswer askYesNoCancel(const std::string& text) override;

private:
    QWidget* parent_;
};

}  // namespace kos
