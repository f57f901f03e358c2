#include "articles/ui/CFindArticleDlg.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "articles/ArticleConfirm.h"
#include "articles/ui/TypingLimit.h"

namespace kos {

std::string readArticleSearch(const QString& typed, ArticleSearch::Kind kind,
                              ArticleSearch& search) {
    const QString text = typed.trimmed().toUpper();
    search.kind = kind;
    search.name = text;
    if (kind == ArticleSearch::ByPlu) {
        if (!search.plu.parse(text.toStdString()))
            return "Niepoprawny format PLU.";
    } else if (kind == ArticleSearch::ByPrice) {
        const char* bad = "Niepoprawny format ceny.";
        const auto number = parseDecimal(text.left(int(DECIMAL_TEXT_LIMIT)).toStdString());
        if (!number)
            return bad;
        if (number->negative) {
            if (number->integer != 1 || number->fraction != 0)
                return bad;
            search.price = -1;
        } else {
            if (checkDecimal(*number, PRICE_LIMITS) != DecimalError::None)
                return bad;
            search.price = int32_t(number->scaled(PRICE_LIMITS.decimals));
        }
    }
    return {};
}

CFindArticleDlg::CFindArticleDlg(Prompt& prompt, QWidget* parent)
    : QDialog(parent), prompt_(prompt) {
    setWindowTitle(QString::fromUtf8("Znajdź artykuł"));
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("text"));
    limitTyping(text_, 18);
    byPlu_ = new QRadioButton(QStringLiteral("Numer PLU"), this);
    byName_ = new QRadioButton(QStringLiteral("Nazwa"), this);
    byPrice_ = new QRadioButton(QStringLiteral("Cena"), this);
    byPlu_->setObjectName(QStringLiteral("byPlu"));
    byName_->setObjectName(QStringLiteral("byName"));
    byPrice_->setObjectName(QStringLiteral("byPrice"));
    byPlu_->setChecked(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8("Znajdź"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFindArticleDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFindArticleDlg::reject);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : {static_cast<QWidget*>(text_), static_cast<QWidget*>(byPlu_),
                       static_cast<QWidget*>(byName_), static_cast<QWidget*>(byPrice_),
                       static_cast<QWidget*>(buttons)})
        layout->addWidget(w);
}

void CFindArticleDlg::accept() {
    const ArticleSearch::Kind kind = byPlu_->isChecked()    ? ArticleSearch::ByPlu
                                     : byName_->isChecked() ? ArticleSearch::ByName
                                                            : ArticleSearch::ByPrice;
    const std::string message = readArticleSearch(text_->text(), kind, search_);
    if (!message.empty()) {
        prompt_.message(message, PromptIcon::Exclamation);
        text_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace kos
