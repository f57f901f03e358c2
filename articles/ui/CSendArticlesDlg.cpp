#include "articles/ui/CSendArticlesDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "articles/ArticleTransfer.h"

namespace kos {

CSendArticlesDlg::CSendArticlesDlg(bool updateArticles, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("KOS"));
    auto* text = new QLabel(QString::fromUtf8(TEXT_SEND_ALL_QUESTION), this);
    update_ = new QCheckBox(QString::fromUtf8(TEXT_SEND_ALL_DELETE_MISSING), this);
    update_->setObjectName(QStringLiteral("update"));
    update_->setChecked(updateArticles);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Tak"), QDialogButtonBox::YesRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Nie"), QDialogButtonBox::NoRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(update_);
    layout->addWidget(buttons);
}

bool CSendArticlesDlg::updateArticles() const {
    return update_->isChecked();
}

}  // namespace kos
