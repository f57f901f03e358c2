// Message boxes of the desktop program: the icon of each kind of message, Yes/No answers and
// the Yes/No/Cancel question that Escape cancels.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include "GuiTestSupport.h"
#include "shell/QtPrompt.h"
#include "shell/QtTranslation.h"

namespace kos::test {
namespace {

struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// Reads the box that the next call opens, then presses `press` on it.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton press) {
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->icon(), box->windowTitle(), box->text(), box->standardButtons()};
        box->button(press)->click();
    });
}

TEST(QtPrompt, IconsFollowTheKindOfMessage) {
    ensureGuiApp();
    QtPrompt prompt;
    const std::pair<PromptIcon, QMessageBox::Icon> table[] = {
        {PromptIcon::None, QMessageBox::NoIcon},
        {PromptIcon::Stop, QMessageBox::Critical},
        {PromptIcon::Information, QMessageBox::Information},
        {PromptIcon::Exclamation, QMessageBox::Warning},
    };
    for (const auto& [kind, icon] : table) {
        SeenBox seen;
        answerNextBox(seen, QMessageBox::Ok);
        prompt.message("Błąd podczas zapisu do pliku.", kind);
        EXPECT_EQ(seen.icon, icon);
        EXPECT_EQ(seen.title, "KOS ONLINE");
        EXPECT_EQ(seen.text, "Błąd podczas zapisu do pliku.");
        EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    }
}

TEST(QtPrompt, QuestionsAreYesNo) {
    ensureGuiApp();
    QtPrompt prompt;
    for (auto [press, expected] : {std::pair{QMessageBox::Yes, true}, {QMessageBox::No, false}}) {
        SeenBox seen;
        answerNextBox(seen, press);
        EXPECT_EQ(prompt.ask("Czy na pewno?"), expected);
        EXPECT_EQ(seen.icon, QMessageBox::Question);
        EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    }
}

TEST(QtPrompt, EscapeCancelsTheThreeWayQuestion) {
    ensureGuiApp();
    QtPrompt prompt;
    struct Case {
        QMessageBox::StandardButton press;  // NoButton: the user presses Escape
        PromptAnswer expected;
    };
    const Case cases[] = {{QMessageBox::Yes, PromptAnswer::Yes},
                          {QMessageBox::No, PromptAnswer::No},
                          {QMessageBox::Cancel, PromptAnswer::Cancel},
                          {QMessageBox::NoButton, PromptAnswer::Cancel}};
    for (const Case& c : cases) {
        QMessageBox::StandardButtons buttons;
        QTimer::singleShot(0, [&buttons, press = c.press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            buttons = box->standardButtons();
            if (press == QMessageBox::NoButton) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(box, &escape);
            } else {
                box->button(press)->click();
            }
        });
        EXPECT_EQ(prompt.askYesNoCancel("Zapisz zmiany do a.dsr?"), c.expected);
        EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    }
}

TEST(QtPrompt, QtButtonsSpeakPolish) {
    ensureGuiApp();
    auto translation = installQtTranslation();
    ASSERT_NE(translation, nullptr);
    QMessageBox box(QMessageBox::Question, "", "",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QStringList texts;
    for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        texts << box.button(b)->text().remove('&');
    EXPECT_EQ(texts, QStringList({"Tak", "Nie", "Anuluj"}));
}

}  // namespace
}  // namespace kos::test
