#include "articles/ui/CArticleDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "articles/ArticleConfirm.h"
#include "articles/ui/TypingLimit.h"
#include "base/Codepage.h"

namespace kos {

QStringList vatEntries(const Settings& settings) {
    QStringList entries;
    for (int i = 0; i < VAT_RATES; ++i)
        entries << QString(QChar('A' + i)) + QLatin1Char(' ') +
                       QString::fromStdString(settings.ptu[size_t(i)]);
    return entries;
}

CArticleDlg::CArticleDlg(EcrDoc& doc, Article& article, bool isNew, const Settings& settings,
                         Prompt& prompt, QWidget* parent)
    : QDialog(parent), doc_(doc), article_(article), isNew_(isNew), prompt_(prompt) {
    setWindowTitle(QString::fromUtf8("Artykuł"));
    const ArticleInput in = articleDialogInput(doc, article, isNew);
    plu_ = new QLineEdit(QString::fromStdString(in.pluText), this);
    plu_->setObjectName(QStringLiteral("plu"));
    name_ = new QLineEdit(QString::fromStdString(cp1250ToUtf8(in.name)), this);
    name_->setObjectName(QStringLiteral("name"));
    limitTyping(name_, int(ARTICLE_NAME_LIMIT));
    price_ = new QLineEdit(QString::fromStdString(in.priceText), this);
    price_->setObjectName(QStringLiteral("price"));
    vat_ = new QComboBox(this);
    vat_->setObjectName(QStringLiteral("vat"));
    vat_->addItems(vatEntries(settings));
    vat_->setCurrentIndex(in.vatIndex);
    openPrice_ = new QCheckBox(QStringLiteral("Cena otwarta"), this);
    openPrice_->setObjectName(QStringLiteral("openPrice"));
    openPrice_->setChecked(in.openPrice);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CArticleDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CArticleDlg::reject);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("PLU"), plu_);
    form->addRow(QStringLiteral("Nazwa"), name_);
    form->addRow(QStringLiteral("Cena"), price_);
    form->addRow(QStringLiteral("PTU"), vat_);
    form->addRow(openPrice_);
    form->addRow(buttons);
}

QWidget* CArticleDlg::control(int which) const {
    switch (static_cast<ArticleControl>(which)) {
        case ArticleControl::Plu:
            return plu_;
        case ArticleControl::Name:
            return name_;
        case ArticleControl::Price:
            return price_;
        case ArticleControl::Vat:
            return vat_;
        case ArticleControl::None:
            break;
    }
    return nullptr;
}

void CArticleDlg::accept() {
    ArticleInput in;
    in.pluText = plu_->text().toStdString();
    in.name = utf8ToCp1250(name_->text().toStdString());
    in.priceText = price_->text().left(int(DECIMAL_TEXT_LIMIT)).toStdString();
    in.vatIndex = vat_->currentIndex();
    in.openPrice = openPrice_->isChecked();
    const ArticleCheck check = confirmArticle(doc_, article_, isNew_, in);
    if (!check.ok) {
        prompt_.message(check.message, PromptIcon::None);
        if (QWidget* w = control(int(check.focus)))
            w->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace kos
