#include "shell/QtPrompt.h"

#include <QMessageBox>

#include "shell/AppInfo.h"

namespace kos {

namespace {

QMessageBox::Icon toQtIcon(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Stop:
            return QMessageBox::Critical;
        case PromptIcon::Question:
            return QMessageBox::Question;
        case PromptIcon::Information:
            return QMessageBox::Information;
        case PromptIcon::Exclamation:
            return QMessageBox::Warning;
        case PromptIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtPrompt::message(const std::string& text, PromptIcon icon) {
    QMessageBox box(toQtIcon(icon), appTitle(), QString::fromStdString(text), QMessageBox::Ok,
                    parent_);
    box.exec();
}

bool QtPrompt::ask(const std::string& text) {
    QMessageBox box(QMessageBox::Question, appTitle(), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

PromptAnswer QtPrompt::askYesNoCancel(const std::string& text) {
    QMessageBox box(QMessageBox::Question, appTitle(), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        default:
            return PromptAnswer::Cancel;  // Cancel, Escape or the close box
    }
}

}  // namespace kos
