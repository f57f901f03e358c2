#include "articles/ui/TypingLimit.h"

#include <QLineEdit>
#include <QValidator>

namespace kos {

namespace {

// Refuses an edit that makes the text longer than the limit. A text set by the program is
// kept whatever its length (the edit only notes that it is not valid input).
class LengthValidator : public QValidator {
public:
    LengthValidator(QLineEdit* edit, int characters)
        : QValidator(edit), last_(edit->text()), characters_(characters) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { last_ = t; });
    }
    State validate(QString& input, int&) const override {
        return input.size() > characters_ && input.size() > last_.size() ? Invalid : Acceptable;
    }

private:
    QString last_;  // the text before the edit being checked
    int characters_;
};

}  // namespace

void limitTyping(QLineEdit* edit, int characters) {
    edit->setValidator(new LengthValidator(edit, characters));
}

}  // namespace kos
